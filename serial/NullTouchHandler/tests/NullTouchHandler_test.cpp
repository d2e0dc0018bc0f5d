// The handler of a port without a touch controller: whatever the port carries, nothing is
// reported; the port runs at the panel's configured speed and moves with changeBaud.

#include "contract/LocalInfo.h"
#include "contract/ZorlanTouchHandler.h"
#include "sim/testkit/ChildProcess.h"
#include "sim/testkit/LineInterposer.h"
#include "sim/testkit/SerialConformance.h"
#include "sim/testkit/SerialPluginHarness.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

using tp::testkit::Op;
using tp::testkit::SerialConformance;
TP_SERIAL_CONFORMANCE(NullTouchHandler, Op::changeBaud);

namespace {

using tp::sim::Bytes;
using tp::testkit::LineInterposer;
using namespace std::chrono_literals;

TEST(NullHandler, ReportsNothingWhateverThePortCarries)
{
    const Bytes streams[] = {
        {},
        {0x55, 'T', 0x00, 0x34, 0x12, 0x78, 0x56, 0x00, 0x00, 0x67},  // an Elo touch
        Bytes(4096, 0xC0),
        {0x01, 0x02, 0x03},  // less than a packet before the hang-up
    };
    for (const Bytes& stream : streams) {
        SCOPED_TRACE(stream.size());
        tp::testkit::SerialPluginHarness h("NullTouchHandler");
        auto handler = h.create();
        ASSERT_TRUE(handler);
        tp::testkit::ReaderThread reader(*handler);
        h.line().send(stream);
        ASSERT_TRUE(h.finish(reader));
        EXPECT_EQ(h.sink().count(), 0u);
        EXPECT_EQ(reader.results().size(), stream.size() / 4 + 1) << "one call per 4-byte packet";
        EXPECT_TRUE(h.line().drain(20ms).empty());
    }
}

TEST(NullHandler, OpensThePortAtTheConfiguredSpeedWithFlowControl)
{
    const struct {
        unsigned int bps;
        speed_t code;
    } cases[] = {{9600, B9600}, {19200, B19200}, {115200, B115200}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bps);
        LocalInfo::Instance()->setBaudRateBps(c.bps);
        tp::testkit::SerialPluginHarness h("NullTouchHandler");
        auto handler = h.create();
        ASSERT_TRUE(handler);
        termios tio{};
        ASSERT_EQ(tcgetattr(handler->descriptor(), &tio), 0);
        EXPECT_EQ(cfgetospeed(&tio), c.code);
        EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
        EXPECT_NE(tio.c_cflag & CRTSCTS, 0u);
        EXPECT_EQ(handler->packetLength(), 4);
    }
    LocalInfo::Instance()->setBaudRateBps(9600);
}

TEST(NullHandler, ChangeBaudMovesTheOutputSpeed)
{
    const struct {
        const char* name;
        unsigned int speed;
        int result;
        speed_t after;  // the port's output speed afterwards
    } cases[] = {
        {"B19200", B19200, 1, B19200},
        {"B2400", B2400, 1, B2400},
        {"B115200", B115200, 1, B115200},
        {"NotASpeedCode", 0x7FFF, 0, B9600},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        tp::testkit::SerialPluginHarness h("NullTouchHandler");
        auto handler = h.create();
        ASSERT_TRUE(handler);
        LineInterposer::clearRecords(h.device());
        EXPECT_EQ(handler->changeBaud(c.speed), c.result);
        termios tio{};
        ASSERT_EQ(tcgetattr(handler->descriptor(), &tio), 0);
        EXPECT_EQ(cfgetospeed(&tio), c.after);
        auto settings = LineInterposer::settings(h.device());
        ASSERT_EQ(settings.size(), c.result ? 1u : 0u) << "applied only when all went well";
        if (c.result) {
            EXPECT_EQ(settings[0].action, TCSANOW);
        }
    }
}

TEST(NullHandler, ChangeBaudOnAPortThatIsNotThereFails)
{
    tp::testkit::SerialPluginHarness h("NullTouchHandler");
    std::string error;
    auto handler = h.plugin()->createTouchHandler("/nonexistent/ttyS9", &error);
    ASSERT_TRUE(handler) << error;
    EXPECT_EQ(handler->descriptor(), -1);
    EXPECT_EQ(handler->changeBaud(B19200), 0);
}

TEST(NullHandler, CalibrationRequestsAreIgnored)
{
    tp::testkit::SerialPluginHarness h("NullTouchHandler");
    auto handler = h.create();
    ASSERT_TRUE(handler);
    handler->enterCalibrationMode();
    EXPECT_FALSE(handler->inCalibrationMode());
    handler->exitCalibrationMode(true);
    EXPECT_FALSE(handler->inCalibrationMode());
    unsigned char packet[4] = {0xC0, 1, 2, 3};
    EXPECT_FALSE(handler->isTouchDown(packet));
    EXPECT_EQ(handler->extractPosition(packet), GfPoint(0, 0));
}

// touchhost as a person runs it: --baud sets the port's speed, and nothing is printed.
TEST(NullTouchhost, RunsThePortAtTheGivenBaudAndPrintsNothing)
{
    tp::sim::PtyLine line;
    auto p = tp::testkit::ChildProcess::start(tp::testkit::builtProgram("touchhost"),
                                              {"--baud", "38400", "NullTouchHandler", line.slavePath()});
    bool ready = false;
    for (int i = 0; i < 2000 && !ready; ++i) {
        termios tio{};
        ready = tcgetattr(line.masterFd(), &tio) == 0 && cfgetospeed(&tio) == B38400 &&
                (tio.c_cflag & CRTSCTS) != 0;
        if (!ready)
            std::this_thread::sleep_for(10ms);
    }
    EXPECT_TRUE(ready) << p.stderrText();
    line.send(Bytes(64, 0xC0));
    EXPECT_TRUE(line.waitConsumed(20000ms));
    line.hangUp();
    EXPECT_EQ(p.wait(20000ms), 0) << p.stderrText();
    EXPECT_EQ(p.stdoutText(), "");
}

} // namespace
