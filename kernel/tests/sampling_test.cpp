// Sampling rates from the PLL table, read back through the proc summary.
#include "codec_fixture.h"

using namespace codec;

namespace {

struct RateCase {
    int rate;
    int j;
    int d;
    int code;
};

class SamplingRate : public LoadedCodec, public ::testing::WithParamInterface<RateCase> {};

}  // namespace

TEST_P(SamplingRate, ProgramsRJDAndDivisorAndDecodesBackToTheRate)
{
    const RateCase& c = GetParam();
    EXPECT_EQ(0, call("ti_set_sampling_rate", {c.rate}));
    EXPECT_EQ((Writes{{11, 0x01}, {4, c.j << 2}, {5, c.d >> 6}, {6, (c.d & 0x3F) << 2}, {2, c.code * 0x11}}),
              writes());
    EXPECT_EQ("", klog());

    std::string s = summary();
    char k[32];
    std::snprintf(k, sizeof(k), "Computed PLL K value:   %d.%04d\n", c.j, c.d);
    EXPECT_NE(std::string::npos, s.find(k)) << s;
    EXPECT_NE(std::string::npos, s.find("Computed sample rate:   " + std::to_string(c.rate) + "\n")) << s;
    EXPECT_NE(std::string::npos, s.find("Fsref divisor:          " + std::to_string(c.code) + "\n")) << s;
}

INSTANTIATE_TEST_SUITE_P(Table, SamplingRate,
                         ::testing::Values(RateCase{48000, 8, 1920, 0}, RateCase{44100, 7, 5264, 0},
                                           RateCase{32000, 8, 1920, 1}, RateCase{24000, 8, 1920, 2},
                                           RateCase{22050, 7, 5264, 2}, RateCase{16000, 8, 1920, 4},
                                           RateCase{12000, 8, 1920, 6}, RateCase{11025, 7, 5264, 6},
                                           RateCase{8000, 8, 1920, 10}),
                         [](const ::testing::TestParamInfo<RateCase>& info) {
                             return std::to_string(info.param.rate);
                         });

class UnsupportedRate : public LoadedCodec {};

TEST_F(UnsupportedRate, WritesNothingCountsAndSaysSoTwice)
{
    EXPECT_EQ(1, call("ti_set_sampling_rate", {96000}));
    EXPECT_TRUE(writes().empty());
    EXPECT_EQ("<4>I2C WrErr(1): Sample rate 96000d not supported\n<4>Rate 96000 unsupported\n", klog());
    EXPECT_NE(std::string::npos, proc().find("Internal write errors: 1\n"));
    EXPECT_NE(std::string::npos, summary().find("Computed sample rate:   16000\n"));
}

TEST_F(UnsupportedRate, BusFailureMakesTheResultNonZero)
{
    sim_fail_xfers(1u << SIM_XFER_WRITE_BYTE_DATA, 1, -EIO);
    EXPECT_LT(call("ti_set_sampling_rate", {8000}), 0);
}
