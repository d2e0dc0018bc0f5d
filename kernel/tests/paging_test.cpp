// The driver's belief about the codec's register page.
#include "codec_fixture.h"

#include <cerrno>

using namespace codec;

namespace {

class Paging : public LoadedCodec {};

int pageSelects()
{
    int n = 0;
    for (const sim_event& e : events())
        if (e.kind == SIM_EV_XFER && e.reg == 0 &&
            (e.xfer == SIM_XFER_WRITE_BYTE_DATA || e.xfer == SIM_XFER_READ_BYTE_DATA))
            ++n;
    return n;
}

bool procSaysPage(int page)
{
    return proc().find("Current register page: " + std::to_string(page) + "\n") != std::string::npos;
}

const char kWarnPage0[] = "<4>Failed to change page on TI Codec! Current page is 0\n";
const char kWarnPage1[] = "<4>Failed to change page on TI Codec! Current page is 1\n";

}  // namespace

TEST_F(Paging, WritesToPage0CostNoPageSelectTraffic)
{
    EXPECT_EQ(0, call("ti_clock_gen_control", {1, 0}));
    EXPECT_EQ(0, call("ti_codec_rate_select", {2}));
    EXPECT_EQ((Writes{{102, 0x80}, {2, 0x22}}), writes());
    EXPECT_EQ(0, pageSelects());
    clearLogs();
    EXPECT_EQ(0, call("ti_change_page", {0}));
    EXPECT_EQ(0u, sim_event_count());
}

TEST_F(Paging, ChangeIsConfirmedByReadBackAndPage0WritesReturnFirst)
{
    EXPECT_EQ(0, call("ti_change_page", {1}));
    EXPECT_EQ(1, sim_codec_page());
    auto reads = transfers(SIM_XFER_READ_BYTE_DATA);
    ASSERT_EQ(1u, reads.size());
    EXPECT_EQ(0, reads[0].reg);
    EXPECT_TRUE(procSaysPage(1));
    EXPECT_EQ("", summary());  // decoded only from page 0

    clearLogs();
    EXPECT_EQ(0, call("ti_pll_program_reg_b", {8}));
    EXPECT_EQ((Writes{{0, 0}, {4, 0x20}}), writes());
    EXPECT_EQ(0, sim_codec_page());
    EXPECT_EQ(0x20, sim_codec_reg(0, 4));
    EXPECT_EQ("", klog());
}

TEST_F(Paging, UnconfirmedChangeWarnsAndBelievesTheCodec)
{
    ASSERT_EQ(0, call("ti_change_page", {1}));
    sim_codec_lock_page(1);
    clearLogs();

    EXPECT_EQ(1, call("ti_change_page", {0}));  // 0 written, 1 read back
    EXPECT_EQ(kWarnPage1, klog());
    EXPECT_TRUE(procSaysPage(1));

    // a page-0 write tries again, warns again and writes anyway
    clearLogs();
    EXPECT_EQ(0, call("ti_clock_gen_control", {0, 1}));
    EXPECT_EQ((Writes{{0, 0}, {102, 0x20}}), writes());
    EXPECT_EQ(kWarnPage1, klog());
    EXPECT_EQ(0x20, sim_codec_reg(1, 102));
}

TEST_F(Paging, UnansweredReadBackKeepsTheOldBeliefSoTheNextWriteRetries)
{
    sim_fail_xfers(1u << SIM_XFER_READ_BYTE_DATA, 1, -EIO);
    EXPECT_EQ(1, call("ti_change_page", {1}));
    EXPECT_EQ(kWarnPage0, klog());
    EXPECT_TRUE(procSaysPage(0));

    clearLogs();
    EXPECT_EQ(0, call("ti_change_page", {1}));
    EXPECT_EQ(2, pageSelects());  // the change is made again
    EXPECT_EQ("", klog());
}

TEST_F(Paging, PagesBeyondOneAreRefusedWithoutTraffic)
{
    EXPECT_EQ(1, call("ti_change_page", {2}));
    EXPECT_EQ(0u, sim_event_count());
    EXPECT_EQ(kWarnPage0, klog());
    EXPECT_EQ(0, call("ti_change_page", {0x100}));  // taken modulo 256: page 0
}
