#pragma once
// Behaviour of the Eyegonomic plug-ins (Eyegonomic and QVTR22TX, one controller under two
// names) through a pty and the real plug-in file; each plug-in's test program instantiates
// these with its class name. Controller bytes are written out by hand.

#include "contract/ZorlanTouchHandler.h"
#include "sim/controllers/PtyLine.h"
#include "serial/PassThroughCommon/testing/Touches.h"
#include "serial/PassThroughCommon/testing/TouchhostRun.h"
#include "sim/testkit/LogCapture.h"
#include "sim/testkit/SerialPluginHarness.h"

#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>

namespace eyegonomic_tests {

using tp::sim::Bytes;
using namespace std::chrono_literals;

struct StreamCase {
    const char* name;
    Bytes stream;
    std::vector<passthrough_tests::Touch> touches;
    std::vector<int> readResults;  // the last one after the hang-up
};

inline const std::vector<StreamCase>& streamCases()
{
    static const std::vector<StreamCase> cases = {
        // y = 0x02 * 128 + 0x10 = 272, x = 0x01 * 128 + 0x20 = 160.
        {"StrayFirstByteIsSkipped", {0x05, 0x81, 0x02, 0x10, 0x01, 0x20}, {{true, {160, 272}}}, {1, 0}},
        {"LeadByteWithoutTouchBitIsARelease", {0x80, 0x02, 0x10, 0x01, 0x20}, {{false, {160, 272}}},
         {1, 0}},
        // Bit 0 alone is not a touch: the lead bit must be there too (0x01 is skipped).
        {"TouchBitAloneStartsNothing", {0x01, 0x7F, 0x83, 0x00, 0x7F, 0x00, 0x01},
         {{true, {1, 127}}}, {1, 0}},
        // Data bytes are taken as they come, lead bit or not.
        {"DataBytesAreNotResynced", {0x81, 0x82, 0x03, 0x04, 0x05}, {{true, {517, 16643}}}, {1, 0}},
        {"Stroke", {0x81, 0x00, 0x01, 0x00, 0x02, 0x81, 0x00, 0x03, 0x00, 0x04, 0x80, 0x00, 0x03, 0x00, 0x04},
         {{true, {2, 1}}, {true, {4, 3}}, {false, {4, 3}}}, {1, 1, 1, 0}},
        {"PacketCutByHangUpIsNotReported", {0x81, 0x02, 0x10}, {}, {0}},
        {"OnlyStrayBytes", {0x00, 0x11, 0x7F}, {}, {0}},
    };
    return cases;
}

class EyegonomicHandlerTest : public ::testing::TestWithParam<const char*> {
protected:
    std::string name() const { return GetParam(); }
};

TEST_P(EyegonomicHandlerTest, StreamsGiveExactlyTheTouchesTheyCarry)
{
    for (const StreamCase& c : streamCases()) {
        SCOPED_TRACE(c.name);
        tp::testkit::LogCapture log;
        tp::testkit::SerialPluginHarness h(GetParam());
        auto handler = h.create();
        ASSERT_TRUE(handler);
        tp::testkit::ReaderThread reader(*handler);
        h.line().send(c.stream);
        ASSERT_TRUE(h.finish(reader));
        passthrough_tests::expectTouches(h.sink().reports(), c.touches);
        EXPECT_EQ(reader.results(), c.readResults);
        EXPECT_FALSE(log.contains("PC data bytes")) << "traced without a PC attached";
        EXPECT_TRUE(h.line().drain(20ms).empty()) << "the handler sent something";
    }
}

TEST_P(EyegonomicHandlerTest, ConstructionLogsTheVersionAndSetsUpThePort)
{
    tp::testkit::LogCapture log;
    tp::testkit::SerialPluginHarness h(GetParam());
    auto handler = h.create();
    ASSERT_TRUE(handler);
    const std::string version = name() + ": Dynamic Load Version is v1.0";
    EXPECT_EQ(log.count(version), 1u);
    EXPECT_EQ(log.levelOf(version), "Diag");
    termios tio{};
    ASSERT_EQ(tcgetattr(handler->descriptor(), &tio), 0);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (CSTOPB | PARENB | CRTSCTS), 0u);
    EXPECT_EQ(cfgetispeed(&tio), static_cast<speed_t>(B9600));
    EXPECT_EQ(handler->fifth(), 1);
}

TEST_P(EyegonomicHandlerTest, PacketsAreTracedOnlyWhileAPcIsAttached)
{
    tp::testkit::SerialPluginHarness h(GetParam());
    auto handler = h.create();
    ASSERT_TRUE(handler);
    tp::sim::PtyLine pc;
    const Bytes packet = {0x81, 0x02, 0x10, 0x01, 0x20};
    tp::testkit::LogCapture log;
    tp::testkit::ReaderThread reader(*handler);

    ASSERT_EQ(handler->attachPassThrough(pc.slavePath().c_str()), 1);
    h.line().send(packet);
    ASSERT_TRUE(h.sink().waitFor(1, 2000));
    const std::vector<std::string> expected = {
        name() + ": Panel nbr bytes = 5", "PC data bytes = 81", "PC data bytes = 2",
        "PC data bytes = 10",           "PC data bytes = 1",  "PC data bytes = 20",
    };
    std::vector<std::string> traced;
    for (const std::string& m : log.messages())
        if (m.find("bytes = ") != std::string::npos)
            traced.push_back(m);
    EXPECT_EQ(traced, expected) << ::testing::PrintToString(log.messages());
    EXPECT_EQ(log.levelOf("PC data bytes"), "Diag");

    handler->detachPassThrough();
    log.clear();
    h.line().send(packet);
    ASSERT_TRUE(h.finish(reader));
    EXPECT_EQ(h.sink().count(), 2u);
    EXPECT_FALSE(log.contains("bytes = ")) << ::testing::PrintToString(log.messages());
}

TEST_P(EyegonomicHandlerTest, LineChangesGoToTheFramework)
{
    tp::testkit::SerialPluginHarness h(GetParam());
    auto handler = h.create();
    ASSERT_TRUE(handler);
    handler->lineControlChange(TIOCM_CTS, 1);
    EXPECT_EQ(handler->lineChanges(), 1);
    EXPECT_EQ(handler->lastLines(), TIOCM_CTS);
    EXPECT_EQ(handler->lastLineState(), 1);
    EXPECT_TRUE(h.line().drain(20ms).empty());
    EXPECT_FALSE(handler->isTouchDown(nullptr));
}

// The real touchhost program on a pty, with a controller script of its own.
TEST_P(EyegonomicHandlerTest, TouchhostPrintsTheTouchesOfAControllerScript)
{
    tp::sim::PtyLine line;
    auto p = passthrough_tests::startTouchhost(GetParam(), line);
    // Noise, a touch, a move, a lift-off.
    line.send(Bytes{0x13, 0x37, 0x81, 0x07, 0x50, 0x0A, 0x3C, 0x81, 0x08, 0x00, 0x0B, 0x00,
                    0x80, 0x08, 0x00, 0x0B, 0x00});
    EXPECT_TRUE(line.waitConsumed(20000ms));
    line.hangUp();
    EXPECT_EQ(p.wait(20000ms), 0) << p.stderrText();
    EXPECT_EQ(p.stdoutText(), "down 1340 976\ndown 1408 1024\nup 1408 1024\n");
}

} // namespace eyegonomic_tests
