#include "sim/i2c_eeprom/eeprom_model.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

namespace {

constexpr long long kMs = 1000000LL;

struct Part {
    eeprom_part p;
    long long now = 1000 * kMs;
    explicit Part(long fail_after = -1) { eeprom_init(&p, 5 * kMs, fail_after); }

    long write(int slave, std::vector<unsigned char> bytes)
    {
        int stored = 0;
        return eeprom_write(&p, slave, bytes.data(), bytes.size(), now, &stored);
    }
    std::vector<unsigned char> read(int slave, size_t n, long* rc = nullptr)
    {
        std::vector<unsigned char> out(n, 0);
        long r = eeprom_read(&p, slave, out.data(), n, now);
        if (rc)
            *rc = r;
        return out;
    }
    void settle() { now += 6 * kMs; }
};

TEST(EepromModel, BlankPartReadsAllOnes)
{
    Part part;
    ASSERT_EQ(1, part.write(0x54, {0x00}));
    EXPECT_EQ(std::vector<unsigned char>(256, 0xFF), part.read(0x54, 256));
}

TEST(EepromModel, WritesWrapInsideTheirPage)
{
    Part part;
    ASSERT_EQ(5, part.write(0x54, {0x0E, 1, 2, 3, 4}));
    EXPECT_EQ(1, part.p.mem[0x0E]);
    EXPECT_EQ(2, part.p.mem[0x0F]);
    EXPECT_EQ(3, part.p.mem[0x00]);
    EXPECT_EQ(4, part.p.mem[0x01]);
    EXPECT_EQ(0xFF, part.p.mem[0x10]);
}

TEST(EepromModel, SlaveAddressSelectsTheBlock)
{
    Part part;
    ASSERT_EQ(3, part.write(0x55, {0xFC, 0xAA, 0xBB}));
    EXPECT_EQ(0xAA, part.p.mem[0x1FC]);
    EXPECT_EQ(0xBB, part.p.mem[0x1FD]);
    part.settle();
    ASSERT_EQ(1, part.write(0x55, {0xFC}));
    EXPECT_EQ((std::vector<unsigned char>{0xAA, 0xBB, 0xFF}), part.read(0x55, 3));
}

TEST(EepromModel, ReadsRunSequentiallyFromTheCurrentAddress)
{
    Part part;
    for (int i = 0; i < 256; i++)
        part.p.mem[i] = static_cast<unsigned char>(i);
    ASSERT_EQ(1, part.write(0x54, {0x1E}));
    EXPECT_EQ((std::vector<unsigned char>{0x1E, 0x1F, 0x20}), part.read(0x54, 3));
    EXPECT_EQ((std::vector<unsigned char>{0x21}), part.read(0x54, 1));
}

TEST(EepromModel, NothingAnswersDuringTheWriteCycle)
{
    Part part;
    ASSERT_EQ(2, part.write(0x54, {0x00, 0x42}));
    part.now += 4 * kMs;
    errno = 0;
    EXPECT_EQ(-1, part.write(0x54, {0x00}));
    EXPECT_EQ(ENXIO, errno);
    long rc = 0;
    part.read(0x55, 1, &rc);
    EXPECT_EQ(-1, rc);
    part.now += 1 * kMs;
    EXPECT_EQ(1, part.write(0x54, {0x00}));
}

TEST(EepromModel, AnAddressOnlyWriteStartsNoWriteCycle)
{
    Part part;
    ASSERT_EQ(1, part.write(0x54, {0x10}));
    EXPECT_EQ(1, part.write(0x54, {0x20}));
}

TEST(EepromModel, OtherSlaveAddressesAreNotAcknowledged)
{
    Part part;
    for (int slave : {0x00, 0x50, 0x53, 0x56, 0x7F}) {
        EXPECT_FALSE(eeprom_slave_valid(slave)) << slave;
        EXPECT_EQ(-1, part.write(slave, {0x00})) << slave;
    }
}

TEST(EepromModel, DiesAfterTheGivenNumberOfWrites)
{
    Part part(2);
    ASSERT_EQ(2, part.write(0x54, {0x00, 0x11}));
    part.settle();
    ASSERT_EQ(2, part.write(0x54, {0x10, 0x22}));
    part.settle();
    EXPECT_EQ(-1, part.write(0x54, {0x20, 0x33}));
    long rc = 0;
    part.read(0x54, 1, &rc);
    EXPECT_EQ(-1, rc);
    EXPECT_EQ(0xFF, part.p.mem[0x20]);
}

} // namespace
