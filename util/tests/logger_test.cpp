// The logger: filtering by level and category, the line format, the ring of
// entries and its indexes, truncation, entry headers and the name tables.
#include "LoggerFixtures.h"

#include <gtest/gtest.h>

#include <ostream>

#include <climits>
#include <cstring>
#include <string>

namespace {

class LoggerTest : public ::testing::Test {
protected:
    void SetUp() override { log.subscribe(&collector); }
    void TearDown() override { log.subscribe(nullptr); }

    std::string text(int index)
    {
        char buffer[LOGGER_MSG_SIZE];
        const int n = log.GetLogEntryText(buffer, index);
        EXPECT_EQ(n, static_cast<int>(strlen(buffer)));
        return buffer;
    }

    TestLogger log;
    LineCollector collector;
};

struct FilterCase {
    int level;
    bool categoryEnabled;
    bool written;
    bool stored;
    const char* levelText; // as padded in the line
};

void PrintTo(const FilterCase& c, std::ostream* os)
{
    *os << "level " << c.level << (c.categoryEnabled ? ", category enabled" : ", category off");
}

class LoggerFilterTest : public LoggerTest, public ::testing::WithParamInterface<FilterCase> {};

TEST_P(LoggerFilterTest, WritesAndStoresByLevelAndCategory)
{
    const FilterCase& c = GetParam();
    if (c.categoryEnabled)
        log.setMask(oidInput);
    StderrToFile err;
    log.DiagnosticString(oidInput, c.level, "reading %d bytes", 42);

    const std::vector<std::string> lines = collector.lines();
    ASSERT_EQ(lines.size(), c.written ? 1u : 0u);
    EXPECT_EQ(err.text(), c.written ? lines[0] : "") << "standard error and the subscriber get the same";
    if (c.written) {
        std::string tid;
        ASSERT_TRUE(matchesWhole(lines[0], std::string(linePattern) + c.levelText + ":reading 42 bytes\n", &tid))
            << lines[0];
        EXPECT_EQ(std::stol(tid), static_cast<long>(pthread_self()));
    }
    EXPECT_EQ(log.GetNumberofLogEntries(), c.stored ? 1 : 0);
    if (c.stored) {
        EXPECT_EQ(text(0), "reading 42 bytes");
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, LoggerFilterTest,
                         ::testing::Values(FilterCase{-1, false, false, false, ""},
                                           FilterCase{0, false, false, false, ""},
                                           FilterCase{1, false, true, true, "Info "},
                                           FilterCase{2, false, true, true, "WARN "},
                                           FilterCase{3, false, true, true, "ERROR"},
                                           FilterCase{4, false, true, true, "FATAL"},
                                           FilterCase{5, false, true, true, "\\?\\?\\?  "},
                                           FilterCase{0, true, true, false, "Diag "},
                                           FilterCase{-1, true, true, false, "\\?\\?\\?  "},
                                           FilterCase{2, true, true, true, "WARN "}));

TEST_F(LoggerTest, CategoriesAreEnabledByNameLoweredInPlace)
{
    char name[] = "INPUT";
    log.setMaskByName(name);
    EXPECT_STREQ(name, "input");
    log.DiagnosticString(oidInput, 0, "touch");
    log.DiagnosticString(oidPhal, 0, "not this one");
    ASSERT_EQ(collector.lines().size(), 1u);
    EXPECT_NE(collector.lines()[0].find("Diag :touch\n"), std::string::npos);

    char mixed[] = "Input";
    log.clrMaskByName(mixed);
    EXPECT_FALSE(log.testId(oidInput));
}

TEST_F(LoggerTest, UnknownNamesChangeNothingAndAllCoversEverything)
{
    for (const char* unknown : {"inputs", "", "in put", "0x4000000"}) {
        std::string copy = unknown;
        log.setMaskByName(&copy[0]);
        EXPECT_FALSE(log.testId(static_cast<int>(oidAll))) << unknown;
    }
    log.setMaskByName(nullptr);

    char all[] = "ALL";
    log.setMaskByName(all);
    for (unsigned id : objectIDs)
        EXPECT_TRUE(log.testId(static_cast<int>(id))) << id;
    log.clrMaskByName(all);
    EXPECT_FALSE(log.testId(static_cast<int>(oidAll)));
}

TEST_F(LoggerTest, TableLookUps)
{
    const struct {
        int mask;
        const char* name;
    } names[] = {{oidUnknown, "unknown"}, {oidInput, "input"},     {oidPhal, "phal"},
                 {static_cast<int>(oidDesktop), "desktop"},       {static_cast<int>(oidAll), "all"},
                 {oidPhal | oidInput, nullptr},                   {0, nullptr}};
    for (const auto& n : names) {
        if (n.name == nullptr) {
            EXPECT_EQ(log.getNameByMask(n.mask), nullptr) << n.mask;
        } else {
            EXPECT_STREQ(log.getNameByMask(n.mask), n.name) << n.mask;
        }
    }

    const struct {
        int value;
        const char* day;
        const char* level;
    } texts[] = {{0, "SUN", "Diag"}, {4, "THU", "FATAL"}, {5, "FRI", "???"}, {6, "SAT", "???"},
                 {7, "???", "???"},  {-1, "???", "???"},  {INT_MIN, "???", "???"}};
    for (const auto& t : texts) {
        EXPECT_STREQ(log.GetDayOfWeek(t.value), t.day) << t.value;
        EXPECT_STREQ(log.GetLevelText(t.value), t.level) << t.value;
    }
}

TEST_F(LoggerTest, DebugLinesIgnoreTheMaskAndAreNeitherStoredNorSubscribed)
{
    StderrToFile err;
    log.DebugString("value %s", "x");
    EXPECT_TRUE(matchesWhole(err.text(), std::string(linePattern) + "Debug:value x\n"))
        << err.text();
    EXPECT_TRUE(collector.lines().empty());
    EXPECT_EQ(log.GetNumberofLogEntries(), 0);
}

TEST(LoggerRingTest, KeepsTheNewestThousandNewestFirst)
{
    TestLogger log;
    StderrToFile quiet;
    for (int i = 0; i <= 1000; ++i)
        log.DiagnosticString(oidPhal, 1, "message %d", i);
    ASSERT_EQ(log.GetNumberofLogEntries(), 1000);
    char buffer[LOGGER_MSG_SIZE];
    ASSERT_GT(log.GetLogEntryText(buffer, 0), 0);
    EXPECT_STREQ(buffer, "message 1000");
    ASSERT_GT(log.GetLogEntryText(buffer, 999), 0);
    EXPECT_STREQ(buffer, "message 1") << "the second message logged";
}

TEST(LoggerRingTest, WrapsRoundASmallStore)
{
    TestLogger log(3);
    for (int i = 1; i <= 7; ++i) {
        char text[16];
        snprintf(text, sizeof text, "m%d", i);
        log.WriteLog(oidPhal, 1, 0, text);
    }
    EXPECT_EQ(log.GetNumberofLogEntries(), 3);
    char buffer[LOGGER_MSG_SIZE];
    for (int index = 0; index < 3; ++index) {
        ASSERT_EQ(log.GetLogEntryText(buffer, index), 2);
        EXPECT_EQ(buffer, "m" + std::to_string(7 - index));
    }
}

// Whatever the index, the store is never read outside; no entry leaves the
// caller's buffer as it was.
TEST(LoggerRingTest, IndexesWithoutAnEntryReturnZeroAndWriteNothing)
{
    const struct {
        long capacity;
        int stored;
    } stores[] = {{1000, 5}, {3, 7}, {0, 2}};
    for (const auto& s : stores) {
        TestLogger log(s.capacity);
        for (int i = 0; i < s.stored; ++i) {
            char text[] = "entry";
            log.WriteLog(oidPhal, 1, 0, text);
        }
        const int held = log.GetNumberofLogEntries();
        EXPECT_EQ(held, std::min<int>(s.stored, static_cast<int>(s.capacity)));
        for (int index : {held, held + 1, -1, -2, INT_MIN, INT_MAX}) {
            char buffer[LOGGER_MSG_SIZE];
            memset(buffer, '#', sizeof buffer);
            EXPECT_EQ(log.GetLogEntryText(buffer, index), 0) << index;
            EXPECT_EQ(log.GetLogEntryHeader(buffer, index), 0) << index;
            EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(sizeof buffer, '#')) << index;
        }
    }
}

TEST(LoggerRingTest, LoggerWithoutAStoreStillWrites)
{
    TestLogger log(0);
    LineCollector collector;
    log.subscribe(&collector);
    log.DiagnosticString(oidPhal, 3, "write failed");
    EXPECT_EQ(collector.lines().size(), 1u);
    EXPECT_EQ(log.GetNumberofLogEntries(), 0);
    log.subscribe(nullptr);
}

TEST(LoggerRingTest, WriteLogRefusesTextsThatDoNotFitAnEntry)
{
    TestLogger log(10);
    std::string fits(LOGGER_MSG_SIZE - 1, 'a');
    std::string tooLong(LOGGER_MSG_SIZE, 'b');
    log.WriteLog(oidPhal, 1, 0, &fits[0]);
    log.WriteLog(oidPhal, 1, 0, &tooLong[0]);
    log.WriteLog(oidPhal, 1, 0, nullptr);
    ASSERT_EQ(log.GetNumberofLogEntries(), 1);
    char buffer[LOGGER_MSG_SIZE];
    EXPECT_EQ(log.GetLogEntryText(buffer, 0), LOGGER_MSG_SIZE - 1);
}

TEST_F(LoggerTest, LongLinesAreCutAfterANoticeAndStoredInFull)
{
    const std::string message(600, 'x');
    StderrToFile err;
    log.DiagnosticString(oidPhal, 1, "%s", message.c_str());

    const std::vector<std::string> lines = collector.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "\n[Following line truncated]\n");
    EXPECT_EQ(lines[1].size(), 510u);
    EXPECT_TRUE(matchesWhole(lines[1], std::string(linePattern) + "Info :x+"));
    EXPECT_EQ(err.text(), lines[0] + lines[1]);
    EXPECT_EQ(text(0), message);

    log.DiagnosticString(oidPhal, 1, "%s", std::string(1500, 'y').c_str());
    EXPECT_EQ(text(0), std::string(1022, 'y')) << "cut by the formatting limit";
}

TEST_F(LoggerTest, LinesUpToTheLimitAreWrittenWhole)
{
    log.DiagnosticString(oidPhal, 1, "short");
    const std::string header = collector.lines().at(0).substr(0, collector.lines()[0].size() - 6);
    const std::string longest(510 - header.size() - 1, 'z'); // with the newline: 510 characters
    log.DiagnosticString(oidPhal, 1, "%s", longest.c_str());
    ASSERT_EQ(collector.lines().size(), 2u) << "no truncation notice";
    EXPECT_EQ(collector.lines()[1].size(), 510u);
    EXPECT_EQ(collector.lines()[1].substr(header.size()), longest + "\n");
}

struct HeaderCase {
    int id;
    int level;
    const char* levelText;
    const char* name;
};

void PrintTo(const HeaderCase& c, std::ostream* os)
{
    *os << "id 0x" << std::hex << c.id << std::dec << ", level " << c.level;
}

class LoggerHeaderTest : public LoggerTest, public ::testing::WithParamInterface<HeaderCase> {};

TEST_P(LoggerHeaderTest, NamesTheEntryAndItsLocalTime)
{
    struct tm when = {};
    when.tm_year = 2026 - 1900;
    when.tm_mon = 2;
    when.tm_mday = 15; // a Sunday
    when.tm_hour = 14;
    when.tm_min = 15;
    when.tm_sec = 7;
    when.tm_isdst = -1;
    char first[] = "first";
    char second[] = "second";
    log.WriteLog(GetParam().id, GetParam().level, mktime(&when), first);
    log.WriteLog(oidPhal, 1, 0, second);

    char expected[LOGGER_HEADER_SIZE];
    snprintf(expected, sizeof expected, "  2: 03-15-2026 SUN 14:15:07 %-5s %-22s", GetParam().levelText,
             GetParam().name);
    char header[LOGGER_HEADER_SIZE];
    EXPECT_EQ(log.GetLogEntryHeader(header, 1), static_cast<int>(strlen(expected)));
    EXPECT_STREQ(header, expected);
}

INSTANTIATE_TEST_SUITE_P(Entries, LoggerHeaderTest,
                         ::testing::Values(HeaderCase{oidInput, 1, "Info", "input"},
                                           HeaderCase{oidPhal | oidInput, 3, "ERROR", ""},  // no single name
                                           HeaderCase{static_cast<int>(oidAll), 4, "FATAL", "all"},
                                           HeaderCase{oidPhal, 9, "???", "phal"}));

} // namespace
