#include "serial/FixedFrameCommon/testing/FixedFrameHandlerTests.h"
#include "sim/testkit/SerialConformance.h"

using tp::testkit::SerialConformance;
TP_SERIAL_CONFORMANCE(CrystalTouchHandler);

namespace fixed_frame_tests {

// Seventeen bytes: status in byte 5, X little-endian in bytes 7-8, Y in bytes 9-10.
Bytes frame(std::uint8_t status)
{
    return {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, status, 0xFF, 0x34, 0x12, 0x78, 0x56,
            0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
}

INSTANTIATE_TEST_SUITE_P(
    CrystalTouchHandler, FixedFrameHandlerTest,
    ::testing::Values(Variant{
        "CrystalTouchHandler", B115200, true,
        {
            {"StatusZeroAndOneTouchOthersDoNot",
             join({frame(0x01), frame(0x00), frame(0x02), frame(0x81)}),
             {{true, 0x1234, 0x5678},
              {true, 0x1234, 0x5678},
              {false, 0x1234, 0x5678},
              {false, 0x1234, 0x5678}},
             {1, 1, 1, 1, 0}},
            {"CutFrameAtHangUp", cut(frame(0x01), 16), {}, {0}},
        }}),
    variantName);

TEST(CrystalTouchHandler, LogsItsConstructionAndEveryPosition)
{
    tp::testkit::LogCapture log;
    tp::testkit::SerialPluginHarness h("CrystalTouchHandler");
    auto handler = h.create();
    ASSERT_TRUE(handler);
    EXPECT_EQ(log.levelOf("CrystalTouchHandler Constructor called"), "Info");
    tp::testkit::ReaderThread reader(*handler, &h.line());
    h.line().send(join({frame(0x02), frame(0x01)}));
    ASSERT_TRUE(h.finish(reader));
    EXPECT_EQ(log.count("x = 1234, y = 5678"), 2u);
    EXPECT_EQ(log.levelOf("x = 1234, y = 5678"), "Info");
}

} // namespace fixed_frame_tests
