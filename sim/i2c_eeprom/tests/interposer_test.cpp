// /dev/i2c-0 as this process sees it with the emulator linked in: the image
// file, the transfer log, and the descriptors left to the C library.
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <linux/i2c-dev.h>
#include <stdlib.h>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vector>

namespace {

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class Interposer : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/i2csim.XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(tmpl));
        dir_ = tmpl;
        image_ = dir_ + "/part.bin";
        log_ = dir_ + "/bus.log";
        setenv("I2C_EEPROM_IMAGE", image_.c_str(), 1);
        setenv("I2C_EEPROM_LOG", log_.c_str(), 1);
        setenv("I2C_EEPROM_TWR_MS", "0", 1);
    }
    void TearDown() override
    {
        setenv("I2C_EEPROM_IMAGE", "/nonexistent/part.bin", 1);
        unsetenv("I2C_EEPROM_LOG");
        unsetenv("I2C_EEPROM_TWR_MS");
        unlink(image_.c_str());
        unlink(log_.c_str());
        rmdir(dir_.c_str());
    }
    int openPart(int slave)
    {
        int fd = open("/dev/i2c-0", O_RDWR);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(0, ioctl(fd, I2C_SLAVE, static_cast<unsigned long>(slave)));
        return fd;
    }

    std::string dir_, image_, log_;
};

TEST_F(Interposer, MissingImageBecomesABlankPartFile)
{
    int fd = openPart(0x54);
    close(fd);
    EXPECT_EQ(std::string(512, '\xFF'), slurp(image_));
}

TEST_F(Interposer, ShortImageIsPaddedAndPagesAreKept)
{
    {
        std::ofstream(image_, std::ios::binary) << "abc";
    }
    int fd = openPart(0x55);
    const unsigned char page[] = {0xF0, 'x', 'y'};
    EXPECT_EQ(3, write(fd, page, sizeof page));
    close(fd);
    std::string part = slurp(image_);
    ASSERT_EQ(512u, part.size());
    EXPECT_EQ("abc\xFF", part.substr(0, 4));
    EXPECT_EQ("xy", part.substr(0x1F0, 2));
}

TEST_F(Interposer, LogsEachAcknowledgedTransfer)
{
    int fd = openPart(0x54);
    const unsigned char frame[] = {0x00, 0x61, 0x3D, 0x0A};
    ASSERT_EQ(4, write(fd, frame, sizeof frame));
    ASSERT_EQ(1, write(fd, frame, 1));
    unsigned char back[12];
    ASSERT_EQ(12, read(fd, back, sizeof back));
    EXPECT_EQ(-1, ioctl(fd, I2C_SLAVE, 0x50UL));
    close(fd);
    EXPECT_EQ("W 54 00 61 3d 0a\nW 54 00\nR 54 12\n", slurp(log_));
}

TEST_F(Interposer, BusyPartRefusesTransfers)
{
    setenv("I2C_EEPROM_TWR_MS", "1000", 1);
    int fd = openPart(0x54);
    const unsigned char frame[] = {0x00, 0x01};
    ASSERT_EQ(2, write(fd, frame, sizeof frame));
    errno = 0;
    EXPECT_EQ(-1, write(fd, frame, 1));
    EXPECT_EQ(ENXIO, errno);
    close(fd);
    EXPECT_EQ("W 54 00 01\n", slurp(log_));
}

TEST_F(Interposer, ImageThatCannotBeKeptMeansNoDevice)
{
    setenv("I2C_EEPROM_IMAGE", (dir_ + "/missing/part.bin").c_str(), 1);
    EXPECT_EQ(-1, open("/dev/i2c-0", O_RDWR));
}

TEST_F(Interposer, OtherFilesAreLeftToTheCLibrary)
{
    std::string path = dir_ + "/plain";
    int fd = open(path.c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(5, write(fd, "hello", 5));
    EXPECT_EQ(-1, ioctl(fd, I2C_SLAVE, 0x54UL)); // not an I2C device
    EXPECT_EQ(0, lseek(fd, 0, SEEK_SET));
    char back[5];
    EXPECT_EQ(5, read(fd, back, 5));
    close(fd);
    EXPECT_EQ("hello", slurp(path));
    unlink(path.c_str());
}

} // namespace
