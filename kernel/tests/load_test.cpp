// Loading, detection, the board configuration, software reset, unloading.
#include "codec_fixture.h"

#include <cerrno>
#include <cstdio>
#include <set>

using namespace codec;

namespace {

// What the module did, one short token per event.
std::vector<std::string> story()
{
    std::vector<std::string> out;
    char buf[64];
    for (const sim_event& e : events()) {
        switch (e.kind) {
        case SIM_EV_IO_WRITE:
            if (e.io_addr == SIM_RESET_ASSERT_REG && e.io_value == SIM_RESET_LINE)
                out.push_back("assert reset");
            else if (e.io_addr == SIM_RESET_RELEASE_REG && e.io_value == SIM_RESET_LINE)
                out.push_back("release reset");
            else
                out.push_back("stray io write");
            break;
        case SIM_EV_BARRIER:
            out.push_back("wmb");
            break;
        case SIM_EV_SLEEP:
            std::snprintf(buf, sizeof(buf), "sleep %u", e.ms);
            out.push_back(buf);
            break;
        case SIM_EV_XFER:
            if (e.xfer == SIM_XFER_WRITE_BYTE_DATA)
                std::snprintf(buf, sizeof(buf), "%d=0x%02x", e.reg, e.value);
            else if (e.xfer == SIM_XFER_QUICK)
                std::snprintf(buf, sizeof(buf), "probe 0x%02x", e.addr);
            else
                std::snprintf(buf, sizeof(buf), "xfer %d reg %d", e.xfer, e.reg);
            out.push_back(buf);
            break;
        }
    }
    return out;
}

const std::vector<std::string> kResetPulse = {"assert reset", "wmb", "sleep 100", "release reset", "wmb"};

// The board configuration with the stored volumes at level vol.
std::vector<std::string> boardConfig(const char* vol)
{
    return {"42=0xbe", "2=0x00", "3=0x91", "4=0x20", "5=0x1e", "6=0x00", "11=0x01", "7=0x8a",
            "8=0xc0", "9=0x01", "10=0x00", "12=0x00", "40=0x81", "37=0xc0", "41=0x50",
            std::string("43=") + vol, std::string("44=") + vol, "sleep 100", "86=0x09", "sleep 100",
            "93=0x09", "102=0x00", "15=0x80", "16=0x80", "17=0xff", "18=0xff", "19=0x7b",
            "21=0x7b", "22=0x7b", "24=0x78", "32=0x00", "33=0x00"};
}

const std::vector<std::string> kRate16k = {"11=0x01", "4=0x20", "5=0x1e", "6=0x00", "2=0x44"};

std::vector<std::string> join(std::initializer_list<std::vector<std::string>> parts)
{
    std::vector<std::string> all;
    for (const auto& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

const std::string kSummaryAtLoad =
    summaryText(4, 1, 1, 8, 1920, "8.1920", 16000, 16, "0/0", "disabled/disabled", "0/0",
                "disabled/disabled");

class Load : public ::testing::Test {
protected:
    void TearDown() override { sim_halt(); }
};

}  // namespace

TEST_F(Load, ResetsFindsAndConfiguresTheCodecThenSets16kHz)
{
    ASSERT_EQ(0, load());
    EXPECT_EQ(join({kResetPulse, {"probe 0x18"}, boardConfig("0x00"), kRate16k}), story());
    EXPECT_EQ("", klog());
    EXPECT_TRUE(sim_proc_exists("ti_tlv320"));
    EXPECT_EQ(0, sim_codec_in_reset());
}

TEST_F(Load, ProcSummaryAfterLoadAndAfterSoftwareReset)
{
    ASSERT_EQ(0, load());
    std::string text = proc();
    EXPECT_NE(std::string::npos, text.find("Internal write errors: 0\nCurrent register page: 0\n\n"));
    EXPECT_EQ(kSummaryAtLoad, summary());

    clearLogs();
    EXPECT_EQ(1, call("ti_software_reset"));
    // the volumes stored at load (20, unmuted) come back with the configuration
    EXPECT_EQ(join({kResetPulse, boardConfig("0x14"), kRate16k}), story());
    EXPECT_EQ(summaryText(4, 1, 1, 8, 1920, "8.1920", 16000, 16, "20/20", "disabled/disabled",
                          "0/0", "disabled/disabled"),
              summary());
}

TEST_F(Load, SoftwareResetReappliesTheLastVolumeSet)
{
    ASSERT_EQ(0, load());
    EXPECT_EQ(0, call("ti_left_dac_volume_ctrl", {0, 20}));
    EXPECT_EQ(0, call("ti_right_dac_volume_ctrl", {1, 7}));
    clearLogs();
    call("ti_software_reset");
    std::vector<std::string> s = story();
    EXPECT_EQ(1, std::count(s.begin(), s.end(), "43=0x14"));
    EXPECT_EQ(1, std::count(s.begin(), s.end(), "44=0x87"));
}

TEST_F(Load, DescribesItselfAndExportsEveryOperation)
{
    ASSERT_EQ(0, load());
    EXPECT_STREQ("I2C QVT Zorlan Adapter", sim_modinfo("description", nullptr));
    ASSERT_NE(nullptr, sim_modinfo("license", nullptr));
    EXPECT_EQ(std::string::npos, std::string(sim_modinfo("license", nullptr)).find("GPL"));
    EXPECT_STREQ("List of adapter,address pairs not to scan", sim_modinfo("parmdesc", "ignore"));
    EXPECT_STREQ("List of adapter,address pairs to scan additionally", sim_modinfo("parmdesc", "probe"));
    EXPECT_STREQ("List of adapter,address pairs to boldly assume to be present",
                 sim_modinfo("parmdesc", "force"));

    std::set<std::string> exported, callable;
    for (size_t i = 0; i < sim_symbol_count(); ++i)
        exported.insert(sim_symbol_name(i));
    for (size_t i = 0; i < ti_call_count(); ++i)
        callable.insert(ti_call_at(i)->name);
    EXPECT_EQ(callable, exported);
    EXPECT_EQ(24u, exported.size());
}

struct DetectCase {
    const char* name;
    bool codec;
    bool byteData;
    const char* params;
    long long rateSelect;  // ti_codec_rate_select(4) afterwards: 0 when a codec is attached
};

class Detect : public ::testing::TestWithParam<DetectCase> {
protected:
    void TearDown() override { sim_halt(); }
};

TEST_P(Detect, AttachesOnlyWhereItShould)
{
    const DetectCase& c = GetParam();
    ASSERT_EQ(0, load(board(c.codec, c.byteData), c.params));
    EXPECT_EQ(c.rateSelect, call("ti_codec_rate_select", {4}));
}

INSTANTIATE_TEST_SUITE_P(
    Adapters, Detect,
    ::testing::Values(
        DetectCase{"CodecAnswers", true, true, nullptr, 0},
        DetectCase{"NoCodec", false, true, nullptr, -ENODEV},
        DetectCase{"AdapterWithoutByteData", true, false, nullptr, -ENODEV},
        DetectCase{"IgnoredAddress", true, true, "ignore=0,0x18", -ENODEV},
        DetectCase{"IgnoreOnAnyBus", true, true, "ignore=0xffff,0x18", -ENODEV},
        DetectCase{"IgnoreOtherBus", true, true, "ignore=1,0x18", 0},
        // forced onto an empty address: attached, and the bus says nobody answers
        DetectCase{"ForcedWithoutCodec", false, true, "force=0,0x18", -ENXIO},
        DetectCase{"ForcedOnAdapterWithoutByteData", true, false, "force=0,0x18", -ENODEV}),
    [](const ::testing::TestParamInfo<DetectCase>& info) { return std::string(info.param.name); });

TEST_F(Load, WithoutCodecEveryExportFailsAndSaysSoOnce)
{
    ASSERT_EQ(0, load(board(false)));
    const std::string warning = "<4>TI Codec not attached: register access refused\n";
    EXPECT_EQ(warning, klog());
    clearLogs();
    for (size_t i = 0; i < ti_call_count(); ++i) {
        const ti_call* fn = ti_call_at(i);
        std::vector<long long> args(static_cast<size_t>(fn->arity), 2);  // in range everywhere
        if (std::string(fn->name) == "ti_set_sampling_rate")
            args[0] = 16000;
        long long rc = call(fn->name, args);
        if (std::string(fn->name) == "ti_smbus_read")
            continue;
        if (std::string(fn->name).find("_status") != std::string::npos)
            EXPECT_EQ(static_cast<unsigned int>(-ENODEV), rc) << fn->name;
        else
            EXPECT_EQ(-ENODEV, rc) << fn->name;
    }
    EXPECT_EQ(0u, sim_event_count());  // neither the bus nor the reset line was touched
    EXPECT_EQ("", klog());             // already said at load
    std::string text = proc();
    EXPECT_NE(std::string::npos, text.find("Current register page: 0\n\n"));
    EXPECT_EQ("", summary());
}

TEST_F(Load, RefusedArgumentsStillCountWithoutCodec)
{
    ASSERT_EQ(0, load(board(false)));
    EXPECT_EQ(1, call("ti_codec_rate_select", {11}));
    EXPECT_EQ(1, call("ti_set_sampling_rate", {96000}));
    EXPECT_NE(std::string::npos, proc().find("Internal write errors: 2\n"));
}

TEST_F(Load, DetectionFailuresLeaveNoClientAndNoLeak)
{
    sim_board b = board();
    sim_boot(&b);
    sim_fail_allocs(1);
    ASSERT_EQ(0, sim_load_module(aic31_module_path(), nullptr));
    EXPECT_EQ(-ENODEV, call("ti_codec_rate_select", {4}));
    sim_halt();

    sim_boot(&b);
    sim_fail_attach(-EBUSY);
    ASSERT_EQ(0, sim_load_module(aic31_module_path(), nullptr));
    EXPECT_EQ(-ENODEV, call("ti_codec_rate_select", {4}));
}

TEST_F(Load, FailedDriverRegistrationFailsTheLoadAndLeavesNothing)
{
    sim_board b = board();
    sim_boot(&b);
    sim_fail_driver_register(-ENOMEM);
    EXPECT_EQ(-ENOMEM, sim_load_module(aic31_module_path(), nullptr));
    EXPECT_FALSE(sim_module_loaded());
    EXPECT_FALSE(sim_proc_exists("ti_tlv320"));
    EXPECT_EQ(kResetPulse, story());  // no bus traffic
}

TEST_F(Load, UnloadRemovesTheEntryAndPulsesResetAndReloadStartsAfresh)
{
    ASSERT_EQ(0, load());
    call("ti_codec_rate_select", {11});
    call("ti_change_page", {1});
    clearLogs();
    ASSERT_EQ(0, sim_unload_module());
    EXPECT_FALSE(sim_proc_exists("ti_tlv320"));
    EXPECT_EQ(kResetPulse, story());

    clearLogs();
    ASSERT_EQ(0, sim_load_module(aic31_module_path(), nullptr));
    EXPECT_NE(std::string::npos, proc().find("Internal write errors: 0\nCurrent register page: 0\n"));
    EXPECT_EQ(kSummaryAtLoad, summary());
}

TEST_F(Load, RejectsBadParameters)
{
    sim_board b = board();
    sim_boot(&b);
    EXPECT_NE(0, sim_load_module(aic31_module_path(), "bogus=1"));
    EXPECT_NE(0, sim_load_module(aic31_module_path(), "ignore=zero"));
    EXPECT_FALSE(sim_module_loaded());
    EXPECT_EQ(0, sim_load_module(aic31_module_path(), "probe=0,0x18"));
}
