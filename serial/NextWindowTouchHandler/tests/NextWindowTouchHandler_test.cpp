// NextWindow reports through a pty and the real plug-in, and touchhost run on one.
//
// Report bytes are written out by hand: X and Y as big-endian IEEE 754 singles, the status
// byte, then the six-byte trailer.

#include "contract/LocalInfo.h"
#include "contract/ZorlanTouchHandler.h"
#include "serial/NextWindowTouchHandler/NextWindowReport.h"
#include "sim/testkit/ChildProcess.h"
#include "sim/testkit/LogCapture.h"
#include "sim/testkit/SerialConformance.h"
#include "sim/testkit/SerialPluginHarness.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <sys/ioctl.h>
#include <thread>

using tp::testkit::SerialConformance;
TP_SERIAL_CONFORMANCE(NextWindowTouchHandler);

namespace {

using tp::sim::Bytes;
using namespace std::chrono_literals;

const Bytes kFullScale = {0x46, 0xFF, 0xFE, 0x00};  // 32767.0
const Bytes k12345 = {0x46, 0x40, 0xE4, 0x00};      // 12345.0
const Bytes k100 = {0x42, 0xC8, 0x00, 0x00};        // 100.0
const Bytes kZero = {0x00, 0x00, 0x00, 0x00};
const Bytes kTrailer = {0x3C, 0x45, 0x4E, 0x44, 0x3E, 0x0D};

Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

Bytes report(const Bytes& x, const Bytes& y, std::uint8_t status, const Bytes& trailer = kTrailer)
{
    return join({x, y, Bytes{status}, trailer});
}

struct Touch {
    bool down;
    int x, y;
};

struct StreamCase {
    const char* name;
    Bytes stream;
    std::vector<Touch> touches;
    const char* logged;  // a message the handler must have logged, or null
};

TEST(NextWindowStream, ReportsGiveExactlyTheTouchesTheyCarry)
{
    const Bytes fullX = report(kFullScale, kZero, 1);
    const Bytes shortTrailer = join({kZero, kZero, Bytes{1}, Bytes{0x3C, 0x44, 0x44, 0x44, 0x0D}});
    const StreamCase cases[] = {
        {"FullScaleTouchDown", fullX, {{true, 1024, 0}}, nullptr},
        {"ScaledAndRoundedHalfUp", report(k12345, k100, 1), {{true, 386, 2}}, nullptr},
        {"OneThenZeroIsARelease", join({fullX, report(kFullScale, kZero, 0)}),
         {{true, 1024, 0}, {false, 1024, 0}}, nullptr},
        {"TwoThenZeroStaysDown", join({report(kZero, kZero, 2), report(kZero, kZero, 0)}),
         {{true, 0, 0}, {true, 0, 0}}, nullptr},
        {"ZeroFirstIsDown", report(kZero, kZero, 0), {{true, 0, 0}}, nullptr},
        {"ElevenThenTenStaysDown", join({report(kZero, kZero, 11), report(kZero, kZero, 10)}),
         {{true, 0, 0}, {true, 0, 0}}, nullptr},
        {"UnknownStatusIsDroppedAndKeepsTheState",
         join({fullX, report(kZero, kZero, 5), report(kZero, kZero, 0)}),
         {{true, 1024, 0}, {false, 0, 0}}, nullptr},
        {"FiveSyncBytesDropThePacket", join({shortTrailer, fullX}), {{true, 1024, 0}},
         "Invalid packet - nbr sync bytes not 6 0x5"},
        // A stray byte costs the next report (its end falls into the following call); the
        // one after it lines up again.
        {"StrayByteRealigns", join({Bytes{0x77}, fullX, report(k100, k100, 1)}),
         {{true, 3, 2}}, "Invalid packet - nbr sync bytes not 6 0x1"},
        // Six trailer bytes with the end among the first six: the status would lie before
        // the buffer.
        {"StatusBeforeTheBufferIsDropped", join({Bytes{0x3E, 0x3E, 0x3E, 0x3E, 0x3E, 0x0D}, fullX}),
         {{true, 1024, 0}}, "Invalid packet - report of 6 bytes, not 15"},
        // Six trailer bytes and no end within fifteen: no report end at all.
        {"SixSyncBytesWithoutAnEndAreDropped",
         join({Bytes(9, 0x01), Bytes{0x3C, 0x3E, 0x3E, 0x3E, 0x3E, 0x3E}, Bytes{0x0D}, fullX}),
         {{true, 1024, 0}}, "Invalid packet - no end of report within 15 bytes"},
        // A report that lost its first byte has the right status but no position.
        {"ShortReportIsDropped", join({Bytes(fullX.begin() + 1, fullX.end()), report(k100, k100, 1)}),
         {{true, 3, 2}}, "Invalid packet - report of 14 bytes, not 15"},
    };
    LocalInfo::Instance()->setResolution(1024, 768);
    for (const StreamCase& c : cases) {
        SCOPED_TRACE(c.name);
        tp::testkit::LogCapture log;
        tp::testkit::SerialPluginHarness h("NextWindowTouchHandler");
        auto handler = h.create();
        ASSERT_TRUE(handler);
        tp::testkit::ReaderThread reader(*handler);
        h.line().send(c.stream);
        ASSERT_TRUE(h.finish(reader));
        auto reports = h.sink().reports();
        ASSERT_EQ(reports.size(), c.touches.size());
        for (std::size_t i = 0; i < reports.size(); ++i) {
            EXPECT_EQ(reports[i].down, c.touches[i].down) << "touch " << i;
            EXPECT_EQ(reports[i].raw, GfPoint(c.touches[i].x, c.touches[i].y)) << "touch " << i;
        }
        if (c.logged) {
            EXPECT_TRUE(log.contains(c.logged));
            EXPECT_EQ(log.levelOf(c.logged), "Diag");
        }
        // A line that hung up ends the reader instead of spinning on failed reads.
        EXPECT_EQ(reader.results().back(), 0);
        EXPECT_TRUE(h.line().drain(20ms).empty()) << "the handler sent a command";
    }
}

TEST(NextWindowScaling, FollowsTheDisplayResolution)
{
    const Bytes stream = report(kFullScale, kFullScale, 1);
    const struct {
        unsigned short w, h;
    } sizes[] = {{1024, 768}, {1920, 1080}, {800, 480}};
    for (const auto& s : sizes) {
        SCOPED_TRACE(s.w);
        LocalInfo::Instance()->setResolution(s.w, s.h);
        tp::testkit::SerialPluginHarness h("NextWindowTouchHandler");
        auto handler = h.create();
        ASSERT_TRUE(handler);
        tp::testkit::ReaderThread reader(*handler);
        h.line().send(stream);
        ASSERT_TRUE(h.finish(reader));
        ASSERT_EQ(h.sink().count(), 1u);
        EXPECT_EQ(h.sink().reports()[0].raw, GfPoint(s.w, s.h));
    }
    LocalInfo::Instance()->setResolution(1024, 768);
}

TEST(NextWindowScaling, ValuesNoCoordinateHoldsArePinned)
{
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float value;
        std::int32_t expected;
    } cases[] = {
        {32767.0f, 1024},
        {-32767.0f, -1023},  // -1024 + 0.5, truncated toward zero
        {std::nanf(""), 0},
        {inf, std::numeric_limits<std::int32_t>::max()},
        {-inf, std::numeric_limits<std::int32_t>::min()},
        {3.0e38f, std::numeric_limits<std::int32_t>::max()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(nextwindow::scaled(c.value, 1024), c.expected);
    }
}

TEST(NextWindowHandler, OpensAt115200AndLogsItsVersion)
{
    tp::testkit::LogCapture log;
    tp::testkit::SerialPluginHarness h("NextWindowTouchHandler");
    auto handler = h.create();
    ASSERT_TRUE(handler);
    const char* version = "NextWindowTouchHandler: Dynamic Load Version is v1.0";
    EXPECT_EQ(log.levelOf(version), "Diag");
    termios tio{};
    ASSERT_EQ(tcgetattr(handler->descriptor(), &tio), 0);
    EXPECT_EQ(cfgetispeed(&tio), static_cast<speed_t>(B115200));
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (CSTOPB | PARENB | CRTSCTS), 0u);
    EXPECT_EQ(handler->packetLength(), 32);
    EXPECT_EQ(handler->fifth(), 1);
}

TEST(NextWindowHandler, LineChangesReachTheFrameworkAndSendNothing)
{
    const struct {
        int lines, state;
    } cases[] = {{TIOCM_CTS, 1}, {TIOCM_CTS, 0}, {TIOCM_CTS, 2}, {TIOCM_CAR, 1}, {0, 0}};
    tp::testkit::SerialPluginHarness h("NextWindowTouchHandler");
    auto handler = h.create();
    ASSERT_TRUE(handler);
    for (const auto& c : cases) {
        int before = handler->lineChanges();
        handler->lineControlChange(c.lines, c.state);
        EXPECT_EQ(handler->lineChanges(), before + 1);
        EXPECT_EQ(handler->lastLines(), c.lines);
        EXPECT_EQ(handler->lastLineState(), c.state);
    }
    EXPECT_TRUE(h.line().drain(20ms).empty());
    // Reports still come through after the controller came back.
    tp::testkit::ReaderThread reader(*handler);
    h.line().send(report(kFullScale, kZero, 1));
    ASSERT_TRUE(h.finish(reader));
    EXPECT_EQ(h.sink().count(), 1u);
}

// touchhost as a person runs it, with an independent controller script on a pty.
TEST(NextWindowTouchhost, PrintsTheTouchesOfAScript)
{
    tp::sim::PtyLine line;
    auto p = tp::testkit::ChildProcess::start(
        tp::testkit::builtProgram("touchhost"),
        {"--resolution", "1920x1080", "NextWindowTouchHandler", line.slavePath()});
    // The port is ready once touchhost has set it to the controller's speed.
    bool ready = false;
    for (int i = 0; i < 2000 && !ready; ++i) {
        termios tio{};
        ready = tcgetattr(line.masterFd(), &tio) == 0 && cfgetispeed(&tio) == B115200;
        if (!ready)
            std::this_thread::sleep_for(10ms);
    }
    ASSERT_TRUE(ready) << p.stderrText();
    std::this_thread::sleep_for(300ms);
    line.send(join({Bytes{0x13}, report(kFullScale, kZero, 1), report(k12345, k100, 1),
                    report(k12345, k100, 0)}));
    EXPECT_TRUE(line.waitConsumed(20000ms));
    line.hangUp();
    EXPECT_EQ(p.wait(20000ms), 0) << p.stderrText();
    // 12345 / 32767 * 1920 = 723.4, 100 / 32767 * 1080 = 3.3.
    EXPECT_EQ(p.stdoutText(), "down 723 3\nup 723 3\n");
}

// The emulated controller's stroke, as touchhost prints it.
TEST(NextWindowTouchhost, TheEmulatedControllerPlaysItsStroke)
{
    auto p = tp::testkit::ChildProcess::start(tp::testkit::builtProgram("touchhost"),
                                              {"--emulate", "NextWindowTouchHandler"});
    EXPECT_EQ(p.wait(40000ms), 0) << p.stderrText();
    EXPECT_EQ(p.stdoutText(), "down 256 384\ndown 288 396\ndown 320 408\nup 320 408\n");
}

} // namespace
