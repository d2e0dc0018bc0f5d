// The Magnus plug-in through a pty and the real plug-in file, and its frame functions.
// Frames are written out by hand: header (length in both nibbles), type, data, XOR checksum.

#include "contract/ZorlanTouchHandler.h"
#include "serial/MagnusTouchHandler/MagnusProtocol.h"
#include "serial/PassThroughCommon/testing/Touches.h"
#include "serial/PassThroughCommon/testing/TouchhostRun.h"
#include "sim/testkit/LineInterposer.h"
#include "sim/testkit/LogCapture.h"
#include "sim/testkit/SerialConformance.h"
#include "sim/testkit/SerialPluginHarness.h"

#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>

using tp::testkit::SerialConformance;
TP_SERIAL_CONFORMANCE(MagnusTouchHandler, tp::testkit::Op::inPassPCSync);

namespace {

using tp::sim::Bytes;
using tp::testkit::LineInterposer;
using tp::testkit::LogCapture;
using tp::testkit::ReaderThread;
using tp::testkit::SerialPluginHarness;
using namespace std::chrono_literals;

constexpr const char* kPlugin = "MagnusTouchHandler";

const Bytes kStatusIdle = {0xD2, 0x00, 0x00, 0x00, 0xD2};
const Bytes kStatusTouched = {0xD2, 0x00, 0x00, 0x01, 0xD3};
const Bytes kDataDone = {0xE1, 0x02, 0x00, 0xE3};      // bit 3 clear: set-up complete
const Bytes kDataWantsMore = {0xE1, 0x02, 0x08, 0xEB};  // bit 3 set: send new data
// Touch at x = 0x134, y = 0x256; the same place lifted; a touch at x = 0x201, y = 0x3FF.
const Bytes kTouch = {0xB4, 0x04, 0x80, 0x34, 0x12, 0x56, 0x40};
const Bytes kLifted = {0xB4, 0x04, 0x00, 0x34, 0x12, 0x56, 0xC0};
const Bytes kTouchB = {0xB4, 0x04, 0x80, 0x01, 0x23, 0xFF, 0xED};
const Bytes kMessage = {0xE1, 0x03, 0x41, 0xA3};
const Bytes kAck = {0xE1, 0x00, 0x01, 0xE0};
const Bytes kRawDataCommand = {0xF0, 0x02, 0xF2};
const Bytes kNewDataCommand = {0xD2, 0x02, 0x08, 0x00, 0xD8};

Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

Bytes repeat(const Bytes& b, int times)
{
    Bytes all;
    for (int i = 0; i < times; ++i)
        all.insert(all.end(), b.begin(), b.end());
    return all;
}

Bytes withChecksum(Bytes f, std::uint8_t c)
{
    f.back() = c;
    return f;
}

int dtrDrops(const std::string& device)
{
    int n = 0;
    for (const auto& c : LineInterposer::modemCalls(device))
        n += c.request == TIOCMBIC && (c.bits & TIOCM_DTR) != 0;
    return n;
}

TEST(MagnusProtocol, HeadersCarryTheLengthInBothNibbles)
{
    const struct {
        unsigned char header;
        bool valid;
        int size;
    } cases[] = {
        {0xF0, true, 3}, {0xE1, true, 4}, {0xD2, true, 5}, {0x1E, true, 17},
        {0x0F, false, 0}, {0xF1, false, 0}, {0x00, false, 0}, {0xFF, false, 0}, {0xE2, false, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(magnus::validHeader(c.header), c.valid) << std::hex << int(c.header);
        if (c.valid) {
            EXPECT_EQ(magnus::frameSize(c.header), c.size) << std::hex << int(c.header);
        }
    }
    for (const Bytes& f : {kAck, kRawDataCommand, kNewDataCommand, kTouch, kLifted, kStatusIdle})
        EXPECT_TRUE(magnus::checksumValid(f.data()));
    EXPECT_FALSE(magnus::checksumValid(withChecksum(kTouch, 0x41).data()));
    EXPECT_EQ(magnus::position(kTouch.data()), GfPoint(0x134, 0x256));
}

TEST(MagnusProtocol, PassThroughBlocksAreCutToTheirFirstWholeFrame)
{
    const struct {
        const char* name;
        Bytes block;
        int left;
        Bytes front;
    } cases[] = {
        {"TwoNoiseBytes", join({{0x13, 0x37}, kAck}), 4, kAck},
        {"AlignedBlockUnchanged", join({kAck, {0x99}}), 5, join({kAck, {0x99}})},
        {"OnlyNoise", {0x00, 0x11, 0x22, 0x33, 0x44}, 0, {}},
        {"FrameCutByTheBlockEnd", join({{0x00}, Bytes(kTouch.begin(), kTouch.end() - 1)}), 0, {}},
        {"HeaderAnnouncingMoreThanTheBlock", {0x1E, 0x04, 0x00}, 0, {}},
        {"BadChecksumThenFrame", join({withChecksum(kAck, 0x00), kAck}), 4, kAck},
        {"Empty", {}, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<unsigned char> block(c.block.begin(), c.block.end());
        const int left = magnus::repairBlock(block.data(), static_cast<int>(block.size()));
        EXPECT_EQ(left, c.left);
        EXPECT_EQ(Bytes(block.begin(), block.begin() + left), c.front);
    }
    EXPECT_EQ(magnus::repairBlock(nullptr, 4), 0);
}

// A handler whose start-up dialogue has run: the controller's first touch-status frame has
// been answered with the raw-data command and its controller-data frame completed it.
struct Started {
    SerialPluginHarness h{kPlugin};
    host::SerialHandlerPtr handler = h.create();
    std::unique_ptr<ReaderThread> reader;

    Started()
    {
        if (!handler)
            return;
        reader = std::make_unique<ReaderThread>(*handler);
        h.line().send(kStatusIdle);
        EXPECT_EQ(h.line().receiveExactly(3, 2000ms), kRawDataCommand);
        h.line().send(kDataDone);
    }
};

TEST(MagnusTouchHandler, FramesAfterStartUpGiveTheirTouchesAndAcknowledgements)
{
    const struct Case {
        const char* name;
        Bytes stream;
        std::vector<passthrough_tests::Touch> touches;
        int acks;
    } cases[] = {
        {"CoordinateFrameIsATouch", kTouch, {{true, {0x134, 0x256}}}, 0},
        {"CoordinateFrameWithoutTouchBitIsARelease", kLifted, {{false, {0x134, 0x256}}}, 0},
        {"StatusClearAfterATouchReplaysItAsARelease", join({kTouchB, kTouch, kStatusIdle}),
         {{true, {0x201, 0x3FF}}, {true, {0x134, 0x256}}, {false, {0x134, 0x256}}}, 1},
        {"StatusSetWhileNotTouchingReportsNothing", join({kStatusTouched, kStatusTouched}), {}, 2},
        {"StatusAfterARelease", join({kTouch, kLifted, kStatusIdle}),
         {{true, {0x134, 0x256}}, {false, {0x134, 0x256}}}, 1},
        {"BadChecksumIsDropped", join({withChecksum(kTouchB, 0x00), kTouch}), {{true, {0x134, 0x256}}}, 0},
        {"InvalidHeadersAreReadOver", join({{0x0F, 0xF1, 0x00}, kTouch}), {{true, {0x134, 0x256}}}, 0},
        {"MessagesAreOnlyLogged", join({kMessage, kDataWantsMore, {0xF0, 0x77, 0x87}}), {}, 0},
        // Too short to hold a touch state or a position: not read as one.
        {"ShortStatusFrameIsNoStatus", join({kTouch, {0xF0, 0x00, 0xF0}}), {{true, {0x134, 0x256}}}, 0},
        {"ShortCoordinateFrameIsNoTouch", {0xE1, 0x04, 0x80, 0x65}, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Started s;
        ASSERT_TRUE(s.handler);
        s.h.line().send(c.stream);
        ASSERT_TRUE(s.h.line().waitConsumed());
        EXPECT_EQ(s.h.line().drain(50ms), repeat(kAck, c.acks));
        EXPECT_EQ(dtrDrops(s.h.device()), 1) << "the dialogue ran again";
        ASSERT_TRUE(s.h.finish(*s.reader));
        passthrough_tests::expectTouches(s.h.sink().reports(), c.touches);
    }
}

TEST(MagnusTouchHandler, StartUpDialogue)
{
    const struct Case {
        const char* name;
        Bytes controller;  // sent at once
        Bytes sent;        // what the handler answers
        int dtrDropsAfterOneMoreFrame;
    } cases[] = {
        {"StatusThenDataCompletes", join({kStatusIdle, kDataDone}), kRawDataCommand, 1},
        {"DataAtOnceCompletes", kDataDone, {}, 1},
        {"NewDataIsSentWhileAsked", join({kStatusIdle, kDataWantsMore, kDataWantsMore, kDataDone}),
         join({kRawDataCommand, kNewDataCommand, kNewDataCommand}), 1},
        // Four controller-data frames end the run unfinished; the next read starts it again.
        {"FourRequestsEndUnfinished", repeat(kDataWantsMore, 4), repeat(kNewDataCommand, 3), 2},
        // Any other first frame ends the run at once.
        {"OtherFirstFrameEndsTheRun", kTouch, {}, 2},
        {"StartMessageFirstEndsTheRun", {0xE1, 0x80, 0x07, 0x66}, {}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SerialPluginHarness h(kPlugin);
        auto handler = h.create();
        ASSERT_TRUE(handler);
        ReaderThread reader(*handler);
        h.line().send(c.controller);
        ASSERT_TRUE(h.line().waitConsumed());
        // One frame for the reading that follows the dialogue, one for the next call.
        h.line().send(join({kMessage, kMessage}));
        ASSERT_TRUE(h.line().waitConsumed());
        EXPECT_EQ(h.line().drain(50ms), c.sent);
        EXPECT_EQ(dtrDrops(h.device()), c.dtrDropsAfterOneMoreFrame);
        ASSERT_TRUE(h.finish(reader));
    }
}

TEST(MagnusTouchHandler, DialogueLogsItsSteps)
{
    LogCapture log;
    Started s;
    ASSERT_TRUE(s.handler);
    ASSERT_TRUE(s.h.finish(*s.reader));
    const char* diag[] = {
        "MagnusTouchHandler: Dynamic Load Version is v1.0",
        "MagnusTouchHandler: Dropping DTR",
        "MagnusTouchHandler: Raw Device Data Cmd Write Okay",
        "MagnusTouchHandler:Init Raw read data 0xe1",
    };
    for (const char* text : diag)
        EXPECT_EQ(log.levelOf(text), "Diag") << text;
    EXPECT_EQ(log.count("MagnusTouchHandler:Init Raw read data 0x"), 4u);
}

TEST(MagnusTouchHandler, ALineThatFailsDuringTheDialogueEndsReading)
{
    // The controller asked for raw data, then the line went: the dialogue must give up
    // rather than ask the dead line for frames for ever.
    LogCapture log;
    SerialPluginHarness h(kPlugin);
    auto handler = h.create();
    ASSERT_TRUE(handler);
    ReaderThread reader(*handler);
    h.line().send(kStatusIdle);
    EXPECT_EQ(h.line().receiveExactly(3, 2000ms), kRawDataCommand);
    h.line().hangUp();
    ASSERT_TRUE(reader.join(5000ms));
    EXPECT_EQ(reader.results(), std::vector<int>{0});
    EXPECT_TRUE(log.contains("Start Invalid check sum"));
}

TEST(MagnusTouchHandler, PortAndPresence)
{
    SerialPluginHarness h(kPlugin);
    auto handler = h.create();
    ASSERT_TRUE(handler);
    termios tio{};
    ASSERT_EQ(tcgetattr(handler->descriptor(), &tio), 0);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (CSTOPB | PARENB | CRTSCTS), 0u);
    EXPECT_EQ(cfgetispeed(&tio), static_cast<speed_t>(B19200));
    EXPECT_TRUE(handler->controllerIsPresent(TIOCM_CTS));
    EXPECT_FALSE(handler->controllerIsPresent(TIOCM_CAR | TIOCM_DSR));
    std::vector<unsigned char> block = {0x13, 0x37, 0xE1, 0x00, 0x01, 0xE0};
    EXPECT_EQ(handler->inPassPCSync(block.data(), 6), 4);
    EXPECT_EQ(Bytes(block.begin(), block.begin() + 4), kAck);
}

TEST(MagnusTouchHandler, TouchhostPrintsTheTouchesOfAControllerScript)
{
    tp::sim::PtyLine line;
    auto p = passthrough_tests::startTouchhost(kPlugin, line);
    line.send(kStatusIdle);
    EXPECT_EQ(line.receiveExactly(3, 20000ms), kRawDataCommand) << p.stderrText();
    line.send(join({kDataDone, {0x00, 0x42}, kTouchB, kTouch, kStatusIdle}));
    EXPECT_TRUE(line.waitConsumed(20000ms));
    EXPECT_EQ(line.receiveExactly(4, 20000ms), kAck);
    line.hangUp();
    EXPECT_EQ(p.wait(20000ms), 0) << p.stderrText();
    EXPECT_EQ(p.stdoutText(), "down 513 1023\ndown 308 598\nup 308 598\n");
}

} // namespace
