#include "sim/testkit/AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace {

struct Counts {
    bool active = false;
    long allocations = 0;
    long releases = 0;
};

// Plain data only: usable from operator new before any constructor has run.
thread_local Counts t_counts;

void* allocate(std::size_t size)
{
    void* p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    if (t_counts.active)
        ++t_counts.allocations;
    return p;
}

void release(void* p)
{
    if (!p)
        return;
    if (t_counts.active)
        ++t_counts.releases;
    std::free(p);
}

} // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }

namespace tp::testkit {

AllocationCounter::AllocationCounter() { t_counts = Counts{true, 0, 0}; }
AllocationCounter::~AllocationCounter() { t_counts.active = false; }
long AllocationCounter::allocations() const { return t_counts.allocations; }
long AllocationCounter::releases() const { return t_counts.releases; }

} // namespace tp::testkit
