#include "serial/FixedFrameCommon/testing/FixedFrameHandlerTests.h"
#include "sim/testkit/LineInterposer.h"
#include "sim/testkit/SerialConformance.h"

#include <sys/ioctl.h>

using tp::testkit::Op;
using tp::testkit::SerialConformance;
TP_SERIAL_CONFORMANCE(eGalaxTouchHandler_9600, Op::inSync);

namespace fixed_frame_tests {

const Bytes kTouch = {0xA1, 0x01, 0x02, 0x03, 0x04, 0x41};       // (130, 388)
const Bytes kTouchB = {0xA1, 0x05, 0x06, 0x07, 0x08, 0x41};      // (646, 904)
const Bytes kWrongTrailer = {0xA1, 0x01, 0x02, 0x03, 0x04, 0x42};

Bytes junk(std::size_t count) { return Bytes(count, 0x00); }

INSTANTIATE_TEST_SUITE_P(
    eGalaxTouchHandler_9600, FixedFrameHandlerTest,
    ::testing::Values(Variant{
        "eGalaxTouchHandler_9600", B9600, false,
        {
            {"TouchDown", kTouch, {{true, 130, 388}}, {1, 0}},
            {"NotTouching", {0xA0, 0x7F, 0x7F, 0x7F, 0x7F, 0x41}, {{false, 16383, 16383}},
             {1, 0}},
            {"WrongTrailerDropsTheFrame", join({kWrongTrailer, kTouchB}), {{true, 646, 904}},
             {0, 1, 0}},
            {"FourteenJunkBytesAreSkipped", join({junk(14), kTouch}), {{true, 130, 388}}, {1, 0}},
            {"FifteenthJunkByteEndsTheCall", join({junk(15), kTouch}), {{true, 130, 388}},
             {0, 1, 0}},
            // Bytes that could start a frame (0x01 and 0x20 have status bits) are still junk.
            {"OnlyTheTwoStatusValuesStartAFrame", join({Bytes{0x01, 0x20, 0xA3, 0xE1}, kTouch}),
             {{true, 130, 388}}, {1, 0}},
            {"JunkBudgetIsPerCall", join({junk(14), kTouch, junk(14), kTouchB}),
             {{true, 130, 388}, {true, 646, 904}}, {1, 1, 0}},
            // Data bytes are taken as they come, status values included.
            {"StatusValuesInsideAFrameAreData", {0xA1, 0xA0, 0xA1, 0xA0, 0xA1, 0x41},
             {{true, 0x50A1, 0x50A1}}, {1, 0}},
            {"CutFrameAtHangUp", cut(kTouch, 5), {}, {0}},
        }}),
    variantName);

TEST(eGalaxTouchHandler_9600, OpensThePortTwiceWithTheSameSettings)
{
    tp::testkit::SerialPluginHarness h("eGalaxTouchHandler_9600");
    auto handler = h.create();
    ASSERT_TRUE(handler);
    const auto settings = tp::testkit::LineInterposer::settings(h.device());
    ASSERT_EQ(settings.size(), 2u);
    for (const auto& s : settings) {
        EXPECT_EQ(s.inputSpeed(), static_cast<speed_t>(B9600));
        EXPECT_EQ(s.tio.c_cflag & CRTSCTS, 0u);
    }
    EXPECT_GE(handler->descriptor(), 0);
}

// A line change is only noted: the host's bookkeeping runs, one trace line is written and
// nothing goes to the controller, whatever the lines; touches flow on as before.
TEST(eGalaxTouchHandler_9600, LineChangesAreNotedAndSendNothing)
{
    const struct {
        int lines, state;
    } changes[] = {{TIOCM_CTS, 1}, {TIOCM_CTS, 0}, {TIOCM_CTS, 2}, {TIOCM_CAR, 1}, {0, 1}};
    tp::testkit::LogCapture log;
    tp::testkit::SerialPluginHarness h("eGalaxTouchHandler_9600");
    auto handler = h.create();
    ASSERT_TRUE(handler);
    int seen = 0;
    for (const auto& c : changes) {
        handler->lineControlChange(c.lines, c.state);
        ++seen;
        EXPECT_EQ(handler->lineChanges(), seen);
        EXPECT_EQ(handler->lastLines(), c.lines);
        EXPECT_EQ(handler->lastLineState(), c.state);
    }
    EXPECT_EQ(log.count("line control change"), std::size(changes));
    EXPECT_EQ(log.levelOf("line control change"), "Diag");
    handler->lineControlChange(TIOCM_CTS, 1);
    tp::testkit::ReaderThread reader(*handler, &h.line());
    h.line().send(join({kTouch, {0xA0, 0x01, 0x02, 0x03, 0x04, 0x41}, kTouchB}));
    ASSERT_TRUE(h.finish(reader));
    EXPECT_EQ(h.sink().count(), 3u);
    EXPECT_TRUE(h.line().drain(20ms).empty()) << "the handler wrote to the controller";
}

} // namespace fixed_frame_tests
