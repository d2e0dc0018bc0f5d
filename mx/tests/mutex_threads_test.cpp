// Mutexes across threads: busy and time-out codes, recursion, ownership,
// and destruction while others wait.
#include "mx/mx.h"

#include <gtest/gtest.h>

#include <ostream>

#include <atomic>
#include <cerrno>
#include <future>
#include <thread>
#include <vector>

namespace {

struct LockResult {
    int rc;
    int error;
};

// Runs mxMutexLock on another thread, releasing again whatever it got.
LockResult lockFromOtherThread(MxMutex m, long timeoutMs)
{
    return std::async(std::launch::async, [=] {
               errno = 0;
               const int rc = mxMutexLock(m, timeoutMs);
               const LockResult r{rc, errno};
               if (rc == 0)
                   mxMutexUnlock(m);
               return r;
           }).get();
}

class MutexTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(m, nullptr); }
    void TearDown() override { mxMutexDestroy(m); }
    MxMutex m = mxMutexCreate();
};

struct HeldCase {
    long timeoutMs;
    int error;
};

void PrintTo(const HeldCase& c, std::ostream* os)
{
    *os << "time-out " << c.timeoutMs << " ms, errno " << c.error;
}

class HeldMutexTest : public MutexTest, public ::testing::WithParamInterface<HeldCase> {};

TEST_P(HeldMutexTest, AnotherThreadFailsWithTheExpectedCode)
{
    ASSERT_EQ(mxMutexLock(m, MX_NO_WAIT), 0);
    const LockResult r = lockFromOtherThread(m, GetParam().timeoutMs);
    EXPECT_EQ(r.rc, -1);
    EXPECT_EQ(r.error, GetParam().error);
    EXPECT_EQ(mxMutexUnlock(m), 0);
}

INSTANTIATE_TEST_SUITE_P(TimeOuts, HeldMutexTest,
                         ::testing::Values(HeldCase{MX_NO_WAIT, EBUSY},
                                           HeldCase{50, MX_ETIMEOUT},
                                           HeldCase{-5, MX_ETIMEOUT},      // a deadline already past
                                           HeldCase{-100000, MX_ETIMEOUT}));

TEST_F(MutexTest, APastDeadlineStillTriesOnce)
{
    EXPECT_EQ(lockFromOtherThread(m, -5).rc, 0);
}

TEST_F(MutexTest, RecursiveLockNeedsAsManyUnlocks)
{
    ASSERT_EQ(mxMutexLock(m, MX_WAIT_FOREVER), 0);
    ASSERT_EQ(mxMutexLock(m, 20), 0);
    ASSERT_EQ(mxMutexUnlock(m), 0);
    EXPECT_EQ(lockFromOtherThread(m, MX_NO_WAIT).error, EBUSY);
    ASSERT_EQ(mxMutexUnlock(m), 0);
    EXPECT_EQ(lockFromOtherThread(m, MX_NO_WAIT).rc, 0);
}

TEST_F(MutexTest, OnlyTheOwnerMayUnlock)
{
    auto unlockElsewhere = [&] { return std::async(std::launch::async, [&] { return mxMutexUnlock(m); }).get(); };
    EXPECT_EQ(unlockElsewhere(), -1) << "never locked";
    ASSERT_EQ(mxMutexLock(m, MX_NO_WAIT), 0);
    EXPECT_EQ(unlockElsewhere(), -1) << "held by another thread";
    EXPECT_EQ(lockFromOtherThread(m, MX_NO_WAIT).error, EBUSY) << "a refused unlock changes nothing";
    EXPECT_EQ(mxMutexUnlock(m), 0);
    EXPECT_EQ(mxMutexUnlock(m), -1) << "one unlock too many by the last owner";
}

TEST_F(MutexTest, AWaiterGetsTheLockWhenItIsReleased)
{
    ASSERT_EQ(mxMutexLock(m, MX_NO_WAIT), 0);
    std::atomic<bool> waiting(false);
    auto waiter = std::async(std::launch::async, [&] {
        waiting = true;
        const int rc = mxMutexLock(m, MX_WAIT_FOREVER);
        if (rc == 0)
            mxMutexUnlock(m);
        return rc;
    });
    while (!waiting)
        std::this_thread::yield();
    mxThreadSuspend(20);
    EXPECT_EQ(mxMutexUnlock(m), 0);
    EXPECT_EQ(waiter.get(), 0);
}

// Mutual exclusion and no lost wake-up under contention, with every kind of
// time-out (a lost wake-up hangs a forever-waiter; ThreadSanitizer checks
// that the counter is only touched under the lock).
TEST_F(MutexTest, ContendedLockingExcludesAndLosesNoWakeUp)
{
    const long timeouts[] = {MX_WAIT_FOREVER, 10000, MX_NO_WAIT, MX_WAIT_FOREVER};
    const int rounds = 2000;
    int counter = 0;
    std::vector<std::thread> workers;
    for (long timeout : timeouts)
        workers.emplace_back([&, timeout] {
            for (int done = 0; done < rounds;) {
                if (mxMutexLock(m, timeout) != 0)
                    continue; // only the try-once kind may fail here
                ++counter;
                ++done;
                ASSERT_EQ(mxMutexUnlock(m), 0);
            }
        });
    for (auto& w : workers)
        w.join();
    EXPECT_EQ(counter, rounds * 4);
}

TEST(MutexNullTest, NullMutexIsRefusedOrIgnored)
{
    EXPECT_EQ(mxMutexLock(nullptr, MX_NO_WAIT), -1);
    EXPECT_EQ(mxMutexLock(nullptr, MX_WAIT_FOREVER), -1);
    EXPECT_EQ(mxMutexUnlock(nullptr), -1);
    mxMutexDestroy(nullptr);
}

// The waiters leave through the mutex's own guard after being woken: the
// record must outlive them (AddressSanitizer reports any use after release).
TEST(MutexDestroyTest, WaitersFailWithDeletedAndTheRecordOutlivesThem)
{
    for (int round = 0; round < 5; ++round) {
        MxMutex m = mxMutexCreate();
        ASSERT_EQ(mxMutexLock(m, MX_NO_WAIT), 0);
        ASSERT_EQ(mxMutexLock(m, MX_NO_WAIT), 0);   // held twice by the destroyer
        std::atomic<int> started(0);
        std::vector<std::future<LockResult>> waiters;
        for (long timeout : {MX_WAIT_FOREVER, 10000L, MX_WAIT_FOREVER, 10000L}) {
            waiters.push_back(std::async(std::launch::async, [&, timeout] {
                ++started;
                const int rc = mxMutexLock(m, timeout);
                return LockResult{rc, errno};
            }));
        }
        while (started < 4)
            std::this_thread::yield();
        mxThreadSuspend(100); // let them reach the wait itself
        mxMutexDestroy(m);
        for (auto& w : waiters) {
            const LockResult r = w.get();
            EXPECT_EQ(r.rc, -1);
            EXPECT_EQ(r.error, MX_EDELETED);
        }
    }
}

} // namespace
