#pragma once
// Counts operator new / delete calls made on the calling thread while a counter is active.
// A program linking the test kit replaces the global operators (they still use malloc and
// free); only the thread that created the counter is counted, so other threads do not
// disturb a measurement. Plug-ins loaded into the program use the same operators.
//
//   AllocationCounter c;  { create and delete a handler }  EXPECT_EQ(c.live(), 0);

namespace tp::testkit {

class AllocationCounter {
public:
    AllocationCounter();
    ~AllocationCounter();
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

    long allocations() const;
    long releases() const;
    // Allocations not yet released (negative if earlier blocks were released meanwhile).
    long live() const { return allocations() - releases(); }
};

} // namespace tp::testkit
