#include "serial/FixedFrameCommon/testing/FixedFrameHandlerTests.h"
#include "sim/testkit/SerialConformance.h"

using tp::testkit::SerialConformance;
TP_SERIAL_CONFORMANCE(ISTTouchHandler);

namespace fixed_frame_tests {

// (1000, 2000) is 0x0F/0x28 and 0x1F/0x10 in six-bit halves; the bits above are not data.
const Bytes kDown = {0xCF, 0xE8, 0xDF, 0xD0, 0xFF, 0x11};
const Bytes kUp = {0x0F, 0x28, 0x1F, 0x10, 0x00, 0x10};

INSTANTIATE_TEST_SUITE_P(
    ISTTouchHandler, FixedFrameHandlerTest,
    ::testing::Values(Variant{
        "ISTTouchHandler", B9600, true,
        {
            {"Stroke", join({kDown, kUp}), {{true, 1000, 2000}, {false, 1000, 2000}}, {1, 1, 0}},
            {"AnyLowStatusBitTouches", {0x3F, 0x3F, 0x00, 0x00, 0x00, 0x08}, {{true, 4095, 0}},
             {1, 0}},
            {"CutFrameAtHangUp", cut(kDown, 5), {}, {0}},
        }}),
    variantName);

} // namespace fixed_frame_tests
