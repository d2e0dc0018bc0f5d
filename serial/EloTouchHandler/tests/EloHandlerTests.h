#pragma once
// Behaviour of the Elo plug-ins through a pty and the real plug-in file, shared by both
// plug-ins' test programs: each instantiates it with its class and its coordinate wiring.
//
// The controller's bytes are written out here by hand (lead-in, type, status, first field,
// second field, Z, checksum) rather than produced by any code under test.

#include "contract/ZorlanTouchHandler.h"
#include "sim/testkit/LogCapture.h"
#include "sim/testkit/SerialPluginHarness.h"

#include <gtest/gtest.h>
#include <sys/ioctl.h>

namespace elo_tests {

using tp::sim::Bytes;
using namespace std::chrono_literals;

struct Variant {
    const char* plugin;
    bool xFromSecondField;  // Elo19: x from wire bytes 5-6, y from 3-4
};

inline void PrintTo(const Variant& v, std::ostream* os) { *os << v.plugin; }

struct Touch {
    bool down;
    int first, second;  // the two coordinate fields as sent
};

// 0xAA + 0x55 + 0x54 + 0x34 + 0x12 + 0x78 + 0x56 = 0x267.
const Bytes kTouch = {0x55, 'T', 0x00, 0x34, 0x12, 0x78, 0x56, 0x00, 0x00, 0x67};
const Bytes kRelease = {0x55, 'T', 0x04, 0x34, 0x12, 0x78, 0x56, 0x00, 0x00, 0x6B};
// A second position, 0x0201 / 0x0403: 0xAA + 0x55 + 0x54 + 0x01 + 0x02 + 0x03 + 0x04 = 0x15D.
const Bytes kTouchB = {0x55, 'T', 0x00, 0x01, 0x02, 0x03, 0x04, 0x00, 0x00, 0x5D};
// 0x55 bytes inside a message are data: 0x5555 / 0x0155 (checksum 0xAA + 0x55 + 0x54 + 4 * 0x55
// + 0x01 = 0x2A8).
const Bytes kTouchOf55s = {0x55, 'T', 0x00, 0x55, 0x55, 0x55, 0x01, 0x55, 0x00, 0xA8};
// An acknowledge message ('A', error code '0'), valid but not a touch: 0xAA + 0x55 + 0x41 +
// 3 * 0x30 = 0x1D0.
const Bytes kAck = {0x55, 'A', '0', '0', '0', 0x00, 0x00, 0x00, 0x00, 0xD0};
const Bytes kTouchModeCommand = {0x55, 0x4D, 0x00, 0x87, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

inline Bytes withChecksum(Bytes message, std::uint8_t checksum)
{
    if (!message.empty())
        message.back() = checksum;
    return message;
}

inline Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

inline Bytes stray(std::size_t count) { return Bytes(count, 0x00); }

struct StreamCase {
    const char* name;
    Bytes stream;
    std::vector<Touch> touches;
    std::vector<int> readResults;  // readData's results, the last one after the hang-up
};

inline const std::vector<StreamCase>& streamCases()
{
    static const std::vector<StreamCase> cases = {
        {"TouchDown", kTouch, {{true, 0x1234, 0x5678}}, {1, 0}},
        {"Release", kRelease, {{false, 0x1234, 0x5678}}, {1, 0}},
        {"Stroke", join({kTouchB, kTouch, kRelease}),
         {{true, 0x0201, 0x0403}, {true, 0x1234, 0x5678}, {false, 0x1234, 0x5678}}, {1, 1, 1, 0}},
        {"WrongChecksumDropped", join({withChecksum(kTouch, 0x66), kTouchB}),
         {{true, 0x0201, 0x0403}}, {1, 0}},
        // The rejected 0x55 is not a lead-in: what follows it would be a valid touch at
        // 0x0201 / 0x0403 if it were, but it is stray bytes.
        {"WrongChecksum55StartsNothing",
         join({withChecksum(kTouch, 0x55), Bytes(kTouchB.begin() + 1, kTouchB.end()), kRelease}),
         {{false, 0x1234, 0x5678}}, {1, 0}},
        {"NonTouchMessageSkippedInTheSameCall", join({kAck, kAck, kTouch}),
         {{true, 0x1234, 0x5678}}, {1, 0}},
        {"LeadInBytesInsideAMessageAreData", kTouchOf55s, {{true, 0x5555, 0x0155}}, {1, 0}},
        {"NinetyNineStrayBytesAreTolerated", join({stray(99), kTouch}),
         {{true, 0x1234, 0x5678}}, {1, 0}},
        {"HundredStrayBytesLoseSync", join({stray(100), kTouch}),
         {{true, 0x1234, 0x5678}}, {0, 1, 0}},
        // Budgets are per call and count only bytes read while hunting.
        {"BudgetIsNotSpentByRejectedMessages",
         join({stray(60), withChecksum(kTouch, 0x00), stray(39), kTouchB}),
         {{true, 0x0201, 0x0403}}, {1, 0}},
        {"BudgetIsNotRestoredByRejectedMessages",
         join({stray(60), withChecksum(kTouch, 0x00), stray(40), kTouchB}),
         {{true, 0x0201, 0x0403}}, {0, 1, 0}},
        {"CutMessageAtHangUp", Bytes(kTouch.begin(), kTouch.begin() + 6), {}, {0}},
    };
    return cases;
}

class EloHandlerTest : public ::testing::TestWithParam<Variant> {
protected:
    GfPoint expected(const Touch& t) const
    {
        return GetParam().xFromSecondField ? GfPoint(t.second, t.first)
                                           : GfPoint(t.first, t.second);
    }
    std::string prefix() const { return GetParam().plugin; }
};

TEST_P(EloHandlerTest, StreamsGiveExactlyTheTouchesTheyCarry)
{
    for (const StreamCase& c : streamCases()) {
        SCOPED_TRACE(c.name);
        tp::testkit::SerialPluginHarness h(GetParam().plugin);
        auto handler = h.create();
        ASSERT_TRUE(handler);
        EXPECT_EQ(h.line().receiveExactly(10, 2000ms), kTouchModeCommand);
        std::vector<int> results = h.play(*handler, c.stream);
        auto reports = h.sink().reports();
        ASSERT_EQ(reports.size(), c.touches.size());
        for (std::size_t i = 0; i < reports.size(); ++i) {
            EXPECT_EQ(reports[i].down, c.touches[i].down) << "touch " << i;
            EXPECT_EQ(reports[i].raw, expected(c.touches[i])) << "touch " << i;
        }
        EXPECT_EQ(results, c.readResults);
        EXPECT_TRUE(h.line().drain(20ms).empty()) << "the handler sent a command";
    }
}

TEST_P(EloHandlerTest, ConstructionSetsTheTouchMode)
{
    tp::testkit::LogCapture log;
    tp::testkit::SerialPluginHarness h(GetParam().plugin);
    auto handler = h.create();
    ASSERT_TRUE(handler);
    EXPECT_EQ(h.line().receiveExactly(10, 2000ms), kTouchModeCommand);
    EXPECT_TRUE(h.line().drain(20ms).empty());
    EXPECT_EQ(log.levelOf(prefix() + ": setting touch mode"), "Diag");
    // The port is set up as the controller needs it: 8N1, 9600 bit/s, modem lines ignored.
    termios tio{};
    ASSERT_EQ(tcgetattr(handler->descriptor(), &tio), 0);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (CSTOPB | PARENB), 0u);
    EXPECT_NE(tio.c_cflag & CLOCAL, 0u);
    EXPECT_EQ(cfgetispeed(&tio), static_cast<speed_t>(B9600));
}

struct LineChangeCase {
    int lines, state;
    bool resends;
};

TEST_P(EloHandlerTest, TouchModeIsResentAtTheFirstTouchDownAfterTheControllerReturns)
{
    const LineChangeCase cases[] = {
        {TIOCM_CTS, 1, true},  {TIOCM_CTS | TIOCM_CAR, 1, true}, {TIOCM_CTS, 0, false},
        {TIOCM_CTS, 2, false}, {TIOCM_CAR | TIOCM_DSR, 1, false}, {0, 1, false},
    };
    for (const LineChangeCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << "lines " << c.lines << " state " << c.state);
        tp::testkit::SerialPluginHarness h(GetParam().plugin);
        auto handler = h.create();
        ASSERT_TRUE(handler);
        h.line().receiveExactly(10, 2000ms);
        int changes = handler->lineChanges();
        handler->lineControlChange(c.lines, c.state);
        EXPECT_EQ(handler->lineChanges(), changes + 1) << "the framework was not told";
        EXPECT_EQ(handler->lastLines(), c.lines);
        EXPECT_EQ(handler->lastLineState(), c.state);
        handler->lineControlChange(c.lines, c.state);  // a second change changes nothing

        tp::testkit::ReaderThread reader(*handler, &h.line());
        h.line().send(kRelease);
        EXPECT_TRUE(h.sink().waitFor(1, 2000));
        EXPECT_TRUE(h.line().drain(50ms).empty()) << "a release must leave the mark alone";
        h.line().send(kTouch);
        EXPECT_TRUE(h.sink().waitFor(2, 2000));
        Bytes sent = h.line().drain(50ms);
        EXPECT_EQ(sent, c.resends ? kTouchModeCommand : Bytes{});
        h.line().send(kTouchB);
        EXPECT_TRUE(h.sink().waitFor(3, 2000));
        EXPECT_TRUE(h.line().drain(50ms).empty()) << "the mode was sent more than once";
        ASSERT_TRUE(h.finish(reader));
    }
}

TEST_P(EloHandlerTest, FailedModeWriteIsLoggedAndNotRetried)
{
    tp::testkit::SerialPluginHarness h(GetParam().plugin);
    auto handler = h.create();
    ASSERT_TRUE(handler);
    h.line().receiveExactly(10, 2000ms);
    handler->lineControlChange(TIOCM_CTS, 1);
    h.line().hangUp();  // writes to the port fail from now on
    tp::testkit::LogCapture log;
    unsigned char down[8] = {'T', 0x00, 0x34, 0x12, 0x78, 0x56, 0, 0};
    EXPECT_TRUE(handler->isTouchDown(down));
    EXPECT_TRUE(handler->isTouchDown(down));
    const std::string text = prefix() + "::lineControlChange error writing: ";
    EXPECT_EQ(log.count(text), 1u);
    EXPECT_EQ(log.levelOf(text), "ERROR");
    EXPECT_FALSE(handler->isTouchDown(nullptr));
}

TEST_P(EloHandlerTest, VanishedControllerEndsReadingWithAWarning)
{
    tp::testkit::SerialPluginHarness h(GetParam().plugin);
    auto handler = h.create();
    ASSERT_TRUE(handler);
    h.line().receiveExactly(10, 2000ms);
    tp::testkit::LogCapture log;
    EXPECT_EQ(h.play(*handler, kTouch), (std::vector<int>{1, 0}));
    EXPECT_EQ(log.levelOf(prefix() + "::getAnyPacket: "), "WARN");
}

} // namespace elo_tests
