// The process's one logger: created once even when threads race for it.
#include "util/Logger.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <set>
#include <thread>
#include <vector>

namespace {

// Runs first in this program, while no logger exists yet.
TEST(LoggerInstanceTest, RacingFirstCallsCreateOneLogger)
{
    const int threads = 8;
    std::atomic<int> ready(0);
    std::vector<Logger*> seen(threads, nullptr);
    std::vector<std::thread> callers;
    for (int t = 0; t < threads; ++t)
        callers.emplace_back([&, t] {
            ++ready;
            while (ready < threads) {
            }
            seen[t] = Logger::Instance();
        });
    for (auto& c : callers)
        c.join();
    EXPECT_NE(seen[0], nullptr);
    EXPECT_EQ(std::set<Logger*>(seen.begin(), seen.end()).size(), 1u);
    EXPECT_EQ(Logger::Instance(), seen[0]);
}

TEST(LoggerInstanceTest, LaterInitChangesNothing)
{
    Logger* before = Logger::Instance();
    Logger::Init(5);
    EXPECT_EQ(Logger::Instance(), before);
    for (int i = 0; i < 7; ++i) {
        char text[] = "kept";
        Logger::Instance()->WriteLog(oidPhal, 1, 0, text);
    }
    EXPECT_EQ(Logger::Instance()->GetNumberofLogEntries(), 7) << "the store keeps its first size";
}

} // namespace
