// The EEPROM device on the emulated part of this process: what goes over the
// bus for a load and a store, and how failures of the bus reach the store.
#include "phal/NvData.h"
#include "phal/ZorlanNvInterface.h"
#include "phal/tests/NvTestSupport.h"

#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

using nvtest::EmulatedPart;
using nvtest::LogCapture;

// Opens the transfers for direct calls.
class BusProbe : public ZorlanNvInterface {
public:
    using ZorlanNvInterface::i2cClose;
    using ZorlanNvInterface::i2cOpen;
    using ZorlanNvInterface::i2cRead;
    using ZorlanNvInterface::i2cSetAddr;
    using ZorlanNvInterface::i2cWrite;
    int fd() const { return m_iFd; }
};

std::string hexBytes(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char b : bytes) {
        out += ' ';
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

std::string pageLine(int slave, int word, const std::string& data)
{
    return "W " + hexBytes(std::string(1, static_cast<char>(slave))).substr(1) +
           hexBytes(std::string(1, static_cast<char>(word)) + data);
}

// On the Itanium C++ ABI a pointer to a virtual member function holds 1 + the
// byte offset of its slot; where code addresses may be odd (MIPS, ARM) it holds
// the offset itself and flags "virtual" in the low bit of the adjustment. The
// virtual destructor takes the first two slots.
template <typename Pmf>
size_t slotOf(Pmf pmf)
{
    struct {
        uintptr_t ptr;
        ptrdiff_t adj;
    } raw;
    static_assert(sizeof(raw) == sizeof(pmf), "Itanium member-function pointer");
    memcpy(&raw, &pmf, sizeof raw);
    uintptr_t offset = (raw.adj & 1) ? raw.ptr : raw.ptr - 1;
    return offset / sizeof(void*);
}

TEST(EepromDevice, VirtualOperationsKeepTheirSlots)
{
    EXPECT_EQ(2u, slotOf(&BusProbe::setData));
    EXPECT_EQ(3u, slotOf(&BusProbe::getData));
    EXPECT_EQ(4u, slotOf(&BusProbe::getDataSize));
    EXPECT_EQ(5u, slotOf(&BusProbe::getDataCrc));
    EXPECT_EQ(6u, slotOf(&BusProbe::crc32));
    EXPECT_EQ(7u, slotOf(&BusProbe::getRunFlag));
    EXPECT_EQ(8u, slotOf(&BusProbe::setRunFlag));
    EXPECT_EQ(9u, slotOf(&BusProbe::initializeNv));
    EXPECT_EQ(10u, slotOf(&BusProbe::i2cRead));
    EXPECT_EQ(11u, slotOf(&BusProbe::i2cWrite));
    EXPECT_EQ(12u, slotOf(&BusProbe::i2cOpen));
    EXPECT_EQ(13u, slotOf(&BusProbe::i2cClose));
    EXPECT_EQ(14u, slotOf(&BusProbe::i2cSetAddr));
}

class EepromBus : public ::testing::Test {
protected:
    EmulatedPart part_;
};

TEST_F(EepromBus, LoadReadsTheImageByBlockThenTheChecksum)
{
    part_.store(nvtest::partImage(std::string("a=1\0", 4)));
    LogCapture log;
    ZorlanNvInterface device;
    NvData store(&device);
    EXPECT_TRUE(store.isDataValid());
    EXPECT_EQ(1, log.count("Info :NvData::NvData Good CRC\n"));
    EXPECT_EQ((std::vector<std::string>{"W 54 00", "R 54 256", "W 55 00", "R 55 252", "W 55 fc",
                                        "R 55 4"}),
              part_.traffic());
}

TEST_F(EepromBus, ChecksumAloneIsReadFromTheEndOfTheSecondBlock)
{
    part_.store(nvtest::partImage("", nullptr).substr(0, 508) + std::string("\x78\x56\x34\x12", 4));
    ZorlanNvInterface device;
    part_.clearTraffic();
    EXPECT_EQ(0x12345678UL, device.getDataCrc());
    EXPECT_EQ((std::vector<std::string>{"W 55 fc", "R 55 4"}), part_.traffic());
}

TEST_F(EepromBus, StoreWritesThirtyTwoPagesWithTheChecksumLast)
{
    ZorlanNvInterface device;
    std::string image;
    for (int i = 0; i < 508; i++)
        image.push_back(static_cast<char>(i * 7));
    part_.clearTraffic();
    ASSERT_EQ(0, device.setData(&image[0], 508, 0x11223344UL));

    std::string expected = image + std::string("\x44\x33\x22\x11", 4);
    std::vector<std::string> pages;
    for (int k = 0; k < 32; k++)
        pages.push_back(pageLine(0x54 | ((16 * k) >> 8), (16 * k) & 0xFF, expected.substr(16 * k, 16)));
    EXPECT_EQ(pages, part_.traffic());
    EXPECT_EQ(expected, part_.image());
    EXPECT_EQ(0x11223344UL, device.getDataCrc());
}

TEST_F(EepromBus, ShortImageIsPaddedWithZeros)
{
    ZorlanNvInterface device;
    char data[] = "a=1";
    ASSERT_EQ(0, device.setData(data, 4, 0));
    EXPECT_EQ(std::string("a=1", 4) + std::string(508, '\0'), part_.image());
    std::string before = part_.image();
    EXPECT_NE(0, device.setData(data, 509, 0));
    EXPECT_EQ(before, part_.image());
}

TEST_F(EepromBus, FramesOfTheTransfers)
{
    part_.writeCycleMs(0); // back-to-back transfers without the store's pauses
    BusProbe probe;
    char ab[] = "\xAB";
    part_.clearTraffic();
    EXPECT_EQ(0, probe.i2cWrite(0x54, 0x1234, 2, ab, 1));
    EXPECT_EQ(0, probe.i2cWrite(0x55, 0x7F, 1, ab, 0));
    char buf[3];
    EXPECT_EQ(0, probe.i2cRead(0x54, 0, 0, buf, 3)); // no address phase
    EXPECT_EQ((std::vector<std::string>{"W 54 12 34 ab", "W 55 7f", "R 54 3"}), part_.traffic());
}

TEST_F(EepromBus, TransferArgumentsOutsideTheFrameAreRefused)
{
    BusProbe probe;
    std::vector<char> big(300, 'x');
    part_.clearTraffic();
    EXPECT_EQ(-1, probe.i2cWrite(0x54, 0, 5, big.data(), 1));
    EXPECT_EQ(-1, probe.i2cWrite(0x54, 0, 1, big.data(), 264));
    EXPECT_EQ(-1, probe.i2cWrite(0x54, 0, 1, nullptr, 4));
    EXPECT_EQ(-1, probe.i2cRead(0x54, 0, -1, big.data(), 1));
    EXPECT_EQ(-1, probe.i2cRead(0x54, 0, 1, big.data(), -1));
    EXPECT_EQ(0, probe.i2cWrite(0x54, 0, 1, big.data(), 263)); // the largest frame
    EXPECT_EQ(1u, part_.traffic().size());
}

TEST_F(EepromBus, FailedAddressSelectionClosesTheDeviceForGood)
{
    LogCapture log;
    BusProbe probe;
    ASSERT_GE(probe.fd(), 0);
    EXPECT_EQ(1, log.count("Info :JQNvInterface::i2cOpen : fd="));
    part_.clearTraffic();
    char buf[4] = {};
    EXPECT_EQ(-2, probe.i2cWrite(0x50, 0, 1, buf, 1));
    EXPECT_EQ(-1, probe.fd());
    EXPECT_EQ(-2, probe.i2cRead(0x54, 0, 1, buf, 1));
    EXPECT_EQ(-2, probe.i2cWrite(0x54, 0, 1, buf, 1));
    EXPECT_EQ(3, log.count("ERROR:I2CNvInterface::i2cSetAddr : Error ioctl i2c_device errno="));
    EXPECT_EQ(2, log.count("closing file:ffffffff /dev/i2c-0"));
    EXPECT_TRUE(part_.traffic().empty());
}

TEST_F(EepromBus, EepromWriteSplitsAtPageBoundariesAndWaitsOutEachCycle)
{
    part_.writeCycleMs(9); // a missing pause would meet a part still busy
    ZorlanNvInterface device;
    char data[20];
    for (int i = 0; i < 20; i++)
        data[i] = static_cast<char>(0xA0 + i);
    part_.clearTraffic();
    ASSERT_EQ(0, device.eepromWrite(10, data, 20));
    EXPECT_EQ((std::vector<std::string>{pageLine(0x54, 0x0A, std::string(data, 6)),
                                        pageLine(0x54, 0x10, std::string(data + 6, 14))}),
              part_.traffic());
    char back[20];
    ASSERT_EQ(0, device.eepromRead(10, back, 20));
    EXPECT_EQ(std::string(data, 20), std::string(back, 20));
}

TEST_F(EepromBus, EepromReadStaysInsideBlocksAndThePart)
{
    ZorlanNvInterface device;
    std::vector<char> buf(512);
    part_.clearTraffic();
    EXPECT_EQ(0, device.eepromRead(250, buf.data(), 10));
    EXPECT_EQ((std::vector<std::string>{"W 54 fa", "R 54 6", "W 55 00", "R 55 4"}),
              part_.traffic());
    EXPECT_EQ(1, device.eepromRead(500, buf.data(), 13));
    EXPECT_EQ(1, device.eepromRead(-1, buf.data(), 2));
    EXPECT_EQ(-1, device.eepromWrite(511, buf.data(), 2));
    EXPECT_EQ(4u, part_.traffic().size());
}

TEST_F(EepromBus, BlankPartIsAnEmptyStoreAndTakesTheFirstVariable)
{
    LogCapture log;
    ZorlanNvInterface device;
    NvData store(&device);
    EXPECT_EQ(1, log.count("ERROR:NvData::NvData Mismatch CRC \n"));
    ASSERT_EQ(0, store.setNv("a", "1"));
    std::string image = part_.image();
    EXPECT_EQ(std::string("a=1\0\0", 5) + std::string(503, '\0'), image.substr(0, 508));
    EXPECT_TRUE(nvtest::crcMatches(image));
}

TEST_F(EepromBus, NoDeviceLeavesTheStoreUnusable)
{
    setenv("I2C_EEPROM_IMAGE", part_.dir().file("missing/eeprom.bin").c_str(), 1);
    LogCapture log;
    ZorlanNvInterface device;
    NvData store(&device);
    EXPECT_EQ(1, log.count("ERROR:JQNvInterface::i2cOpen : Error opening i2c_device file: "
                           "/dev/i2c-0 errno=2\n"));
    EXPECT_EQ(1, log.count("ERROR:NvData::NvData Failed getData\n"));
    EXPECT_EQ(-1, store.setNv("a", "1"));
    EXPECT_EQ(1, log.count("NvData::setNv isDataValid() == FALSE, value not written"));
}

// The image reads, the checksum beside it does not: the store must not take
// the good image for a corrupt one and overwrite it.
TEST_F(EepromBus, UnreadableChecksumIsAFailedLoadNotAnEmptyStore)
{
    const std::string good = nvtest::partImage(std::string("keep=me\0", 8));
    part_.store(good);
    part_.failAfter(2); // the two block reads' address phases, not the checksum's
    LogCapture log;
    ZorlanNvInterface device;
    NvData store(&device);
    EXPECT_FALSE(store.isDataValid());
    EXPECT_EQ(0, log.count("Mismatch CRC"));
    EXPECT_EQ(-1, store.setNv("a", "1"));
    EXPECT_EQ(good, part_.image());
}

TEST_F(EepromBus, PartThatStopsAnsweringMidStoreIsAFailure)
{
    part_.store(nvtest::partImage(std::string("old=1\0", 6)));
    part_.failAfter(3 + 10); // the load, then ten pages
    ZorlanNvInterface device;
    NvData store(&device);
    ASSERT_TRUE(store.isDataValid());
    LogCapture log;
    EXPECT_EQ(-1, store.setNv("new", "2"));
    EXPECT_EQ(22, log.count("ZorlanNvInterface::i2cWrite : Error in write ffffffff errno="));
    EXPECT_FALSE(nvtest::crcMatches(part_.image())); // the next load starts empty
}

} // namespace
