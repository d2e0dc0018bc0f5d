// Counting semaphores: take, give, time-out, flush and destruction while
// others wait.
#include "mx/mx.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <future>
#include <thread>
#include <vector>

namespace {

struct TakeResult {
    int rc;
    int error;
};

std::future<TakeResult> takeAsync(MxSem s, long timeoutMs, std::atomic<int>& started)
{
    return std::async(std::launch::async, [s, timeoutMs, &started] {
        ++started;
        errno = 0;
        const int rc = mxSemTake(s, timeoutMs);
        return TakeResult{rc, errno};
    });
}

void waitUntilStarted(const std::atomic<int>& started, int count)
{
    while (started < count)
        std::this_thread::yield();
    mxThreadSuspend(100); // let them reach the wait itself
}

class SemTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(s, nullptr); }
    void TearDown() override { mxSemDestroy(s); }
    MxSem s = mxSemCreate(0);
};

TEST_F(SemTest, TakeSucceedsOnlyWhileTheCountIsPositive)
{
    EXPECT_EQ(mxSemTake(s, MX_NO_WAIT), -1);
    EXPECT_EQ(mxSemGive(s), 0);
    EXPECT_EQ(mxSemGetValue(s), 1);
    EXPECT_EQ(mxSemTake(s, MX_NO_WAIT), 0);
    EXPECT_EQ(mxSemGetValue(s), 0);
}

class EmptySemTest : public SemTest, public ::testing::WithParamInterface<long> {};

TEST_P(EmptySemTest, TimesOutWithItsOwnCode)
{
    errno = 0;
    EXPECT_EQ(mxSemTake(s, GetParam()), -1);
    EXPECT_EQ(errno, MX_ETIMEOUT);
}

INSTANTIATE_TEST_SUITE_P(TimeOuts, EmptySemTest, ::testing::Values(30L, -2L, -1001L));

TEST_F(SemTest, APastDeadlineStillTakesAnAvailableUnit)
{
    ASSERT_EQ(mxSemGive(s), 0);
    EXPECT_EQ(mxSemTake(s, -2), 0);
}

TEST(SemBinaryTest, CountIsNotCappedAtOne)
{
    MxSem b = mxSemBinaryCreate(0);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(mxSemGive(b), 0);
    EXPECT_EQ(mxSemGive(b), 0);
    EXPECT_EQ(mxSemGetValue(b), 2);
    mxSemDestroy(b);
}

TEST_F(SemTest, EachGiveReleasesOneBlockedTaker)
{
    std::atomic<int> started(0);
    auto first = takeAsync(s, MX_WAIT_FOREVER, started);
    auto second = takeAsync(s, 10000, started);
    waitUntilStarted(started, 2);
    ASSERT_EQ(mxSemGive(s), 0);
    ASSERT_EQ(mxSemGive(s), 0);
    EXPECT_EQ(first.get().rc, 0);
    EXPECT_EQ(second.get().rc, 0);
    EXPECT_EQ(mxSemGetValue(s), 0);
}

TEST_F(SemTest, FlushWakesWaitersWithoutGivingThemAnything)
{
    std::atomic<int> started(0);
    auto taker = takeAsync(s, MX_WAIT_FOREVER, started);
    waitUntilStarted(started, 1);
    mxSemFlush(s);
    EXPECT_EQ(taker.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    EXPECT_EQ(mxSemGetValue(s), 0);
    ASSERT_EQ(mxSemGive(s), 0);
    EXPECT_EQ(taker.get().rc, 0);
}

// Every unit given is taken exactly once, whatever the interleaving.
TEST_F(SemTest, ProducersAndConsumersLoseNoUnit)
{
    const int perProducer = 2000;
    std::atomic<int> taken(0);
    std::vector<std::thread> threads;
    for (int p = 0; p < 2; ++p)
        threads.emplace_back([&] {
            for (int i = 0; i < perProducer; ++i)
                ASSERT_EQ(mxSemGive(s), 0);
        });
    for (long timeout : {MX_WAIT_FOREVER, 10000L})
        threads.emplace_back([&, timeout] {
            for (int i = 0; i < perProducer; ++i) {
                ASSERT_EQ(mxSemTake(s, timeout), 0);
                ++taken;
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(taken, 2 * perProducer);
    EXPECT_EQ(mxSemGetValue(s), 0);
}

TEST(SemNullTest, NullSemaphoreIsRefusedOrIgnored)
{
    EXPECT_EQ(mxSemGive(nullptr), -1);
    EXPECT_EQ(mxSemTake(nullptr, MX_NO_WAIT), -1);
    EXPECT_EQ(mxSemTake(nullptr, MX_WAIT_FOREVER), -1);
    EXPECT_EQ(mxSemGetValue(nullptr), -1);
    mxSemFlush(nullptr);
    mxSemDestroy(nullptr);
    EXPECT_EQ(mxSemCreate(-1), nullptr);
}

// The waiters leave through the semaphore's own guard after being woken: the
// record must outlive them (AddressSanitizer reports any use after release).
TEST(SemDestroyTest, WaitersFailWithDeletedAndTheRecordOutlivesThem)
{
    for (int round = 0; round < 5; ++round) {
        MxSem s = mxSemCreate(0);
        ASSERT_NE(s, nullptr);
        std::atomic<int> started(0);
        std::vector<std::future<TakeResult>> waiters;
        for (long timeout : {MX_WAIT_FOREVER, 10000L, MX_WAIT_FOREVER, 10000L})
            waiters.push_back(takeAsync(s, timeout, started));
        waitUntilStarted(started, 4);
        mxSemDestroy(s);
        for (auto& w : waiters) {
            const TakeResult r = w.get();
            EXPECT_EQ(r.rc, -1);
            EXPECT_EQ(r.error, MX_EDELETED);
        }
    }
}

} // namespace
