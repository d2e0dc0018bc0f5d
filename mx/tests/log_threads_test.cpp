// Log channels shared between threads.
#include "mx/mxLog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

std::atomic<int> g_calls{0};
std::atomic<int> g_torn{0};

void countingPrinter(const char* message)
{
    // The channel's lock is held while printers run, so the message is never
    // overwritten by another thread halfway through.
    if (std::strncmp(message, "tick ", 5) != 0) ++g_torn;
    ++g_calls;
}

TEST(LogThreads, ConcurrentCreationGivesOneChannelPerName)
{
    mxLogReset();
    const int kThreads = 4;
    const char* names[] = {"a", "a.b", "a.b.c", "x.y", "comps.mxMem"};
    std::vector<std::vector<MxLogger*>> seen(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < 50; ++round)
                for (const char* name : names) seen[t].push_back(mxLogGetLogger(name));
        });
    for (auto& th : threads) th.join();
    for (int t = 1; t < kThreads; ++t) EXPECT_EQ(seen[t], seen[0]);

    testing::internal::CaptureStdout();
    mxLogList();
    std::istringstream lines(testing::internal::GetCapturedStdout());
    int count = 0;
    for (std::string line; std::getline(lines, line);) ++count;
    EXPECT_EQ(count, 6) << "five channels and the root";
    mxLogReset();
}

TEST(LogThreads, LoggingWhilePrintersAreAdded)
{
    mxLogReset();
    g_calls = 0;
    g_torn = 0;
    MxLogger* channel = mxLogGetLogger("busy");
    mxLogAddPrinter(channel, "first", countingPrinter);
    const int kMessages = 300;
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t)
        threads.emplace_back([channel, t] {
            for (int i = 0; i < kMessages; ++i) info(channel, "tick %d %d", t, i);
        });
    threads.emplace_back([channel] {
        for (int i = 0; i < 20; ++i) {
            mxLogAddPrinter(channel, "more", countingPrinter);
            mxLogSetPrinterLevel(channel, "more", 4);
            mxLogGetLogger(("child" + std::to_string(i)).c_str());
        }
    });
    for (auto& th : threads) th.join();
    EXPECT_GE(g_calls.load(), 3 * kMessages);
    EXPECT_EQ(g_torn.load(), 0);
    mxLogReset();
}

} // namespace
