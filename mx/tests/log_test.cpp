// Hierarchical log channels.
#include "mx/mxLog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_printed;

void printerA(const char* message) { g_printed.push_back(std::string("A:") + message); }
void printerB(const char* message) { g_printed.push_back(std::string("B:") + message); }

class Log : public testing::Test {
protected:
    void SetUp() override
    {
        mxLogReset();
        g_printed.clear();
    }
    void TearDown() override { mxLogReset(); }

    // Logs one message at every level, "1" (fatal) to "5" (debug).
    static void logAllLevels(MxLogger* channel)
    {
        fatal(channel, "%d", 1);
        error(channel, "%d", 2);
        warn(channel, "%d", 3);
        info(channel, "%d", 4);
        debug(channel, "%d", 5);
    }
};

TEST_F(Log, FirstChannelCreatesTheRootAndPrintsToStandardOutput)
{
    MxLogger* mem = mxLogGetLogger("comps.mxMem");
    ASSERT_NE(mem, nullptr);
    MxLogger* root = getLogger("");
    ASSERT_NE(root, nullptr);
    EXPECT_NE(root, mem);
    EXPECT_EQ(getLogger(nullptr), root);
    EXPECT_EQ(mxLogGetLevel(root), MX_LOG_INFO);
    EXPECT_EQ(mxLogGetLevel(mem), MX_LOG_INFO);
    EXPECT_EQ(mem->printers, nullptr);
    EXPECT_STREQ(mem->name, "comps.mxMem");
    EXPECT_EQ(mxLogGetLogger("comps.mxMem"), mem) << "found, not created again";

    testing::internal::CaptureStdout();
    info(mem, "heap %s", "ready");
    debug(mem, "hidden");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "heap ready\n");
}

struct LevelCase {
    int channelLevel;
    const char* printed;
};

void PrintTo(const LevelCase& c, std::ostream* os) { *os << "channel level " << c.channelLevel; }

class LogLevels : public Log, public testing::WithParamInterface<LevelCase> {};

TEST_P(LogLevels, ChannelPassesMessagesAtOrBelowItsLevel)
{
    MxLogger* channel = mxLogGetLogger("levels");
    ASSERT_NE(channel, nullptr);
    mxLogSetLevel(channel, GetParam().channelLevel);
    testing::internal::CaptureStdout();
    logAllLevels(channel);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), GetParam().printed);
}

INSTANTIATE_TEST_SUITE_P(Cases, LogLevels,
                         testing::Values(LevelCase{-1, ""}, LevelCase{0, ""}, LevelCase{1, "1\n"},
                                         LevelCase{3, "1\n2\n3\n"}, LevelCase{4, "1\n2\n3\n4\n"},
                                         LevelCase{5, "1\n2\n3\n4\n5\n"}, LevelCase{9, "1\n2\n3\n4\n5\n"}));

TEST_F(Log, PrintersHaveLevelsOfTheirOwnAndReplaceStandardOutput)
{
    MxLogger* channel = mxLogGetLogger("printers");
    mxLogSetLevel(channel, MX_LOG_DEBUG);
    mxLogAddPrinter(channel, "A", printerA);
    mxLogAddPrinter(channel, "B", printerB);
    EXPECT_EQ(mxLogGetPrinterLevel(channel, "A"), MX_LOG_DEBUG);
    mxLogSetPrinterLevel(channel, "A", MX_LOG_ERROR);
    EXPECT_EQ(mxLogGetPrinterLevel(channel, "A"), MX_LOG_ERROR);
    EXPECT_EQ(mxLogGetPrinterLevel(channel, "B"), MX_LOG_DEBUG);
    EXPECT_EQ(mxLogGetPrinterLevel(channel, "C"), -1);

    testing::internal::CaptureStdout();
    logAllLevels(channel);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(g_printed, (std::vector<std::string>{"B:1", "A:1", "B:2", "A:2", "B:3", "B:4", "B:5"}));
}

TEST_F(Log, ChildInheritsLevelFormatterAndPrintersInReverseAtLevelFive)
{
    MxLogger* parent = mxLogGetLogger("ui");
    mxLogSetLevel(parent, 2);
    mxLogSetFormatter(parent, "%t %m");
    mxLogAddPrinter(parent, "A", printerA);
    mxLogAddPrinter(parent, "B", printerB); // the parent's list: B, A
    mxLogSetPrinterLevel(parent, "A", 1);
    mxLogSetPrinterLevel(parent, "B", 1);

    MxLogger* child = mxLogGetLogger("ui.keys.left");
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(getLogger("ui.keys"), nullptr) << "no intermediate channel is made";
    EXPECT_EQ(getParent("ui.keys.left"), parent);
    EXPECT_EQ(mxLogGetLevel(child), 2);
    EXPECT_STREQ(mxLogGetFormatter(child), "%t %m");
    EXPECT_EQ(mxLogGetPrinterLevel(child, "A"), MX_LOG_DEBUG);
    EXPECT_EQ(mxLogGetPrinterLevel(child, "B"), MX_LOG_DEBUG);

    error(child, "e");
    EXPECT_EQ(g_printed, (std::vector<std::string>{"A:e", "B:e"}));

    // Later changes to the parent are not seen by the child.
    mxLogSetLevel(parent, 0);
    EXPECT_EQ(mxLogGetLevel(child), 2);
}

TEST_F(Log, AncestorOfANameWithOnlyTheRootIsTheRoot)
{
    MxLogger* root = getLogger("");
    EXPECT_EQ(getParent("a.b.c"), root);
    EXPECT_EQ(getParent("plain"), root);
    EXPECT_EQ(getParent(""), root);
    EXPECT_EQ(getParent(nullptr), root);
    mxLogSetLevel(root, 1);
    EXPECT_EQ(mxLogGetLevel(mxLogGetLogger("a.b.c")), 1);
}

TEST_F(Log, SetLevelByNameChangesOnlyThatExactName)
{
    mxLogGetLogger("comps");
    mxLogGetLogger("comps.mxMem");
    mxLogSetLevelByName("comps.mx", 1);
    mxLogSetLevelByName("nobody", 1);
    mxLogSetLevelByName(nullptr, 1);
    testing::internal::CaptureStdout();
    mxLogList();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              " - 'comps.mxMem' level = 4\n - 'comps' level = 4\n - '' level = 4\n");
    mxLogSetLevelByName("comps", 2);
    EXPECT_EQ(mxLogGetLevel(getLogger("comps")), 2);
    EXPECT_EQ(mxLogGetLevel(getLogger("comps.mxMem")), 4);
}

TEST_F(Log, ListShowsEveryChannelNewestFirstWithNamesCutAtTwenty)
{
    mxLogGetLogger("comps.mxMem");
    testing::internal::CaptureStdout();
    mxLogList();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), " - 'comps.mxMem' level = 4\n - '' level = 4\n");

    mxLogGetLogger("a.very.long.channel.name");
    testing::internal::CaptureStdout();
    mxLogList();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              " - 'a.very.long.channel.' level = 4\n - 'comps.mxMem' level = 4\n - '' level = 4\n");
}

TEST_F(Log, LongTextsAreCutAt255Characters)
{
    const std::string longName(300, 'n');
    MxLogger* channel = mxLogGetLogger(longName.c_str());
    ASSERT_NE(channel, nullptr);
    EXPECT_EQ(std::string(channel->name), longName.substr(0, 255));
    EXPECT_EQ(getLogger(longName.c_str()), nullptr) << "names are compared in full";
    EXPECT_EQ(getLogger(longName.substr(0, 255).c_str()), channel);

    mxLogSetFormatter(channel, std::string(400, 'f').c_str());
    EXPECT_EQ(std::string(mxLogGetFormatter(channel)), std::string(255, 'f'));

    mxLogAddPrinter(channel, std::string(300, 'p').c_str(), printerA);
    EXPECT_EQ(mxLogGetPrinterLevel(channel, std::string(255, 'p').c_str()), MX_LOG_DEBUG);
    info(channel, "%s", std::string(1000, 'm').c_str());
    ASSERT_EQ(g_printed.size(), 1u);
    EXPECT_EQ(g_printed[0], "A:" + std::string(255, 'm'));
}

TEST_F(Log, NullChannelsAndArgumentsAreIgnored)
{
    mxLogAddPrinter(nullptr, "A", printerA);
    mxLogSetLevel(nullptr, 3);
    EXPECT_EQ(mxLogGetLevel(nullptr), -1);
    EXPECT_EQ(mxLogGetPrinterLevel(nullptr, "A"), -1);
    mxLogSetPrinterLevel(nullptr, "A", 1);
    EXPECT_EQ(mxLogGetFormatter(nullptr), nullptr);
    mxLogSetFormatter(nullptr, "x");
    logAllLevels(nullptr);

    MxLogger* channel = mxLogGetLogger("nulls");
    mxLogAddPrinter(channel, "none", nullptr); // a printer that cannot print is not added
    mxLogAddPrinter(channel, nullptr, printerA);
    EXPECT_EQ(mxLogGetPrinterLevel(channel, ""), MX_LOG_DEBUG);
    EXPECT_EQ(mxLogGetPrinterLevel(channel, nullptr), -1);
    mxLogSetFormatter(channel, nullptr);
    EXPECT_STREQ(mxLogGetFormatter(channel), "");
    info(channel, nullptr);
    info(channel, "ok");
    EXPECT_EQ(g_printed, (std::vector<std::string>{"A:ok"}));
    EXPECT_EQ(mxLogGetLogger(nullptr), getLogger(""));
}

MxLogger* g_echoChannel = nullptr;
void echoPrinter(const char* message)
{
    g_printed.push_back(message);
    if (g_printed.size() == 1) info(g_echoChannel, "again");
}

TEST_F(Log, APrinterMayLogToItsOwnChannel)
{
    g_echoChannel = mxLogGetLogger("echo");
    mxLogAddPrinter(g_echoChannel, "echo", echoPrinter);
    info(g_echoChannel, "first");
    EXPECT_EQ(g_printed, (std::vector<std::string>{"first", "again"}));
}

TEST_F(Log, ResetForgetsEveryChannelAndStartsAgainFromANewRoot)
{
    MxLogger* old = mxLogGetLogger("comps.mxMem");
    mxLogAddPrinter(old, "A", printerA);
    mxLogSetLevel(getLogger(""), 1);
    mxLogReset();
    testing::internal::CaptureStdout();
    mxLogList();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(getLogger("comps.mxMem"), nullptr);
    MxLogger* fresh = mxLogGetLogger("comps.mxMem");
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(mxLogGetLevel(fresh), MX_LOG_INFO);
    EXPECT_EQ(fresh->printers, nullptr);
}

} // namespace
