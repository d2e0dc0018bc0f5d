// TouchFoil through a pty and the real plug-in: baseline learning, peak search and
// interpolation, the sensitivity file, idle re-baselining, the port set-up, and touchhost run
// on a scripted foil.
//
// Frames are built here from channel levels; the expected positions are worked out by hand in
// the comments. The handler reads 185 bytes at a time, so every stream is padded to whole
// reads with bytes a frame ignores (non-zero bytes after a frame's 64th level).

#include "contract/ZorlanTouchHandler.h"
#include "serial/TouchFoilTouchHandler/TouchFoilSignal.h"
#include "sim/testkit/ChildProcess.h"
#include "sim/testkit/LineInterposer.h"
#include "sim/testkit/LogCapture.h"
#include "sim/testkit/SerialConformance.h"
#include "sim/testkit/SerialPluginHarness.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

using tp::testkit::SerialConformance;
TP_SERIAL_CONFORMANCE(TouchFoilTouchHandler);

namespace {

using tp::sim::Bytes;
using tp::testkit::LineInterposer;
using namespace std::chrono_literals;

std::string g_folder;
std::string g_sensitivity;

// Every test of this program, the conformance suite's too, reads its sensitivity file from a
// folder of its own.
struct SensitivityFolder : ::testing::Environment {
    void SetUp() override
    {
        char name[] = "/tmp/touchfoil-test-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        g_folder = name;
        g_sensitivity = g_folder + "/touchfoilsensitivity.cf";
        ::setenv("TP_TOUCHFOIL_SENSITIVITY_FILE", g_sensitivity.c_str(), 1);
    }
    void TearDown() override
    {
        std::remove(g_sensitivity.c_str());
        ::rmdir(g_folder.c_str());
    }
};
const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new SensitivityFolder);

constexpr std::uint8_t kIdle = 100;

// A frame with every channel at the idle level except those given (channel -> level).
Bytes frame(const std::map<int, int>& raised = {})
{
    Bytes f(65, kIdle);
    f[0] = 0x00;
    for (const auto& [channel, level] : raised)
        f[1 + channel] = static_cast<std::uint8_t>(level);
    return f;
}

Bytes frames(int count, const Bytes& f = frame())
{
    Bytes all;
    for (int i = 0; i < count; ++i)
        all.insert(all.end(), f.begin(), f.end());
    return all;
}

Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

Bytes padded(Bytes stream)
{
    while (stream.size() % touchfoil::kReadSize != 0)
        stream.push_back(0xFF);
    return stream;
}

// X differences 30, 60, 20 on channels 1-3: peak 2, sum 110, coarse 3; Y the same on 40-42:
// peak 41, coarse 10. Divisor 60 (the Y peak): X = 384 - 10 * 128 / 60 = 363,
// Y = 1280 - 21 = 1259.
const Bytes kTouch = frame({{1, 130}, {2, 160}, {3, 120}, {40, 130}, {41, 160}, {42, 120}});
// X peak on channel 0, evaluated over 0-2 with coarse 1: 128 - (60 - 0) * 128 / 60 = 0.
const Bytes kLeftEdge = frame({{0, 160}, {1, 130}, {40, 130}, {41, 160}, {42, 120}});
// Y peak on channel 63, evaluated over 61-63 with coarse 32: 4096 + 60 * 128 / 60 = 4224.
const Bytes kBottomEdge = frame({{1, 130}, {2, 160}, {3, 120}, {62, 120}, {63, 160}});
// Sums of 10: neither axis touched.
const Bytes kWeak = frame({{2, 110}, {41, 110}});
const Bytes kOnlyX = frame({{1, 130}, {2, 160}, {3, 120}});

struct Touch {
    bool down;
    int x, y;
};

struct Foil {
    tp::testkit::SerialPluginHarness h{"TouchFoilTouchHandler"};
    host::SerialHandlerPtr handler = h.create();

    std::vector<Touch> play(const Bytes& stream)
    {
        tp::testkit::ReaderThread reader(*handler);
        h.line().send(padded(stream));
        EXPECT_TRUE(h.finish(reader));
        EXPECT_EQ(reader.results().back(), 0) << "a hung-up line must end the reader";
        std::vector<Touch> touches;
        for (const auto& r : h.sink().reports())
            touches.push_back({r.down, r.raw.x, r.raw.y});
        return touches;
    }
};

void expectTouches(const std::vector<Touch>& got, const std::vector<Touch>& want)
{
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].down, want[i].down) << "touch " << i;
        EXPECT_EQ(got[i].x, want[i].x) << "touch " << i;
        EXPECT_EQ(got[i].y, want[i].y) << "touch " << i;
    }
}

TEST(TouchFoilSignal, DifferencesTakeTheShortWayRound)
{
    const struct {
        int sample, baseline, diff;
    } cases[] = {
        {10, 200, 65},   // -190 + 255
        {200, 10, -65},  // 190 - 255
        {100, 100, 0},   {100, 228, 128}, {228, 100, 128},
        {100, 229, 126}, {229, 100, -126}, {1, 255, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(touchfoil::difference(c.sample, c.baseline), c.diff)
            << c.sample << " against " << c.baseline;
}

TEST(TouchFoilSignal, PeakThresholdAndInterpolation)
{
    std::int32_t diff[64] = {};
    diff[1] = 30, diff[2] = 60, diff[3] = 20;
    touchfoil::Axis x = touchfoil::evaluateAxis(diff, 0, 40);
    EXPECT_EQ(x.best, 60);
    EXPECT_EQ(x.evaluated, 2);
    EXPECT_EQ(x.coarse, 3);
    EXPECT_TRUE(x.touched);
    EXPECT_EQ(touchfoil::interpolate(3, 30, 20, 60), 363);
    EXPECT_FALSE(touchfoil::evaluateAxis(diff, 0, 111).touched);
    EXPECT_TRUE(touchfoil::evaluateAxis(diff, 0, 110).touched);
    // Ties go to the lower channel; an axis with nothing above 0 stands on its second channel.
    diff[3] = 60;
    EXPECT_EQ(touchfoil::evaluateAxis(diff, 0, 40).evaluated, 2);
    touchfoil::Axis y = touchfoil::evaluateAxis(diff, 32, 40);
    EXPECT_EQ(y.best, 0);
    EXPECT_EQ(y.evaluated, 33);
    EXPECT_FALSE(y.touched);
}

TEST(TouchFoilSignal, ThresholdTextIsADecimalNumber)
{
    const struct {
        const char* text;
        int value;
    } cases[] = {{"35", 35}, {"120", 120}, {"123", 123}, {"  7", 7}, {"0", 0},
                 {"abc", 0}, {"9x", 9},    {"-5", -5},   {"", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(touchfoil::parseThreshold(c.text, std::string(c.text).size()), c.value) << c.text;
}

TEST(TouchFoilStream, FramesGiveExactlyTheTouchesTheyCarry)
{
    const struct {
        const char* name;
        Bytes afterBaseline;
        std::vector<Touch> touches;
    } cases[] = {
        {"IdleFramesAreReleasesAtTheStartPosition", frames(2), {{false, 2000, 2000}, {false, 2000, 2000}}},
        {"TouchAndLift", join({kTouch, frame()}), {{true, 363, 1259}, {false, 363, 1259}}},
        {"LeftEdge", kLeftEdge, {{true, 0, 1259}}},
        {"BottomEdge", kBottomEdge, {{true, 363, 4224}}},
        {"BelowTheThresholdKeepsThePosition", join({kTouch, kWeak}),
         {{true, 363, 1259}, {false, 363, 1259}}},
        {"OneAxisIsNoTouch", kOnlyX, {{false, 2000, 2000}}},
        {"TruncatedFrameIsAbandonedAtTheNextStart",
         join({Bytes(kTouch.begin(), kTouch.begin() + 40), frame()}), {{false, 2000, 2000}}},
        {"BytesAfterTheLastLevelAreIgnored", join({kTouch, Bytes(30, 0x90), frame()}),
         {{true, 363, 1259}, {false, 363, 1259}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Foil foil;
        ASSERT_TRUE(foil.handler);
        expectTouches(foil.play(join({frames(5), c.afterBaseline})), c.touches);
    }
}

TEST(TouchFoilStream, TheBaselineIsTheLowestLevelOfTheFirstFiveFrames)
{
    // One baseline frame reads 40 on channels 1-3 and 40-42: idle frames then differ by 60
    // there. X peak 1 (lowest of the tie), coarse 2: 256 + 60 * 128 / 60 = 384;
    // Y peak 40, coarse 9: 1152 + 128 = 1280.
    const Bytes low = frame({{1, 40}, {2, 40}, {3, 40}, {40, 40}, {41, 40}, {42, 40}});
    Foil foil;
    ASSERT_TRUE(foil.handler);
    expectTouches(foil.play(join({frames(2), low, frames(2), frame()})), {{true, 384, 1280}});
}

TEST(TouchFoilStream, IdleFramesRebaselineAfterNineHundredTrackedFrames)
{
    const struct {
        const char* name;
        Bytes afterBaseline;
        std::size_t reports;
    } cases[] = {
        // The 900th tracked frame is reported and starts a phase: five silent frames follow.
        {"Idle", join({frames(900), frames(5), frame()}), 901},
        // A touch holds the phase off until the first untouched frame.
        {"TouchHoldsItOff", join({frames(899), frames(3, kTouch), frame(), frames(5), frame()}), 904},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        tp::testkit::LogCapture log;
        Foil foil;
        ASSERT_TRUE(foil.handler);
        EXPECT_EQ(foil.play(join({frames(5), c.afterBaseline})).size(), c.reports);
        EXPECT_EQ(log.count("_updateSensitivityThreshold() - Error opening"), 2u)
            << "the file is read again in the new phase";
    }
}

TEST(TouchFoilStream, CalibrationStartsANewBaseline)
{
    Foil foil;
    ASSERT_TRUE(foil.handler);
    tp::testkit::ReaderThread reader(*foil.handler);
    foil.h.line().send(padded(frames(6)));
    ASSERT_TRUE(foil.h.sink().waitFor(1, 5000));
    ASSERT_TRUE(foil.h.line().waitConsumed());
    foil.handler->enterCalibrationMode();
    EXPECT_TRUE(foil.handler->inCalibrationMode()) << "the framework's calibration did not start";
    foil.handler->exitCalibrationMode(false);
    foil.h.line().send(padded(join({frames(5), kTouch})));
    ASSERT_TRUE(foil.h.finish(reader));
    auto reports = foil.h.sink().reports();
    ASSERT_EQ(reports.size(), 2u) << "five frames of the new phase are not reported";
    EXPECT_TRUE(reports[1].down);
}

TEST(TouchFoilSensitivity, TheFileSetsTheThresholdDuringTheBaseline)
{
    const struct {
        const char* content;  // null: no file
        bool touched;         // the touch of sum 110 counts
        const char* logged;
    } cases[] = {
        {nullptr, true, "_updateSensitivityThreshold() - Error opening "},
        {"", true, "_updateSensitivityThreshold() - Error reading from "},
        {"120", false, "_updateSensitivityThreshold() - Threshold set to 120"},
        {"1234", false, "_updateSensitivityThreshold() - Threshold set to 123"},
        {"110", true, "_updateSensitivityThreshold() - Threshold set to 110"},
        {" 35", true, "_updateSensitivityThreshold() - Threshold set to 35"},
        {"0", true, nullptr},
        {"abc", true, nullptr},
        {"-50", true, nullptr},
        {"40", true, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content ? c.content : "no file");
        std::remove(g_sensitivity.c_str());
        if (c.content)
            std::ofstream(g_sensitivity) << c.content;
        tp::testkit::LogCapture log;
        Foil foil;
        ASSERT_TRUE(foil.handler);
        auto touches = foil.play(join({frames(5), kTouch}));
        ASSERT_EQ(touches.size(), 1u);
        EXPECT_EQ(touches[0].down, c.touched);
        if (c.logged) {
            EXPECT_EQ(log.levelOf(c.logged), "Diag");
        } else {
            EXPECT_FALSE(log.contains("_updateSensitivityThreshold()"));
        }
    }
    std::remove(g_sensitivity.c_str());
}

TEST(TouchFoilSensitivity, TheFileIsReadWithTheFourthFrame)
{
    tp::testkit::LogCapture log;
    Foil foil;
    ASSERT_TRUE(foil.handler);
    tp::testkit::ReaderThread reader(*foil.handler);
    foil.h.line().send(padded(frames(3)));
    ASSERT_TRUE(foil.h.line().waitConsumed());
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(log.contains("Error opening"));
    foil.h.line().send(padded(frames(1)));
    ASSERT_TRUE(foil.h.finish(reader));
    EXPECT_EQ(log.count("Error opening " + g_sensitivity), 1u);
    EXPECT_EQ(foil.h.sink().count(), 0u);
}

TEST(TouchFoilPort, SetUpAtNineteenThousandTwoHundredRawAndReopened)
{
    tp::testkit::LogCapture log;
    tp::testkit::SerialPluginHarness h("TouchFoilTouchHandler");
    auto handler = h.create();
    ASSERT_TRUE(handler);
    EXPECT_EQ(log.levelOf("TouchFoilTouchHandler::openPanel()"), "Diag");
    EXPECT_EQ(log.levelOf("TouchFoilTouchHandler::openPanel() - baud rate 0xE"), "Diag");
    bool raw = false;
    for (const auto& s : LineInterposer::settings(h.device()))
        raw = raw || (s.action == TCSADRAIN && s.tio.c_cflag == (B19200 | CS8 | CREAD | CLOCAL) &&
                      s.tio.c_cc[VMIN] == 1 && s.tio.c_cc[VTIME] == 1 && s.tio.c_lflag == 0 &&
                      s.tio.c_iflag == 0 && s.tio.c_oflag == 0);
    EXPECT_TRUE(raw) << "no raw 19200 set-up applied with TCSADRAIN";
    bool askedLines = false;
    for (const auto& call : LineInterposer::modemCalls(h.device()))
        askedLines = askedLines || call.request == TIOCMGET;
    EXPECT_TRUE(askedLines);
    auto flushes = LineInterposer::flushes(h.device());
    EXPECT_GE(std::count(flushes.begin(), flushes.end(), TCIOFLUSH), 2);
    termios tio{};
    ASSERT_EQ(tcgetattr(handler->descriptor(), &tio), 0);
    EXPECT_EQ(cfgetispeed(&tio), static_cast<speed_t>(B19200));
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
}

TEST(TouchFoilPort, AFailedLineQueryIsLoggedAndSetUpGoesOn)
{
    tp::testkit::SerialPluginHarness h("TouchFoilTouchHandler");
    LineInterposer::unregisterDevice(h.device());  // a pty has no modem lines of its own
    tp::testkit::LogCapture log;
    auto handler = h.create();
    ASSERT_TRUE(handler);
    EXPECT_EQ(log.levelOf("TouchFoilTouchHandler::openPanel() - ioctl: "), "ERROR");
    EXPECT_GE(handler->descriptor(), 0);
    LineInterposer::registerDevice(h.device());
}

TEST(TouchFoilPort, PassThroughIsAttachedAndDetached)
{
    tp::testkit::SerialPluginHarness h("TouchFoilTouchHandler");
    auto handler = h.create();
    ASSERT_TRUE(handler);
    tp::sim::PtyLine pc;
    EXPECT_EQ(handler->attachPassThrough(pc.slavePath().c_str()), 1);
    EXPECT_GT(handler->passThroughDescriptor(), 0);
    EXPECT_EQ(handler->detachPassThrough(), 1);
    EXPECT_EQ(handler->passThroughDescriptor(), -1);
    EXPECT_EQ(handler->attachPassThrough("/nonexistent/ttyGS9"), 1);
    EXPECT_EQ(handler->passThroughDescriptor(), -1);
}

// touchhost as a person runs it, with an independent foil script on a pty.
TEST(TouchFoilTouchhost, PrintsTheTouchesOfAScript)
{
    tp::sim::PtyLine line;
    auto p = tp::testkit::ChildProcess::start(tp::testkit::builtProgram("touchhost"),
                                              {"TouchFoilTouchHandler", line.slavePath()});
    // The foil streams once the handler has set the line up and opened it again.
    bool ready = false;
    for (int i = 0; i < 2000 && !ready; ++i) {
        termios tio{};
        ready = tcgetattr(line.masterFd(), &tio) == 0 && cfgetispeed(&tio) == B19200;
        if (!ready)
            std::this_thread::sleep_for(10ms);
    }
    ASSERT_TRUE(ready) << p.stderrText();
    std::this_thread::sleep_for(500ms);
    line.send(padded(join({frames(5), kTouch, kLeftEdge, frame()})));
    EXPECT_TRUE(line.waitConsumed(20000ms));
    line.hangUp();
    EXPECT_EQ(p.wait(20000ms), 0) << p.stderrText();
    EXPECT_EQ(p.stdoutText(), "down 363 1259\ndown 0 1259\nup 0 1259\n");
}

// The emulated controller's stroke, as touchhost prints it.
TEST(TouchFoilTouchhost, TheEmulatedControllerPlaysItsStroke)
{
    auto p = tp::testkit::ChildProcess::start(tp::testkit::builtProgram("touchhost"),
                                              {"--emulate", "TouchFoilTouchHandler"});
    EXPECT_EQ(p.wait(40000ms), 0) << p.stderrText();
    EXPECT_EQ(p.stdoutText(), "down 363 1259\ndown 491 1387\ndown 619 1515\nup 619 1515\n");
}

} // namespace
