// Zytronics through a pty and the real plug-in: the initialisation command, the settings
// file made at start-up and applied thirty seconds later (on the test's clock), reports, and
// touchhost run on a scripted controller.
//
// The settings file lives in a temporary folder named to the plug-in in the environment.

#include "contract/ZorlanTouchHandler.h"
#include "host/TimerService.h"
#include "serial/ZytronicsTouchHandler/ZytronicsProtocol.h"
#include "sim/testkit/ChildProcess.h"
#include "sim/testkit/LogCapture.h"
#include "sim/testkit/SerialConformance.h"
#include "sim/testkit/SerialPluginHarness.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using tp::testkit::SerialConformance;
TP_SERIAL_CONFORMANCE(ZytronicsTouchHandler);

namespace {

using tp::sim::Bytes;
using namespace std::chrono_literals;

const Bytes kInit = {0xCA, 0xC9, 0xD2, 0xC9};

std::string g_folder;
std::string g_settings;

// Every test of this program, the conformance suite's too, keeps its settings file in a
// folder of its own.
struct SettingsFolder : ::testing::Environment {
    void SetUp() override
    {
        char name[] = "/tmp/zytronics-test-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        g_folder = name;
        g_settings = g_folder + "/calfile";
        ::setenv("TP_ZYTRONICS_SETTINGS_FILE", g_settings.c_str(), 1);
    }
    void TearDown() override
    {
        std::remove(g_settings.c_str());
        ::rmdir(g_folder.c_str());
    }
};
const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new SettingsFolder);

void writeSettings(const std::string& text) { std::ofstream(g_settings, std::ios::trunc) << text; }

std::string readSettings()
{
    std::ifstream in(g_settings);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class Zytronics : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::remove(g_settings.c_str());
        timers().setManual(true);
    }
    void TearDown() override { timers().setManual(false); }
    static host::TimerService& timers() { return host::TimerService::instance(); }
};

TEST(ZytronicsSettings, ParsedAsTwoHexadecimalNumbers)
{
    const struct {
        const char* text;
        bool parsed;
        int glass, sensitivity;
    } cases[] = {
        {"e7 75", true, 0xE7, 0x75},
        {"  E8\n\t0x80 trailing words", true, 0xE8, 0x80},
        {"e9 175", true, 0xE9, 0x175},
        {"e8", false, 0, 0},
        {"", false, 0, 0},
        {"zz 80", false, 0, 0},
        {"e8 zz", false, 0, 0},
        {"1ffffffff 80", false, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        zytronics::Settings s{-1, -1};
        EXPECT_EQ(zytronics::parseSettings(c.text, s), c.parsed);
        EXPECT_EQ(s.glassType, c.parsed ? c.glass : -1);
        EXPECT_EQ(s.sensitivity, c.parsed ? c.sensitivity : -1);
    }
    EXPECT_EQ(zytronics::formatSettings({0xE7, 0x75}), "e7 75");
}

TEST_F(Zytronics, ConstructionInitialisesTheControllerAndMakesTheDefaultFile)
{
    tp::testkit::LogCapture log;
    tp::testkit::SerialPluginHarness h("ZytronicsTouchHandler");
    auto handler = h.create();
    ASSERT_TRUE(handler);
    EXPECT_EQ(h.line().receiveExactly(4, 2000ms), kInit);
    EXPECT_TRUE(h.line().drain(20ms).empty());
    EXPECT_EQ(readSettings(), "e7 75");
    EXPECT_EQ(log.levelOf("ZytronicsTouchHandler Constructor called"), "Info");
    EXPECT_EQ(log.levelOf("buf data array = ca "), "Diag");
    EXPECT_EQ(log.levelOf("initialize device similar to PC"), "Diag");
    EXPECT_EQ(log.levelOf("file not found, create it fptr = "), "Diag");
    EXPECT_TRUE(handler->isTimerRunning(zytronics::kSettingsTimer));
    termios tio{};
    ASSERT_EQ(tcgetattr(handler->descriptor(), &tio), 0);
    EXPECT_EQ(cfgetispeed(&tio), static_cast<speed_t>(B9600));
}

TEST_F(Zytronics, AnExistingFileIsLeftAsItIs)
{
    writeSettings("e8 80\n");
    tp::testkit::LogCapture log;
    tp::testkit::SerialPluginHarness h("ZytronicsTouchHandler");
    auto handler = h.create();
    ASSERT_TRUE(handler);
    EXPECT_EQ(h.line().receiveExactly(4, 2000ms), kInit);
    EXPECT_EQ(readSettings(), "e8 80\n");
    EXPECT_EQ(log.levelOf("file already present, don't overwrite it fptr = "), "Diag");
    EXPECT_FALSE(log.contains("file not found"));
}

TEST_F(Zytronics, FileSettingsThatDifferAreSentThirtySecondsOn)
{
    const struct {
        const char* name;
        const char* file;  // null: no file (the default one is made); "-": removed after start-up
        Bytes sent;
        const char* logged;
    } cases[] = {
        {"DefaultFile", nullptr, {}, nullptr},
        {"BothDiffer", "e8 80", {0xE8, 0x80}, nullptr},
        {"BothOutOfRange", "f0 97", {}, nullptr},
        {"OnlyTheLowByteOfASensitivityIsSent", "e7 175", {0x75}, nullptr},
        {"GlassTypeAlone", "e9 75\n", {0xE9}, nullptr},
        {"PrefixedAndSpaced", " E9\t0x69\n", {0xE9, 0x69}, nullptr},
        {"OneNumber", "e8", {}, "does not hold two numbers"},
        {"Empty", "", {}, "does not hold two numbers"},
        {"NotNumbers", "glass sensitivity", {}, "does not hold two numbers"},
        {"TooLarge", "1ffffffff 80", {}, "does not hold two numbers"},
        {"FileGone", "-", {}, "file read open failed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::remove(g_settings.c_str());
        if (c.file && std::string(c.file) != "-")
            writeSettings(c.file);
        tp::testkit::LogCapture log;
        tp::testkit::SerialPluginHarness h("ZytronicsTouchHandler");
        auto handler = h.create();
        ASSERT_TRUE(handler);
        ASSERT_EQ(h.line().receiveExactly(4, 2000ms), kInit);
        if (c.file && std::string(c.file) == "-")
            std::remove(g_settings.c_str());
        timers().advance(zytronics::kSettingsDelayMs - 1);
        EXPECT_TRUE(h.line().drain(20ms).empty()) << "sent before thirty seconds";
        timers().advance(1);
        EXPECT_EQ(h.line().drain(50ms), c.sent);
        if (c.logged) {
            EXPECT_EQ(log.levelOf(c.logged), "Diag");
        }
        timers().advance(10 * zytronics::kSettingsDelayMs);
        EXPECT_TRUE(h.line().drain(20ms).empty()) << "the file is applied once";
    }
}

TEST_F(Zytronics, OtherTimersDoNothing)
{
    writeSettings("e8 80");
    tp::testkit::SerialPluginHarness h("ZytronicsTouchHandler");
    auto handler = h.create();
    ASSERT_TRUE(handler);
    h.line().receiveExactly(4, 2000ms);
    handler->timerDone(zytronics::kSettingsTimer + 1);
    handler->timerDone(0);
    EXPECT_TRUE(h.line().drain(20ms).empty());
}

TEST_F(Zytronics, FailedSettingWritesAreLoggedAndNotRetried)
{
    writeSettings("e8 80");
    tp::testkit::SerialPluginHarness h("ZytronicsTouchHandler");
    auto handler = h.create();
    ASSERT_TRUE(handler);
    h.line().receiveExactly(4, 2000ms);
    h.line().hangUp();  // writes to the port fail from now on
    tp::testkit::LogCapture log;
    timers().advance(zytronics::kSettingsDelayMs);
    EXPECT_EQ(log.levelOf("write glass type to device failed "), "Diag");
    EXPECT_EQ(log.levelOf("failed to write sensitivity data to device"), "Diag");
    log.clear();
    timers().advance(10 * zytronics::kSettingsDelayMs);
    EXPECT_TRUE(log.messages().empty());
}

TEST_F(Zytronics, ReportsGiveTheirTouchState)
{
    tp::testkit::LogCapture log;
    tp::testkit::SerialPluginHarness h("ZytronicsTouchHandler");
    auto handler = h.create();
    ASSERT_TRUE(handler);
    h.line().receiveExactly(4, 2000ms);
    tp::testkit::ReaderThread reader(*handler);
    h.line().send({0xC0, 0x10, 0x02, 0x20, 0x03,    // touching at 272, 416
                   0xC0, 0x7F, 0x7F, 0x00, 0x00,    // 16383, 0
                   0x80, 0x10, 0x02, 0x20, 0x03,    // lifted
                   0x81, 0x01, 0x00, 0x02, 0x00});  // no such status: not touching
    ASSERT_TRUE(h.finish(reader));
    auto reports = h.sink().reports();
    ASSERT_EQ(reports.size(), 4u);
    const struct {
        bool down;
        GfPoint raw;
    } expected[] = {{true, {272, 416}}, {true, {16383, 0}}, {false, {272, 416}}, {false, {1, 2}}};
    for (std::size_t i = 0; i < reports.size(); ++i) {
        EXPECT_EQ(reports[i].down, expected[i].down) << i;
        EXPECT_EQ(reports[i].raw, expected[i].raw) << i;
    }
    EXPECT_EQ(log.levelOf("default case, data[0] = 81"), "Info");
}

TEST_F(Zytronics, DestructionStopsTheSettingsTimer)
{
    writeSettings("e8 80");
    tp::testkit::LogCapture log;
    tp::testkit::SerialPluginHarness h("ZytronicsTouchHandler");
    auto handler = h.create();
    ASSERT_TRUE(handler);
    h.line().receiveExactly(4, 2000ms);
    const std::size_t running = timers().pending();
    handler.reset();
    EXPECT_EQ(timers().pending(), running - 1);
    EXPECT_EQ(log.levelOf("destructor for Zytronics"), "Diag");
    timers().advance(zytronics::kSettingsDelayMs);
    EXPECT_TRUE(h.line().drain(20ms).empty());
}

TEST_F(Zytronics, AFileThatCannotBeReadIsNotOverwritten)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    writeSettings("e9 80");
    ASSERT_EQ(::chmod(g_settings.c_str(), 0), 0);
    tp::testkit::SerialPluginHarness h("ZytronicsTouchHandler");
    auto handler = h.create();
    ASSERT_TRUE(handler);
    h.line().receiveExactly(4, 2000ms);
    ::chmod(g_settings.c_str(), 0600);
    EXPECT_EQ(readSettings(), "e9 80");
}

// touchhost as a person runs it, with an independent controller script on a pty.
TEST(ZytronicsTouchhost, PrintsTheTouchesOfAScript)
{
    tp::sim::PtyLine line;
    auto p = tp::testkit::ChildProcess::start(tp::testkit::builtProgram("touchhost"),
                                              {"ZytronicsTouchHandler", line.slavePath()});
    EXPECT_EQ(line.receiveExactly(4, 20000ms), kInit) << p.stderrText();
    line.send({0xC0, 0x10, 0x02, 0x20, 0x03, 0xC0, 0x11, 0x02, 0x21, 0x03, 0x80, 0x11, 0x02, 0x21,
               0x03});
    EXPECT_TRUE(line.waitConsumed(20000ms));
    line.hangUp();
    EXPECT_EQ(p.wait(20000ms), 0) << p.stderrText();
    EXPECT_EQ(p.stdoutText(), "down 272 416\ndown 273 417\nup 273 417\n");
}

// The emulated controller's stroke, as touchhost prints it.
TEST(ZytronicsTouchhost, TheEmulatedControllerPlaysItsStroke)
{
    auto p = tp::testkit::ChildProcess::start(tp::testkit::builtProgram("touchhost"),
                                              {"--emulate", "ZytronicsTouchHandler"});
    EXPECT_EQ(p.wait(40000ms), 0) << p.stderrText();
    EXPECT_EQ(p.stdoutText(), "down 1000 1200\ndown 1100 1300\ndown 1200 1400\nup 1200 1400\n");
}

} // namespace
