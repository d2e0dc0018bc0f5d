// The checksum and the run flag that every NV device shares.
#include "phal/NvInterface.h"
#include "phal/tests/NvTestSupport.h"

#include <gtest/gtest.h>

#include <string.h>
#include <string>

namespace {

// The base class's own operations, with a device that holds nothing.
class BareNv : public NvInterface {
public:
    int setData(char*, int, unsigned long) override { return -1; }
    int getData(char*) override { return 0; }
    int getDataSize() override { return 0; }
    unsigned long getDataCrc() override { return 0; }
};

unsigned long crcOf(const std::string& s, unsigned long start = 0)
{
    BareNv nv;
    return nv.crc32(start, s.data(), static_cast<unsigned int>(s.size()));
}

TEST(Crc32, TableIsTheReflectedIeeePolynomial)
{
    EXPECT_EQ(0x00000000u, crc_table[0]);
    EXPECT_EQ(0x77073096u, crc_table[1]);
    EXPECT_EQ(0xEDB88320u, crc_table[128]);
    EXPECT_EQ(0x2D02EF8Du, crc_table[255]);
}

TEST(Crc32, PublishedCheckValues)
{
    const struct {
        const char* text;
        unsigned long crc;
    } cases[] = {
        {"", 0x00000000UL},
        {"a", 0xE8B7BE43UL},
        {"abc", 0x352441C2UL},
        {"123456789", 0xCBF43926UL},
        {"The quick brown fox jumps over the lazy dog", 0x414FA339UL},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.crc, crcOf(c.text)) << '"' << c.text << '"';
}

// Every length and start offset around the eight-byte stride, against the
// bit-at-a-time definition.
TEST(Crc32, MatchesTheBitwiseDefinitionAtEveryLengthAndAlignment)
{
    std::string data;
    for (int i = 0; i < 80; i++)
        data.push_back(static_cast<char>(i * 37 + 11));
    for (size_t offset = 0; offset < 8; offset++)
        for (size_t len = 0; len + offset <= data.size(); len++) {
            std::string piece = data.substr(offset, len);
            ASSERT_EQ(nvtest::referenceCrc(piece), crcOf(piece))
                << "offset " << offset << " len " << len;
        }
}

TEST(Crc32, CallsChainLikeZlib)
{
    EXPECT_EQ(crcOf("abc"), crcOf("bc", crcOf("a")));
    std::string big(1000, 'x');
    EXPECT_EQ(crcOf(big + "tail"), crcOf("tail", crcOf(big)));
}

TEST(Crc32, EmptyOrNullBuffer)
{
    BareNv nv;
    EXPECT_EQ(0UL, nv.crc32(0, "anything", 0));
    EXPECT_EQ(0UL, nv.crc32(0x12345678UL, nullptr, 10));
}

class RunFlag : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = dir_.file("UmData.bin");
        ASSERT_EQ(0, NvInterface::setRunFlagFile(path_.c_str()));
    }
    void TearDown() override { NvInterface::setRunFlagFile(dir_.file("gone/UmData.bin").c_str()); }

    nvtest::ScratchDir dir_;
    std::string path_;
};

TEST_F(RunFlag, RoundTripsThroughTheFileInProcessorOrder)
{
    EXPECT_EQ(0, BareNv().setRunFlag(5));
    EXPECT_EQ(5, BareNv().getRunFlag());
    int five = 5;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&five), sizeof five),
              nvtest::readFile(path_));
    EXPECT_EQ(std::string("\x05\x00\x00\x00", 4), nvtest::readFile(path_)); // little-endian parts
}

TEST_F(RunFlag, EachWriteReplacesTheWholeFile)
{
    nvtest::writeFile(path_, "longer than four bytes");
    EXPECT_EQ(0, BareNv().setRunFlag(-1));
    EXPECT_EQ(4u, nvtest::readFile(path_).size());
    EXPECT_EQ(-1, BareNv().getRunFlag());
}

TEST_F(RunFlag, MissingFileReadsAsZero)
{
    BareNv nv;
    EXPECT_EQ(0, nv.getRunFlag());
}

TEST_F(RunFlag, ShortFileFillsOnlyTheBytesItHas)
{
    nvtest::writeFile(path_, std::string("\x07\x00", 2));
    EXPECT_EQ(7, BareNv().getRunFlag());
}

TEST_F(RunFlag, UncreatableFileFails)
{
    ASSERT_EQ(0, NvInterface::setRunFlagFile(dir_.file("no/such/dir/UmData.bin").c_str()));
    EXPECT_EQ(-1, BareNv().setRunFlag(3));
}

TEST_F(RunFlag, OverlongPathIsRefusedAndTheFileStays)
{
    EXPECT_EQ(-1, NvInterface::setRunFlagFile(std::string(300, 'x').c_str()));
    EXPECT_EQ(path_, NvInterface::runFlagFile());
}

} // namespace
