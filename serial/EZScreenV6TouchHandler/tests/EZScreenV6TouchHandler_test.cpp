#include "serial/FixedFrameCommon/testing/FixedFrameHandlerTests.h"
#include "sim/testkit/SerialConformance.h"

using tp::testkit::SerialConformance;
TP_SERIAL_CONFORMANCE(EZScreenV6TouchHandler);

namespace fixed_frame_tests {

// Y comes first on the wire: bytes 1-2 are Y (0x290), bytes 3-4 are X (0x1A0).
const Bytes kDown = {0x01, 0x05, 0x10, 0x03, 0x20};
const Bytes kUp = {0x00, 0x05, 0x10, 0x03, 0x20};

INSTANTIATE_TEST_SUITE_P(
    EZScreenV6TouchHandler, FixedFrameHandlerTest,
    ::testing::Values(Variant{
        "EZScreenV6TouchHandler", B9600, true,
        {
            {"Stroke", join({kDown, kUp}), {{true, 416, 656}, {false, 416, 656}}, {1, 1, 0}},
            // Only the low four bits of the high bytes and bit 0 of the status count.
            {"HighBitsAreNotData", {0xF1, 0xF5, 0x10, 0xF3, 0x20}, {{true, 416, 656}}, {1, 0}},
            {"CutFrameAtHangUp", cut(kDown, 3), {}, {0}},
        }}),
    variantName);

} // namespace fixed_frame_tests
