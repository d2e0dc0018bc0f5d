// Register dump to the kernel log and through /proc/ti_tlv320.
#include "codec_fixture.h"

#include <cerrno>
#include <climits>

using namespace codec;

namespace {

class Dump : public LoadedCodec {};

std::string columnHeader()
{
    std::string s = "    ";
    char buf[8];
    for (int i = 0; i < 16; ++i) {
        std::snprintf(buf, sizeof(buf), "%2x ", i);
        s += buf;
    }
    return s;
}

size_t blockReads() { return transfers(SIM_XFER_READ_BLOCK).size(); }

}  // namespace

TEST_F(Dump, AllZeroCodecPrintsEightRowsOfZeros)
{
    sim_codec_fill(0);
    call("ti_smbus_read");
    std::string expected = columnHeader();
    for (int row = 0; row < 8; ++row) {
        char head[16];
        std::snprintf(head, sizeof(head), "\n%02x: ", row * 16);
        expected += head;
        for (int i = 0; i < 16; ++i)
            expected += "00 ";
    }
    expected += "\n\n";
    EXPECT_EQ(expected, klog());
    EXPECT_EQ(4u, blockReads());  // 32 registers each, from 0, 32, 64, 96
}

TEST_F(Dump, ProcTextLayout)
{
    std::string text = proc();
    ASSERT_EQ(0u, text.find("\nTI TLV320AIC31 Register Config\nBuilt on "));
    size_t table = text.find("\n    " + columnHeader() + "\n00: 00 00 44 91 20 1e 00 8a c0 01 00 01 00 00 00 80 \n10: ");
    EXPECT_NE(std::string::npos, table) << text;
    EXPECT_NE(std::string::npos, text.find("\n70: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 \n"
                                           "Internal write errors: 0\nCurrent register page: 0\n\nFsref divisor:"));
}

TEST_F(Dump, ProcReadsFollowThePageProtocol)
{
    const std::string whole = proc();
    const int len = static_cast<int>(whole.size());
    std::vector<char> out(8192, '\x7f');
    int eof = 0;

    // everything at once
    EXPECT_EQ(len, sim_proc_read_once("ti_tlv320", 0, 4096, out.data(), &eof));
    EXPECT_EQ(1, eof);
    EXPECT_EQ(whole, std::string(out.data(), static_cast<size_t>(len)));

    struct Window {
        long off;
        int count;
        int result;
        int eof;
    };
    const Window windows[] = {
        {len, 100, 0, 1},         // at the end
        {len + 1000, 100, 0, 1},  // past it
        {LONG_MAX, 100, 0, 1},
        {len - 1, 1, 1, 1},       // the last byte completes the text
        {len - 10, 4, 4, 0},      // fewer than remain
        {5, 0, 0, 0},
        {1, INT_MAX, len - 1, 1},
        {-1, 10, -EINVAL, 0},
        {0, -1, -EINVAL, 0},
    };
    for (const Window& w : windows) {
        eof = 0;
        int n = sim_proc_read_once("ti_tlv320", w.off, w.count, out.data(), &eof);
        EXPECT_EQ(w.result, n) << "off " << w.off << " count " << w.count;
        EXPECT_EQ(w.eof, eof) << "off " << w.off << " count " << w.count;
        if (n > 0) {
            EXPECT_EQ(whole.substr(static_cast<size_t>(w.off), static_cast<size_t>(n)),
                      std::string(out.data(), static_cast<size_t>(n)));
        }
    }

    // small reads put the same text together
    std::string pieces;
    for (eof = 0; !eof;) {
        int n = sim_proc_read_once("ti_tlv320", static_cast<long>(pieces.size()), 7, out.data(), &eof);
        ASSERT_GE(n, 0);
        pieces.append(out.data(), static_cast<size_t>(n));
        if (n == 0)
            break;
    }
    EXPECT_EQ(whole, pieces);
}

TEST_F(Dump, ShortBlocksStillCoverAllRegisters)
{
    const std::string full = proc();
    sim_codec_block_limit(5);
    clearLogs();
    EXPECT_EQ(full, proc());
    EXPECT_EQ(26u, blockReads());  // 25 of five and one of three
}

TEST_F(Dump, FailedBlockReadsAreRetriedThenGivenUp)
{
    const std::string full = proc();
    sim_fail_xfers(1u << SIM_XFER_READ_BLOCK, 2, -EIO);
    clearLogs();
    EXPECT_EQ(full, proc());
    EXPECT_EQ(6u, blockReads());

    // a codec that never returns a block: no rows, no summary, no hang
    sim_codec_block_limit(0);
    clearLogs();
    std::string text = proc();
    EXPECT_EQ(3u, blockReads());
    EXPECT_NE(std::string::npos, text.find(columnHeader() + "\nInternal write errors: 0\n"));
    EXPECT_EQ("", summary());
    clearLogs();
    call("ti_smbus_read");
    EXPECT_EQ(columnHeader() + "\n\n", klog());
}

struct DecodeCase {
    const char* label;
    std::vector<std::pair<int, int>> regs;  // page-0 registers set before the dump
    std::string expected;
    const char* log;
};

class Decode : public LoadedCodec, public ::testing::WithParamInterface<DecodeCase> {};

TEST_P(Decode, SummaryComesFromTheDumpedValues)
{
    sim_codec_fill(0);
    for (const auto& r : GetParam().regs)
        sim_codec_set_reg(0, r.first, static_cast<unsigned char>(r.second));
    EXPECT_EQ(GetParam().expected, summary());
    EXPECT_EQ(GetParam().log, klog());
}

INSTANTIATE_TEST_SUITE_P(
    Registers, Decode,
    ::testing::Values(
        DecodeCase{"ZeroFieldsMeanEightAndSixteen", {{4, 0x20}},
                   summaryText(0, 8, 16, 8, 0, "8.0000", 0, 16, "0/0", "disabled/disabled", "0/0",
                               "muted/muted"),
                   ""},
        DecodeCase{"InvalidJIsReported", {{3, 0x01}, {11, 0x01}},
                   summaryText(0, 1, 1, 0, 0, "0.0000", 0, 16, "0/0", "disabled/disabled", "0/0",
                               "muted/muted"),
                   "<4>Invalid readif for PLL_J!\n"},
        DecodeCase{"SmallDKeepsItsFourDigits", {{3, 0x01}, {11, 0x01}, {4, 0x20}, {6, 50 << 2}},
                   summaryText(0, 1, 1, 8, 50, "8.0050", 0, 16, "0/0", "disabled/disabled", "0/0",
                               "muted/muted"),
                   ""},
        DecodeCase{"OutputsAndSampleSize",
                   {{2, 0x66}, {3, 0x91}, {11, 0x01}, {4, 0x20}, {5, 0x1E}, {9, 0x30}, {43, 0x94},
                    {44, 0x7F}, {86, 0x90}, {93, 0x59}},
                   summaryText(6, 1, 1, 8, 1920, "8.1920", 12000, 32, "20/127", "muted/disabled",
                               "9/5", "muted/disabled"),
                   ""},
        DecodeCase{"SampleSize20", {{4, 0x04}, {9, 0x10}},
                   summaryText(0, 8, 16, 1, 0, "1.0000", 0, 20, "0/0", "disabled/disabled", "0/0",
                               "muted/muted"),
                   ""},
        DecodeCase{"SampleSize24", {{4, 0x04}, {9, 0x20}},
                   summaryText(0, 8, 16, 1, 0, "1.0000", 0, 24, "0/0", "disabled/disabled", "0/0",
                               "muted/muted"),
                   ""}),
    [](const ::testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.label); });
