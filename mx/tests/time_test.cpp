// The clock, deadline arithmetic and the priority mapping.
#include "mx/mx.h"
#include "mx/mxPriority.h"
#include "mx/mxWaitQueue.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cerrno>
#include <climits>
#include <sys/time.h>

namespace {

TEST(TimeTest, GetTimeReadsTheWallClockInNanoseconds)
{
    struct timeval before, after;
    MxTime t;
    gettimeofday(&before, nullptr);
    ASSERT_EQ(mxGetTime(&t), 0);
    gettimeofday(&after, nullptr);
    const double at = t.tv_sec + t.tv_nsec / 1e9;
    EXPECT_GE(at, before.tv_sec + before.tv_usec / 1e6);
    EXPECT_LE(at, after.tv_sec + after.tv_usec / 1e6);
    EXPECT_LT(t.tv_nsec, 1000000000UL);
    EXPECT_EQ(t.tv_nsec % 1000, 0UL);
    EXPECT_EQ(mxGetTime(nullptr), -1);
}

struct DeadlineCase {
    unsigned long sec, nsec;
    long timeoutMs;
    long wantSec, wantNsec;
};

void PrintTo(const DeadlineCase& c, std::ostream* os)
{
    *os << c.sec << "s+" << c.nsec << "ns + " << c.timeoutMs << " ms";
}

class DeadlineTest : public ::testing::TestWithParam<DeadlineCase> {};

TEST_P(DeadlineTest, IsNowPlusTheTimeOut)
{
    const DeadlineCase& c = GetParam();
    const struct timespec at = mxDeadlineAfter(MxTime{c.sec, c.nsec}, c.timeoutMs);
    EXPECT_EQ(static_cast<long>(at.tv_sec), c.wantSec);
    EXPECT_EQ(at.tv_nsec, c.wantNsec);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DeadlineTest,
    ::testing::Values(DeadlineCase{12, 999000000, 1500, 14, 499000000},   // carries into seconds
                      DeadlineCase{10, 500000000, 500, 11, 0},
                      DeadlineCase{10, 0, 0, 10, 0},
                      DeadlineCase{10, 2000000, -5, 9, 997000000},        // negative: in the past
                      DeadlineCase{10, 0, -1500, 8, 500000000},
                      DeadlineCase{0, 0, -5, 0, 0},                       // never before the epoch
                      DeadlineCase{1700000000, 0, 86400000, 1700086400, 0}));

TEST(PriorityTest, MapsOntoTheRealTimeRange)
{
    const struct {
        int mx, linux, back;
    } cases[] = {{0, 99, 0}, {128, 50, 126}, {255, 1, 253}, {1, 99, 0}, {64, 75, 62}};
    for (const auto& c : cases) {
        EXPECT_EQ(mxPriorityToLinux(c.mx, 99), c.linux) << c.mx;
        EXPECT_EQ(mxPriorityFromLinux(c.linux, 99), c.back) << c.mx;
    }
    EXPECT_EQ(mxPriorityToLinux(255, 1), 1) << "never 0";
    EXPECT_EQ(mxPriorityFromLinux(0, 99), 255) << "a thread outside the real-time policy";
}

TEST(PriorityTest, OutOfRangeIsRefusedWithItsOwnCode)
{
    for (int p : {256, -1, INT_MIN, INT_MAX, 1000}) {
        errno = 0;
        EXPECT_EQ(mxThreadSetPriority(mxThreadIdSelf(), p), -1) << p;
        EXPECT_EQ(errno, MX_EPRIORITY) << p;
    }
}

TEST(PriorityTest, GetPriorityNeedsAnOutput)
{
    EXPECT_EQ(mxThreadGetPriority(mxThreadIdSelf(), nullptr), -1);
}

TEST(ThreadTest, FixedAnswers)
{
    EXPECT_STREQ(mxThreadName(), "");
    EXPECT_EQ(mxThreadStackAvailable(), 0x7FFFFFFF);
    EXPECT_EQ(mxThreadPause(mxThreadIdSelf()), -1);
    EXPECT_EQ(mxThreadResume(mxThreadIdSelf()), -1);
    EXPECT_EQ(mxThreadSuspend(-1), -1);
    EXPECT_EQ(mxThreadSuspend(0), 0);
}

} // namespace
