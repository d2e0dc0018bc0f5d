// The Sanyo plug-in through a pty and the real plug-in file. Controller bytes are written out
// by hand: lead byte (bit 7, bit 1 set = released), x low, x high, y low, y high, seven bits
// each.

#include "contract/ZorlanTouchHandler.h"
#include "serial/PassThroughCommon/testing/Touches.h"
#include "serial/PassThroughCommon/testing/TouchhostRun.h"
#include "sim/testkit/LogCapture.h"
#include "sim/testkit/SerialConformance.h"
#include "sim/testkit/SerialPluginHarness.h"

#include <cstring>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>

using tp::testkit::SerialConformance;
TP_SERIAL_CONFORMANCE(SanyoTouchHandler, tp::testkit::Op::inSync, tp::testkit::Op::inPassPCSync);

namespace {

using tp::sim::Bytes;
using tp::testkit::LogCapture;
using tp::testkit::ReaderThread;
using tp::testkit::SerialPluginHarness;
using namespace std::chrono_literals;

constexpr const char* kPlugin = "SanyoTouchHandler";

TEST(SanyoTouchHandler, StreamsGiveExactlyTheTouchesTheyCarry)
{
    const struct Case {
        const char* name;
        Bytes stream;
        std::vector<passthrough_tests::Touch> touches;
        std::vector<int> readResults;  // the last one after the hang-up
    } cases[] = {
        // x = 0x05 + 128 * 0x01 = 133, y = 0x06 + 128 * 0x02 = 262; 0x01 is no first byte.
        {"StrayFirstByteIsSkipped", {0x01, 0x80, 0x05, 0x01, 0x06, 0x02}, {{true, {133, 262}}}, {1, 0}},
        {"StatusBitMarksARelease", {0x82, 0x05, 0x01, 0x06, 0x02}, {{false, {133, 262}}}, {1, 0}},
        // Other status bits say nothing about the touch.
        {"OtherStatusBitsAreIgnored", {0xFD, 0x7F, 0x7F, 0x00, 0x00}, {{true, {16383, 0}}}, {1, 0}},
        {"DataBytesAreTakenAsTheyCome", {0x80, 0x80, 0x00, 0x81, 0x00}, {{true, {128, 129}}}, {1, 0}},
        {"Stroke",
         {0x80, 0x10, 0x01, 0x20, 0x02, 0x7F, 0x80, 0x11, 0x01, 0x21, 0x02, 0x82, 0x11, 0x01, 0x21, 0x02},
         {{true, {144, 288}}, {true, {145, 289}}, {false, {145, 289}}}, {1, 1, 1, 0}},
        {"PacketCutByHangUpIsNotReported", {0x80, 0x05, 0x01, 0x06}, {}, {0}},
        {"OnlyStrayBytes", {0x00, 0x01, 0x7F}, {}, {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SerialPluginHarness h(kPlugin);
        auto handler = h.create();
        ASSERT_TRUE(handler);
        ReaderThread reader(*handler);
        h.line().send(c.stream);
        ASSERT_TRUE(h.finish(reader));
        passthrough_tests::expectTouches(h.sink().reports(), c.touches);
        EXPECT_EQ(reader.results(), c.readResults);
        EXPECT_TRUE(h.line().drain(20ms).empty()) << "the handler sent something";
    }
}

TEST(SanyoTouchHandler, PortIsSetUpWithHardwareFlowControl)
{
    SerialPluginHarness h(kPlugin);
    auto handler = h.create();
    ASSERT_TRUE(handler);
    termios tio{};
    ASSERT_EQ(tcgetattr(handler->descriptor(), &tio), 0);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_NE(tio.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(tio.c_cflag & (CSTOPB | PARENB), 0u);
    EXPECT_EQ(cfgetispeed(&tio), static_cast<speed_t>(B9600));
    EXPECT_EQ(handler->fifth(), 1);
    EXPECT_FALSE(handler->isTouchDown(nullptr));
}

TEST(SanyoTouchHandler, PassThroughBlocksAreTracedAndKeptWhole)
{
    SerialPluginHarness h(kPlugin);
    auto handler = h.create();
    ASSERT_TRUE(handler);
    const struct Case {
        Bytes block;
        const char* trace;
    } cases[] = {
        {{0x80, 0x05, 0x01, 0x06, 0x02}, "PC nbr bytes = 5 read 0x80 0x5 0x1 0x6 0x2"},
        {{0x01, 0x80, 0x05, 0x01, 0x06, 0x02, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xBB,
          0xCC, 0xDD},
         "PC nbr bytes = 11 read 0x1 0x80 0x5 0x1 0x6"},
        // A short block: what it lacks is not read.
        {{0xC1, 0x02}, "PC nbr bytes = 2 read 0xC1 0x2 0x0 0x0 0x0"},
        {{}, "PC nbr bytes = 0 read 0x0 0x0 0x0 0x0 0x0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.trace);
        // The block sits at the end of a larger buffer, so reading past it would be seen by
        // the address checker.
        std::vector<unsigned char> block(c.block.begin(), c.block.end());
        Bytes before(c.block);
        LogCapture log;
        EXPECT_EQ(handler->inPassPCSync(block.data(), static_cast<int>(block.size())),
                  static_cast<int>(block.size()));
        EXPECT_EQ(Bytes(block.begin(), block.end()), before);
        ASSERT_EQ(log.messages().size(), 1u);
        EXPECT_NE(log.messages()[0].find(std::string("SanyoTouchHandler: ") + c.trace),
                  std::string::npos)
            << log.messages()[0];
        EXPECT_EQ(log.levelOf("PC nbr bytes"), "Diag");
    }
    EXPECT_EQ(handler->inPassPCSync(nullptr, 0), 0);
}

TEST(SanyoTouchHandler, PassThroughAttachReportsWhetherThePcPortOpened)
{
    SerialPluginHarness h(kPlugin);
    auto handler = h.create();
    ASSERT_TRUE(handler);
    EXPECT_EQ(handler->attachPassThrough("/nonexistent/ttyGS0"), 0);
    EXPECT_EQ(handler->passThroughDescriptor(), -1);
    tp::sim::PtyLine pc;
    EXPECT_EQ(handler->attachPassThrough(pc.slavePath().c_str()), 1);
    EXPECT_GT(handler->passThroughDescriptor(), 0);

    // Packets are framed the same with a PC attached.
    ReaderThread reader(*handler);
    h.line().send({0x01, 0x80, 0x05, 0x01, 0x06, 0x02});
    ASSERT_TRUE(h.sink().waitFor(1, 2000));
    EXPECT_EQ(h.sink().reports()[0].raw, GfPoint(133, 262));
    EXPECT_EQ(handler->detachPassThrough(), 1);
    EXPECT_EQ(handler->passThroughDescriptor(), -1);
    ASSERT_TRUE(h.finish(reader));
}

TEST(SanyoTouchHandler, ControllerPresenceFollowsClearToSend)
{
    SerialPluginHarness h(kPlugin);
    auto handler = h.create();
    ASSERT_TRUE(handler);
    const struct {
        int lines;
        bool present;
    } cases[] = {
        {TIOCM_CTS, true}, {TIOCM_CTS | TIOCM_CAR, true}, {TIOCM_CAR | TIOCM_DSR | TIOCM_RNG, false}, {0, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(handler->controllerIsPresent(c.lines), c.present) << "lines " << c.lines;
    handler->lineControlChange(TIOCM_CTS, 1);
    EXPECT_EQ(handler->lineChanges(), 1);
    EXPECT_EQ(handler->lastLines(), TIOCM_CTS);
    EXPECT_TRUE(h.line().drain(20ms).empty());
}

TEST(SanyoTouchHandler, TouchhostPrintsTheTouchesOfAControllerScript)
{
    tp::sim::PtyLine line;
    auto p = passthrough_tests::startTouchhost(kPlugin, line);
    line.send(Bytes{0x13, 0x37, 0x80, 0x68, 0x07, 0x30, 0x09, 0x80, 0x4C, 0x08, 0x14, 0x0A,
                    0x82, 0x4C, 0x08, 0x14, 0x0A});
    EXPECT_TRUE(line.waitConsumed(20000ms));
    line.hangUp();
    EXPECT_EQ(p.wait(20000ms), 0) << p.stderrText();
    EXPECT_EQ(p.stdoutText(), "down 1000 1200\ndown 1100 1300\nup 1100 1300\n");
}

} // namespace
