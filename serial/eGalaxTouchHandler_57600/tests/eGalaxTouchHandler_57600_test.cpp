#include "serial/FixedFrameCommon/testing/FixedFrameHandlerTests.h"
#include "sim/testkit/SerialConformance.h"

using tp::testkit::Op;
using tp::testkit::SerialConformance;
TP_SERIAL_CONFORMANCE(eGalaxTouchHandler_57600, Op::inSync);

namespace fixed_frame_tests {

INSTANTIATE_TEST_SUITE_P(
    eGalaxTouchHandler_57600, FixedFrameHandlerTest,
    ::testing::Values(Variant{
        "eGalaxTouchHandler_57600", B57600, false,
        {
            {"TouchDown", {0xA1, 0x01, 0x02, 0x03, 0x04, 0x41}, {{true, 130, 388}}, {1, 0}},
            {"NotTouching", {0xA0, 0x7F, 0x7F, 0x7F, 0x7F, 0x41}, {{false, 16383, 16383}},
             {1, 0}},
            {"TrailerIsNotChecked", {0xA1, 0x01, 0x02, 0x03, 0x04, 0x00}, {{true, 130, 388}},
             {1, 0}},
            // None of 0x00, 0x40, 0x5E, 0x1E has a status bit (0xA1); 0x20 would start a frame
            // but is no touch.
            {"BytesWithoutStatusBitsAreSkipped",
             {0x00, 0x40, 0x5E, 0x1E, 0xA1, 0x01, 0x02, 0x03, 0x04, 0x41},
             {{true, 130, 388}},
             {1, 0}},
            {"AnyStatusBitStartsAFrame", {0x01, 0x01, 0x02, 0x03, 0x04, 0x41},
             {{false, 130, 388}}, {1, 0}},
            {"CutFrameAtHangUp", {0xA1, 0x01, 0x02}, {}, {0}},
        }}),
    variantName);

} // namespace fixed_frame_tests
