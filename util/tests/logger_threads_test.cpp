// Lines logged by concurrent threads arrive whole, on standard error and at
// the subscriber, and the ring stays consistent.
#include "LoggerFixtures.h"

#include <gtest/gtest.h>

#include <map>
#include <thread>

namespace {

TEST(LoggerThreadsTest, ConcurrentLinesArriveWhole)
{
    const int threads = 4;
    const int perThread = 200;
    const std::string padding(300, '.'); // long lines make any mixing likely to show
    TestLogger log(1000);
    LineCollector collector;
    log.subscribe(&collector);
    StderrToFile err;
    {
        std::vector<std::thread> writers;
        for (int t = 0; t < threads; ++t)
            writers.emplace_back([&, t] {
                for (int i = 0; i < perThread; ++i)
                    log.DiagnosticString(oidInput, 1 + i % 4, "writer %d line %d %s", t, i, padding.c_str());
            });
        for (auto& w : writers)
            w.join();
    }
    log.subscribe(nullptr);

    const Pattern format(std::string(linePattern) + "(Info |WARN |ERROR|FATAL):writer ([0-9]) line [0-9]+ \\.+");
    auto checkLines = [&](const std::vector<std::string>& lines, const char* where) {
        ASSERT_EQ(lines.size(), static_cast<size_t>(threads * perThread)) << where;
        std::map<std::string, int> perWriter;
        for (const std::string& line : lines) {
            EXPECT_TRUE(format.matches(line)) << where << ": " << line;
            EXPECT_EQ(line.compare(line.size() - padding.size() - 1, std::string::npos, " " + padding), 0) << line;
            ++perWriter[line.substr(line.find("writer "), 8)];
        }
        for (const auto& w : perWriter)
            EXPECT_EQ(w.second, perThread) << where << " " << w.first;
    };
    std::vector<std::string> subscribed = collector.lines();
    for (std::string& line : subscribed) {
        ASSERT_EQ(line.back(), '\n');
        line.pop_back();
    }
    checkLines(subscribed, "subscriber");
    checkLines(splitLines(err.text()), "standard error");

    EXPECT_EQ(log.GetNumberofLogEntries(), 800);
    char text[LOGGER_MSG_SIZE];
    const Pattern stored("writer [0-9] line [0-9]+ \\.+");
    for (int index = 0; index < 800; ++index) {
        ASSERT_GT(log.GetLogEntryText(text, index), 0);
        EXPECT_TRUE(stored.matches(text)) << text;
    }
}

TEST(LoggerThreadsTest, ReadersAndWritersShareTheRing)
{
    TestLogger log(50);
    StderrToFile quiet;
    std::thread writer([&] {
        for (int i = 0; i < 500; ++i)
            log.DiagnosticString(oidPhal, 1, "entry %d", i);
    });
    char header[LOGGER_HEADER_SIZE];
    char text[LOGGER_MSG_SIZE];
    for (int round = 0; round < 500; ++round) {
        const int held = log.GetNumberofLogEntries();
        EXPECT_LE(held, 50);
        if (held > 0 && log.GetLogEntryText(text, held - 1) > 0) {
            EXPECT_EQ(strncmp(text, "entry ", 6), 0);
        }
        log.GetLogEntryHeader(header, round % 60);
    }
    writer.join();
    EXPECT_EQ(log.GetNumberofLogEntries(), 50);
}

} // namespace
