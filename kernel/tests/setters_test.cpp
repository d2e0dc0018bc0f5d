// Each setter packs its fields into one register byte; out-of-range fields
// are replaced and reported, counted or not.
#include "codec_fixture.h"

#include <cerrno>

using namespace codec;

namespace {

struct SetterCase {
    const char* label;
    const char* fn;
    std::vector<long long> args;
    Writes written;
    std::string log;  // kernel log lines, in order
    long errors;      // the write-error counter afterwards
    long long result;
};

std::ostream& operator<<(std::ostream& os, const SetterCase& c) { return os << c.label; }

class Setter : public LoadedCodec, public ::testing::WithParamInterface<SetterCase> {};

#define WRERR(n, text) "<4>I2C WrErr(" #n "): " text "\n"

const SetterCase kCases[] = {
    {"RateSelectBothNibbles", "ti_codec_rate_select", {4}, {{2, 0x44}}, "", 0, 0},
    {"RateSelectTen", "ti_codec_rate_select", {10}, {{2, 0xAA}}, "", 0, 0},
    {"RateSelectRefused", "ti_codec_rate_select", {11}, {}, WRERR(1, "Invalid codec rate of 0xb"), 1, 1},
    {"RateSelectModulo256", "ti_codec_rate_select", {0x104}, {{2, 0x44}}, "", 0, 0},

    {"PllAQ16P8", "ti_pll_program_reg_a", {1, 16, 8}, {{3, 0x80}}, "", 0, 0},
    {"PllAQ17P3", "ti_pll_program_reg_a", {0, 17, 3}, {{3, 0x0B}}, "", 0, 0},
    {"PllABoard", "ti_pll_program_reg_a", {1, 2, 1}, {{3, 0x91}}, "", 0, 0},
    {"PllAQ15P7", "ti_pll_program_reg_a", {1, 15, 7}, {{3, 0xFF}}, "", 0, 0},
    {"PllABadP", "ti_pll_program_reg_a", {1, 2, 0}, {{3, 0x90}}, WRERR(1, "Invalid setting for PLL P: 0"), 1, 0},
    {"PllABadQ", "ti_pll_program_reg_a", {0, 18, 1}, {{3, 0x11}}, WRERR(1, "Invalid setting for PLL Q: 18"), 1, 0},
    {"PllABothBad", "ti_pll_program_reg_a", {1, 1, 9}, {{3, 0x90}},
     WRERR(1, "Invalid setting for PLL P: 9") WRERR(2, "Invalid setting for PLL Q: 1"), 2, 0},

    {"PllB", "ti_pll_program_reg_b", {63}, {{4, 0xFC}}, "", 0, 0},
    {"PllBZero", "ti_pll_program_reg_b", {0}, {{4, 0x04}}, WRERR(1, "Invalid setting for PLL J: 0"), 1, 0},
    {"PllB64", "ti_pll_program_reg_b", {64}, {{4, 0x04}}, WRERR(1, "Invalid setting for PLL J: 64"), 1, 0},

    {"PllD5264", "ti_pll_program_reg_c_and_d", {5264}, {{5, 0x52}, {6, 0x40}}, "", 0, 0},
    {"PllD9999", "ti_pll_program_reg_c_and_d", {9999}, {{5, 0x9C}, {6, 0x3C}}, "", 0, 0},
    {"PllD10000", "ti_pll_program_reg_c_and_d", {10000}, {{5, 0}, {6, 0}},
     WRERR(1, "Invalid setting for PLL D(msb/lsb): 10000"), 1, 0},

    {"PllR1", "ti_set_pll_r", {1}, {{11, 0x01}}, "", 0, 0},
    {"PllR0Is16", "ti_set_pll_r", {0}, {{11, 0x10}}, "", 0, 0},
    {"PllR16", "ti_set_pll_r", {16}, {{11, 0x00}}, "", 0, 0},
    {"PllRLowNibble", "ti_set_pll_r", {0x1F}, {{11, 0x0F}}, "", 0, 0},

    {"DatapathBoard", "ti_codec_datapath", {1, 0, 1, 1}, {{7, 0x8A}}, "", 0, 0},
    {"DatapathAll", "ti_codec_datapath", {1, 1, 3, 3}, {{7, 0xFE}}, "", 0, 0},
    {"DatapathBadLeftUncounted", "ti_codec_datapath", {0, 1, 4, 0}, {{7, 0x60}},
     "<4>Invalid setting for left dac datapath: 4\n", 0, 0},
    {"DatapathBadRight", "ti_codec_datapath", {0, 0, 2, 4}, {{7, 0x10}},
     WRERR(1, "Invalid setting for right dac datapath: 4"), 1, 0},

    {"SdiA", "ti_serial_data_interface_control_reg_a", {1, 1, 1, 1, 1}, {{8, 0xF4}}, "", 0, 0},
    {"SdiAFlagIsNonZero", "ti_serial_data_interface_control_reg_a", {0, 0, 0, 0, 7}, {{8, 0x04}}, "", 0, 0},
    {"SdiB", "ti_serial_data_interface_control_reg_b", {3, 3, 1, 0, 1, 0}, {{9, 0xFA}}, "", 0, 0},
    {"SdiBBadModeUncounted", "ti_serial_data_interface_control_reg_b", {4, 1, 0, 0, 0, 1}, {{9, 0x11}},
     "SDI Xfer mode out of range 0x4\n", 0, 0},
    {"SdiBBadLengthUncounted", "ti_serial_data_interface_control_reg_b", {2, 5, 0, 0, 0, 0}, {{9, 0x80}},
     "SDI Xfer mode out of range 0x5\n", 0, 0},
    {"SdiC", "ti_serial_data_interface_control_reg_c", {242}, {{10, 0xF2}}, "", 0, 0},
    {"SdiCBad", "ti_serial_data_interface_control_reg_c", {243}, {{10, 0}},
     WRERR(1, "Data word offset ctrl out of range 0xf3"), 1, 0},

    {"Filter", "ti_digital_filter_ctrl", {3, 2, 1, 1, 0, 1}, {{12, 0xED}}, "", 0, 0},
    {"FilterBadLeft", "ti_digital_filter_ctrl", {4, 1, 0, 0, 0, 0}, {{12, 0x10}},
     WRERR(1, "Left adc hp filter out of range 0x4"), 1, 0},
    {"FilterBadRight", "ti_digital_filter_ctrl", {1, 9, 0, 0, 0, 0}, {{12, 0x40}},
     WRERR(1, "right adc filter out of range 0x9"), 1, 0},

    {"DacPower", "ti_dac_power_and_output_ctrl", {1, 1, 2}, {{37, 0xE0}}, "", 0, 0},
    {"DacPowerBadHplcom", "ti_dac_power_and_output_ctrl", {0, 1, 3}, {{37, 0x40}},
     WRERR(1, "hplcom out of range 0x3"), 1, 0},

    {"Switching", "ti_dac_output_switching_ctrl", {2, 0, 3}, {{41, 0x83}}, "", 0, 0},
    {"SwitchingBadLeft", "ti_dac_output_switching_ctrl", {3, 0, 0}, {{41, 0x40}},
     WRERR(1, "Left DAC output out of range 0x3"), 1, 0},
    {"SwitchingBadRight", "ti_dac_output_switching_ctrl", {0, 7, 0}, {{41, 0x10}},
     WRERR(1, "Right DAC output out of range 0x7"), 1, 0},
    {"SwitchingBadVolume", "ti_dac_output_switching_ctrl", {0, 0, 4}, {{41, 0x03}},
     WRERR(1, "DAC vol control out of range 0x4"), 1, 0},

    {"LeftVolume", "ti_left_dac_volume_ctrl", {0, 20}, {{43, 0x14}}, "", 0, 0},
    {"LeftVolumeMuted", "ti_left_dac_volume_ctrl", {1, 5}, {{43, 0x85}}, "", 0, 0},
    {"LeftVolumeHighLevelSetsMuteBit", "ti_left_dac_volume_ctrl", {0, 200}, {{43, 0xC8}}, "", 0, 0},
    {"RightVolume", "ti_right_dac_volume_ctrl", {2, 0}, {{44, 0x80}}, "", 0, 0},

    {"LeftLopmMutedUnpowered", "ti_left_lopm_output_level_ctrl", {9, 1, 0}, {{86, 0x90}}, "", 0, 0},
    {"LeftLopmBoard", "ti_left_lopm_output_level_ctrl", {0, 0, 1}, {{86, 0x09}}, "", 0, 0},
    {"LeftLopmBad", "ti_left_lopm_output_level_ctrl", {10, 0, 0}, {{86, 0x08}},
     WRERR(1, "Left lopm output level out of range 0xa"), 1, 0},
    {"RightLopm", "ti_right_lopm_output_level_ctrl", {5, 0, 1}, {{93, 0x59}}, "", 0, 0},
    {"RightLopmBad", "ti_right_lopm_output_level_ctrl", {12, 1, 1}, {{93, 0x01}},
     WRERR(1, "Right lopm output level out of range 0xc"), 1, 0},

    {"ClockGen", "ti_clock_gen_control", {1, 1}, {{102, 0xA0}}, "", 0, 0},
    {"ClockGenFlag256IsClear", "ti_clock_gen_control", {256, 0}, {{102, 0x00}}, "", 0, 0},
};

}  // namespace

TEST_P(Setter, PacksReplacesAndReports)
{
    const SetterCase& c = GetParam();
    EXPECT_EQ(c.result, call(c.fn, c.args));
    EXPECT_EQ(c.written, writes());
    EXPECT_EQ(c.log, klog());
    EXPECT_NE(std::string::npos,
              proc().find("Internal write errors: " + std::to_string(c.errors) + "\n"));
}

INSTANTIATE_TEST_SUITE_P(Registers, Setter, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<SetterCase>& info) {
                             return std::string(info.param.label);
                         });

class SetterFaults : public LoadedCodec {};

TEST_F(SetterFaults, VolumesAreStoredForTheNextConfiguration)
{
    call("ti_left_dac_volume_ctrl", {0, 20});
    call("ti_right_dac_volume_ctrl", {1, 3});
    clearLogs();
    call("ti_init_zorlan_config");
    Writes w = writes();
    EXPECT_NE(w.end(), std::find(w.begin(), w.end(), std::make_pair(43, 0x14)));
    EXPECT_NE(w.end(), std::find(w.begin(), w.end(), std::make_pair(44, 0x83)));
}

TEST_F(SetterFaults, BusErrorsComeBackAsErrorNumbers)
{
    sim_fail_xfers(1u << SIM_XFER_WRITE_BYTE_DATA, 1, -EIO);
    EXPECT_EQ(-EIO, call("ti_set_pll_r", {1}));  // the whole number, not its low byte
    sim_fail_xfers(1u << SIM_XFER_WRITE_BYTE_DATA, 1, -EREMOTEIO);
    EXPECT_EQ(-EREMOTEIO, call("ti_clock_gen_control", {1, 1}));
    // a failure anywhere in the board configuration shows in its result
    sim_fail_xfers(1u << SIM_XFER_WRITE_BYTE_DATA, 1, -EIO);
    EXPECT_LT(call("ti_init_zorlan_config"), 0);
    EXPECT_EQ(0, call("ti_init_zorlan_config"));
    sim_fail_xfers(1u << SIM_XFER_READ_BYTE_DATA, 1, -EIO);
    EXPECT_EQ(static_cast<unsigned int>(-EIO), call("ti_get_mod_power_status"));
}

TEST_F(SetterFaults, StatusReadsReturnTheFlagBits)
{
    sim_codec_set_reg(0, 94, 0xC6);
    sim_codec_set_reg(0, 11, 0xA1);  // two overflow flags over R = 1
    EXPECT_EQ(0xC6, call("ti_get_mod_power_status"));
    EXPECT_EQ(0xA0, call("ti_get_codec_overflow_status"));
    // the flags are read-only: R writes leave them alone
    call("ti_set_pll_r", {2});
    EXPECT_EQ(0xA0, call("ti_get_codec_overflow_status"));
    EXPECT_EQ(0xA2, sim_codec_reg(0, 11));
}
