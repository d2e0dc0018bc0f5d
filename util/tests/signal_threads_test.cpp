// SIGUSR1 enables one more category each time, "unknown" through "phal" and
// round again, and says so on standard error from outside the handler.
#include "LoggerFixtures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

namespace {

const int phalIndex = 24;

// Which of the 32 single-bit categories are enabled, one bit each.
unsigned enabledCategories(Logger* log)
{
    unsigned bits = 0;
    for (int i = 0; i < 32; ++i)
        if (log->testId(static_cast<int>(objectIDs[i])))
            bits |= objectIDs[i];
    return bits;
}

TEST(LoggerSignalTest, EachSignalEnablesTheNextCategoryUpToPhal)
{
    Logger* log = Logger::Instance();
    StderrToFile err;

    cycleLogging(SIGUSR2);
    EXPECT_EQ(enabledCategories(log), 0u) << "only SIGUSR1 counts";

    unsigned expected = 0;
    std::vector<std::string> names;
    for (int signal = 0; signal < 26; ++signal) {
        const int index = signal % (phalIndex + 1);
        expected |= objectIDs[index];
        names.push_back(objectNames[index]);
        ASSERT_EQ(pthread_kill(pthread_self(), SIGUSR1), 0);
        EXPECT_EQ(enabledCategories(log), expected) << "after signal " << signal + 1;
    }
    EXPECT_EQ(expected, 0x01FFFFFFu) << "unknown through phal, and nothing after it";

    // The notices are written outside the handler, by the logger's helper thread.
    const Pattern notice(std::string(linePattern) + "Debug:Now logging ([a-z]+)");
    std::vector<std::string> notices;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        notices.clear();
        for (const std::string& line : splitLines(err.text())) {
            std::vector<std::string> parts; // thread id, category name
            if (!notice.matches(line, &parts) || parts.size() != 2) {
                notices.push_back(line);
                continue;
            }
            EXPECT_NE(std::stol(parts[0]), static_cast<long>(pthread_self())) << line;
            notices.push_back(parts[1]);
        }
        if (notices.size() >= names.size())
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(notices, names);
}

} // namespace
