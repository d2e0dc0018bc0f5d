#include "serial/FixedFrameCommon/testing/FixedFrameHandlerTests.h"
#include "sim/testkit/SerialConformance.h"

using tp::testkit::SerialConformance;
TP_SERIAL_CONFORMANCE(DynaProTouchHandler);

namespace fixed_frame_tests {

// Byte 0: . T x9 x8 x7 y9 y8 y7. (300, 400) is x 2/0x2C, y 3/0x10.
const Bytes kDown = {0xD3, 0x2C, 0x10};
const Bytes kUp = {0x93, 0x2C, 0x10};

INSTANTIATE_TEST_SUITE_P(
    DynaProTouchHandler, FixedFrameHandlerTest,
    ::testing::Values(Variant{
        "DynaProTouchHandler", B2400, true,
        {
            {"AllBitsSet", {0x7F, 0x7F, 0x7F}, {{true, 1023, 1023}}, {1, 0}},
            {"Stroke", join({kDown, kUp}), {{true, 300, 400}, {false, 300, 400}}, {1, 1, 0}},
            // A low byte with bit 7 set adds to the high part: 0xFF + 0x80, 0x80 + 0.
            {"LowBytesAreAdded", {0x48, 0xFF, 0x80}, {{true, 0x17F, 0x80}}, {1, 0}},
            {"CutFrameAtHangUp", cut(kDown, 2), {}, {0}},
        }}),
    variantName);

} // namespace fixed_frame_tests
