#include "serial/FixedFrameCommon/testing/FixedFrameHandlerTests.h"
#include "sim/testkit/SerialConformance.h"

using tp::testkit::SerialConformance;
TP_SERIAL_CONFORMANCE(EZScreenTouchHandler);

namespace fixed_frame_tests {

// (1000, 2000) is 0x0F/0x28 and 0x1F/0x10 in six-bit halves; the bits above are not data.
const Bytes kDown = {0xE0, 0xCF, 0x68, 0xDF, 0x50};
const Bytes kUp = {0x80, 0x0F, 0x28, 0x1F, 0x10};

INSTANTIATE_TEST_SUITE_P(
    EZScreenTouchHandler, FixedFrameHandlerTest,
    ::testing::Values(Variant{
        "EZScreenTouchHandler", B38400, true,
        {
            {"Stroke", join({kDown, kUp}), {{true, 1000, 2000}, {false, 1000, 2000}}, {1, 1, 0}},
            {"Corner", {0x20, 0x3F, 0x3F, 0x3F, 0x3F}, {{true, 4095, 4095}}, {1, 0}},
            {"CutFrameAtHangUp", cut(kDown, 4), {}, {0}},
        }}),
    variantName);

} // namespace fixed_frame_tests
