// The SMART plug-in through a pty, the line interposer and the real plug-in file. Frames are
// written out by hand; sc6 frames carry the sum of bytes 1..4 in bytes 0 (low) and 5 (high).
//
// The handler's pauses (select on no descriptors) are taken over here: each is recorded and
// returns at once, so the two-second RTS pulse train costs nothing and can be checked exactly.

#include "contract/ZorlanTouchHandler.h"
#include "serial/PassThroughCommon/testing/Touches.h"
#include "serial/PassThroughCommon/testing/TouchhostRun.h"
#include "serial/SmartTechTouchHandler/SmartTechProtocol.h"
#include "sim/testkit/LineInterposer.h"
#include "sim/testkit/LogCapture.h"
#include "sim/testkit/SerialConformance.h"
#include "sim/testkit/SerialPluginHarness.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/ioctl.h>
#include <sys/select.h>
#include <termios.h>

namespace {
std::mutex g_pauseLock;
std::vector<long> g_pausesMs;
} // namespace

extern "C" int select(int nfds, fd_set* __restrict r, fd_set* __restrict w, fd_set* __restrict e,
                      struct timeval* __restrict tv)
{
    if (nfds == 0 && !r && !w && !e && tv) {
        std::lock_guard<std::mutex> g(g_pauseLock);
        g_pausesMs.push_back(static_cast<long>(tv->tv_sec) * 1000 + tv->tv_usec / 1000);
        return 0;
    }
    using Real = int (*)(int, fd_set*, fd_set*, fd_set*, struct timeval*);
    static const Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "select"));
    return real(nfds, r, w, e, tv);
}

using tp::testkit::SerialConformance;
TP_SERIAL_CONFORMANCE(SmartTechTouchHandler, tp::testkit::Op::inPassPCSync);

namespace {

using tp::sim::Bytes;
using tp::testkit::LineInterposer;
using tp::testkit::LogCapture;
using tp::testkit::ReaderThread;
using tp::testkit::SerialPluginHarness;
using namespace std::chrono_literals;

constexpr const char* kPlugin = "SmartTechTouchHandler";

const Bytes kSc6Command = {0x1C, 0x18, 0x00, 0x00, 0x04, 0x00};
const Bytes kSc4Command = {0x55, 0xAA, 0x20, 0x00, 0x00, 0x03};
const Bytes kStatusReply = {0x14, 0x14, 0x00, 0x00, 0x00, 0x00};
const Bytes kSc6Answer = {0x18, 0x18, 0x00, 0x00, 0x00, 0x00};  // a valid frame, not a report
const Bytes kTouch = {0x41, 0x11, 0x10, 0x20, 0x00, 0x00};       // x 16, y 32
const Bytes kTouchHigh = {0x62, 0x11, 0x10, 0x20, 0x21, 0x00};   // x 272, y 544
const Bytes kBadTouch = {0x40, 0x11, 0x10, 0x20, 0x00, 0x00};
const Bytes kStatusIdle = {0xA4, 0xA4, 0x00, 0x00, 0x00, 0x00};
const Bytes kStatusTouched = {0x24, 0xA4, 0x80, 0x00, 0x00, 0x01};
// Six plus eleven bytes in which no six line up as a frame of either protocol.
const Bytes kNeverLinesUp(17, 0xFF);
// An sc4 stream, cut to the bytes one failed sc6 hunt takes: no sc6 frame in it.
const Bytes kSc4Stream = {0x55, 0xAA, 0x20, 0x00, 0x00, 0x03, 0x55, 0xAA, 0x20,
                          0x00, 0x00, 0x03, 0x55, 0xAA, 0x20, 0x00, 0x00};

Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

std::vector<long> takePauses()
{
    std::lock_guard<std::mutex> g(g_pauseLock);
    std::vector<long> p;
    p.swap(g_pausesMs);
    return p;
}

struct ModemSummary {
    int dtrDrops = 0;
    std::vector<unsigned long> rts;  // TIOCMBIC / TIOCMBIS on RTS, in order
};

ModemSummary modem(const std::string& device)
{
    ModemSummary s;
    for (const auto& c : LineInterposer::modemCalls(device)) {
        if (c.request == TIOCMBIC && c.bits == TIOCM_DTR)
            ++s.dtrDrops;
        if ((c.request == TIOCMBIC || c.request == TIOCMBIS) && c.bits == TIOCM_RTS)
            s.rts.push_back(c.request);
    }
    return s;
}

std::vector<unsigned long> pulseTrain()
{
    std::vector<unsigned long> t;
    for (int i = 0; i < 5; ++i) {
        t.push_back(TIOCMBIC);
        t.push_back(TIOCMBIS);
    }
    return t;
}

TEST(SmartTechProtocol, FramesOfBothProtocols)
{
    EXPECT_TRUE(smarttech::frameValid(kTouch.data(), smarttech::kSc6));
    EXPECT_TRUE(smarttech::frameValid(kTouchHigh.data(), smarttech::kSc6));
    EXPECT_FALSE(smarttech::frameValid(kBadTouch.data(), smarttech::kSc6));
    EXPECT_TRUE(smarttech::frameValid(kSc6Command.data(), smarttech::kSc6));
    EXPECT_TRUE(smarttech::frameValid(kStatusReply.data(), smarttech::kSc6));
    EXPECT_TRUE(smarttech::frameValid(kSc4Command.data(), smarttech::kSc4));
    EXPECT_FALSE(smarttech::frameValid(kSc4Command.data(), smarttech::kSc6));
    EXPECT_FALSE(smarttech::frameValid(kTouch.data(), smarttech::kSc4));
    EXPECT_FALSE(smarttech::frameValid(kTouch.data(), smarttech::kUnknown));
    EXPECT_EQ(smarttech::position(kTouch.data()), GfPoint(16, 32));
    EXPECT_EQ(smarttech::position(kTouchHigh.data()), GfPoint(272, 544));
}

// A handler on an sc6 controller, past its first mode switch.
struct Synced {
    SerialPluginHarness h{kPlugin};
    host::SerialHandlerPtr handler = h.create();
    std::unique_ptr<ReaderThread> reader;

    Synced()
    {
        if (!handler)
            return;
        takePauses();
        reader = std::make_unique<ReaderThread>(*handler);
        EXPECT_EQ(h.line().receiveExactly(6, 5000ms), kSc6Command);
        h.line().send(kSc6Answer);
    }
};

TEST(SmartTechTouchHandler, FramesGiveTheirTouchesAndStatusReplies)
{
    const struct Case {
        const char* name;
        Bytes stream;
        std::vector<passthrough_tests::Touch> touches;
        int replies;
    } cases[] = {
        {"TouchReport", kTouch, {{true, {16, 32}}}, 0},
        {"HighBitsOfBothCoordinates", kTouchHigh, {{true, {272, 544}}}, 0},
        {"BadChecksumIsShiftedOut", join({kBadTouch, kTouchHigh}), {{true, {272, 544}}}, 0},
        {"StatusClearAfterATouchReplaysItAsARelease", join({kTouchHigh, kTouch, kStatusIdle}),
         {{true, {272, 544}}, {true, {16, 32}}, {false, {16, 32}}}, 1},
        {"StatusTouchedWhileNotTouchingReportsNothing", kStatusTouched, {}, 1},
        {"StatusTouchedKeepsTheTouch", join({kTouch, kStatusTouched, kStatusIdle}),
         {{true, {16, 32}}, {false, {16, 32}}}, 2},
        {"OtherFrameTypesAreIgnored", join({kSc6Answer, kSc6Command}), {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Synced s;
        ASSERT_TRUE(s.handler);
        s.h.line().send(c.stream);
        ASSERT_TRUE(s.h.line().waitConsumed());
        Bytes replies;
        for (int i = 0; i < c.replies; ++i)
            replies.insert(replies.end(), kStatusReply.begin(), kStatusReply.end());
        EXPECT_EQ(s.h.line().drain(50ms), replies);
        EXPECT_EQ(modem(s.h.device()).dtrDrops, 1) << "synchronisation was lost";
        ASSERT_TRUE(s.h.finish(*s.reader));
        passthrough_tests::expectTouches(s.h.sink().reports(), c.touches);
    }
}

TEST(SmartTechTouchHandler, Sc6ControllerIsFoundWithTheRtsPulseTrain)
{
    LogCapture log;
    Synced s;
    ASSERT_TRUE(s.handler);
    s.h.line().send(kTouch);
    ASSERT_TRUE(s.h.sink().waitFor(1, 2000));
    const ModemSummary m = modem(s.h.device());
    EXPECT_EQ(m.dtrDrops, 1);
    EXPECT_EQ(m.rts, pulseTrain());
    EXPECT_EQ(takePauses(), std::vector<long>(10, 200));
    const auto settings = LineInterposer::settings(s.h.device());
    ASSERT_FALSE(settings.empty());
    EXPECT_EQ(settings.back().action, TCSANOW);
    EXPECT_EQ(settings.back().tio.c_cflag & ~static_cast<tcflag_t>(CBAUD),
              static_cast<tcflag_t>(CS8 | CREAD | CLOCAL));
    EXPECT_EQ(settings.back().inputSpeed(), static_cast<speed_t>(B9600));
    for (const char* text : {"SmartTechTouchHandler: Dynamic Load Version is v1.2",
                             "SmartTechTouchHandler: Dropping DTR", "SmartTechTouchHandler: Dropping RTS",
                             "SmartTechTouchHandler: Raising RTS", "SmartTechTouchHandler:Write 8n1 command"})
        EXPECT_EQ(log.levelOf(text), "Diag") << text;
    EXPECT_EQ(log.count("SmartTechTouchHandler: Dropping RTS"), 5u);

    // Lost frames: the controller is put in sc6 mode again, never tried with sc4.
    s.h.line().send(kNeverLinesUp);
    EXPECT_EQ(s.h.line().receiveExactly(6, 5000ms), kSc6Command);
    EXPECT_EQ(log.levelOf("SmartTechTouchHandler: Invalid Check Sum 0xFF 0xFF 0xFF 0xFF 0xFF 0xFF "),
              "Diag");
    s.h.line().send(join({kSc6Answer, kTouchHigh}));
    ASSERT_TRUE(s.h.sink().waitFor(2, 2000));
    EXPECT_EQ(modem(s.h.device()).dtrDrops, 2);
    EXPECT_TRUE(s.h.line().drain(50ms).empty());
    ASSERT_TRUE(s.h.finish(*s.reader));
    EXPECT_EQ(s.h.sink().reports().back().raw, GfPoint(272, 544));
}

TEST(SmartTechTouchHandler, Sc4ControllerIsFoundAfterSc6FailsAndKept)
{
    LogCapture log;
    SerialPluginHarness h(kPlugin);
    auto handler = h.create();
    ASSERT_TRUE(handler);
    ReaderThread reader(*handler);
    EXPECT_EQ(h.line().receiveExactly(6, 5000ms), kSc6Command);
    h.line().send(kSc4Stream);
    EXPECT_EQ(h.line().receiveExactly(6, 5000ms), kSc4Command);
    const auto settings = LineInterposer::settings(h.device());
    ASSERT_FALSE(settings.empty());
    EXPECT_EQ(settings.back().tio.c_cflag & ~static_cast<tcflag_t>(CBAUD),
              static_cast<tcflag_t>(CS8 | CSTOPB | CREAD | PARENB | PARODD | CLOCAL));
    EXPECT_EQ(settings.back().action, TCSANOW);
    takePauses();
    // sc4 frames are accepted but carry nothing this handler reports.
    h.line().send(join({kSc4Command, kSc4Command}));
    ASSERT_TRUE(h.line().waitConsumed());
    // Lost frames: sc4 again, without sc6 and without pulses.
    h.line().send(kNeverLinesUp);
    EXPECT_EQ(h.line().receiveExactly(6, 5000ms), kSc4Command);
    h.line().send(kSc4Command);
    ASSERT_TRUE(h.line().waitConsumed());
    EXPECT_TRUE(takePauses().empty());
    EXPECT_EQ(modem(h.device()).dtrDrops, 2);
    EXPECT_EQ(modem(h.device()).rts, pulseTrain());
    ASSERT_TRUE(h.finish(reader));
    EXPECT_EQ(h.sink().count(), 0u);
    EXPECT_EQ(log.levelOf("SmartTechTouchHandler:Write 8n2 command"), "Diag");
    EXPECT_FALSE(log.contains("modes = 0"));
}

TEST(SmartTechTouchHandler, ControllerAnsweringNeitherIsTriedAgain)
{
    LogCapture log;
    SerialPluginHarness h(kPlugin);
    auto handler = h.create();
    ASSERT_TRUE(handler);
    ReaderThread reader(*handler);
    EXPECT_EQ(h.line().receiveExactly(6, 5000ms), kSc6Command);
    h.line().send(kNeverLinesUp);
    EXPECT_EQ(h.line().receiveExactly(6, 5000ms), kSc4Command);
    h.line().send(kNeverLinesUp);
    // The next readData starts again from the top.
    EXPECT_EQ(h.line().receiveExactly(6, 5000ms), kSc6Command);
    EXPECT_EQ(log.count("SmartTechTouchHandler: sc4 and sc6 modes = 0"), 1u);
    EXPECT_EQ(log.levelOf("SmartTechTouchHandler: sc4 and sc6 modes = 0"), "Diag");
    EXPECT_EQ(modem(h.device()).dtrDrops, 2);
    h.line().send(join({kSc6Answer, kTouch}));
    ASSERT_TRUE(h.finish(reader));
    ASSERT_EQ(h.sink().count(), 1u);
    EXPECT_EQ(reader.results().front(), 1);
    EXPECT_EQ(reader.results().back(), 0);
}

TEST(SmartTechTouchHandler, ALineThatEndsEndsReadingWithoutReplayingOldFrames)
{
    LogCapture log;
    Synced s;
    ASSERT_TRUE(s.handler);
    s.h.line().send(join({kTouch, Bytes(kTouch.begin(), kTouch.begin() + 3)}));
    ASSERT_TRUE(s.h.finish(*s.reader));
    EXPECT_EQ(s.h.sink().count(), 1u) << "an old frame was taken for a new one";
    EXPECT_EQ(s.reader->results(), (std::vector<int>{1, 0}));
    EXPECT_EQ(log.levelOf("SmartTechTouchHandler error opening serial port: "), "WARN");
}

TEST(SmartTechTouchHandler, FailedModemLineCallsAreLogged)
{
    LogCapture log;
    SerialPluginHarness h(kPlugin);
    auto handler = h.create();
    ASSERT_TRUE(handler);
    LineInterposer::unregisterDevice(h.device());  // a pty has no modem lines of its own
    ReaderThread reader(*handler);
    EXPECT_EQ(h.line().receiveExactly(6, 5000ms), kSc6Command);
    h.line().send(join({kSc6Answer, kTouch}));
    ASSERT_TRUE(h.finish(reader));
    EXPECT_EQ(h.sink().count(), 1u);
    EXPECT_EQ(log.levelOf("SmartTechTouchHandler IOCTL error: "), "WARN");
    EXPECT_EQ(log.count("SmartTechTouchHandler: ioctl error "), 10u);
    EXPECT_EQ(log.levelOf("SmartTechTouchHandler: ioctl error "), "WARN");
}

TEST(SmartTechTouchHandler, PassThroughBlocksAreRepaired)
{
    Synced s;
    ASSERT_TRUE(s.handler);
    s.h.line().send(kTouch);
    ASSERT_TRUE(s.h.sink().waitFor(1, 2000));  // sc6 from now on
    const struct Case {
        const char* name;
        Bytes block;
        int left;
        Bytes front;
        std::size_t fixUps, dataLines;
    } cases[] = {
        {"ThreeNoiseBytes", join({{0x01, 0x02, 0x03}, kTouch}), 6, kTouch, 3, 9},
        {"SixInvalidBytes", kBadTouch, 0, {}, 0, 6},
        {"ShortBlockUnchanged", {0x01, 0x02, 0x03, 0x04}, 4, {0x01, 0x02, 0x03, 0x04}, 0, 0},
        {"AlignedBlockUnchanged", join({kTouch, {0x77}}), 7, join({kTouch, {0x77}}), 0, 0},
        {"NoFrameAnywhere", Bytes(20, 0xFF), 0, {}, 14, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture log;
        std::vector<unsigned char> block(c.block.begin(), c.block.end());
        const int left = s.handler->inPassPCSync(block.data(), static_cast<int>(block.size()));
        EXPECT_EQ(left, c.left);
        EXPECT_EQ(Bytes(block.begin(), block.begin() + left), c.front);
        EXPECT_EQ(log.count("SmartTechTouchHandler: Invalid PC fix-up, nbr bytes = "), c.fixUps);
        EXPECT_EQ(log.count("SmartTechTouchHandler: Invalid PC Data = "), c.dataLines);
    }
    LogCapture log;
    std::vector<unsigned char> block = {0x01, 0x02, 0x03, 0x41, 0x11, 0x10, 0x20, 0x00, 0x00};
    s.handler->inPassPCSync(block.data(), 9);
    EXPECT_TRUE(log.contains("SmartTechTouchHandler: Invalid PC sync n = 9"));
    EXPECT_TRUE(log.contains("SmartTechTouchHandler: Invalid PC fix-up, nbr bytes = 6 read 0x41 0x11 "
                             "0x10 0x20 0x0 0x0 "));
    ASSERT_TRUE(s.h.finish(*s.reader));
}

TEST(SmartTechTouchHandler, BlocksFindNoFrameBeforeTheProtocolIsKnown)
{
    SerialPluginHarness h(kPlugin);
    auto handler = h.create();
    ASSERT_TRUE(handler);
    std::vector<unsigned char> block(kTouch.begin(), kTouch.end());
    EXPECT_EQ(handler->inPassPCSync(block.data(), 6), 0);
    EXPECT_TRUE(handler->controllerIsPresent(TIOCM_CTS | TIOCM_CAR));
    EXPECT_FALSE(handler->controllerIsPresent(TIOCM_CAR | TIOCM_DSR));
}

TEST(SmartTechTouchHandler, TouchhostPrintsTheTouchesOfAControllerScript)
{
    // The real program pauses for real: the pulse train takes its two seconds.
    tp::sim::PtyLine line;
    auto p = passthrough_tests::startTouchhost(kPlugin, line);
    EXPECT_EQ(line.receiveExactly(6, 20000ms), kSc6Command) << p.stderrText();
    line.send(join({kSc6Answer, {0x13}, kTouchHigh, kTouch, kStatusIdle}));
    EXPECT_EQ(line.receiveExactly(6, 20000ms), kStatusReply);
    EXPECT_TRUE(line.waitConsumed(20000ms));
    line.hangUp();
    EXPECT_EQ(p.wait(20000ms), 0) << p.stderrText();
    EXPECT_EQ(p.stdoutText(), "down 272 544\ndown 16 32\nup 16 32\n");
}

} // namespace
