// The process-wide I2C bus lock that threads sharing the bus bracket their
// transfers with.
#include "phal/ZorlanNvInterface.h"
#include "phal/tests/NvTestSupport.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

int lockFromAnotherThread(long timeoutMs)
{
    int rc = 0;
    std::thread other([&] {
        rc = I2CNvInterface::takeI2cSemaphore(timeoutMs);
        if (rc == 0)
            I2CNvInterface::giveI2cSemaphore();
    });
    other.join();
    return rc;
}

TEST(BusLock, HeldLockKeepsOtherThreadsOut)
{
    nvtest::EmulatedPart part;
    ZorlanNvInterface device;
    ASSERT_EQ(0, I2CNvInterface::takeI2cSemaphore(-1));
    EXPECT_EQ(0, I2CNvInterface::takeI2cSemaphore(0)); // recursive for its owner
    I2CNvInterface::giveI2cSemaphore();
    EXPECT_EQ(-1, lockFromAnotherThread(0));
    EXPECT_EQ(-1, lockFromAnotherThread(20));
    I2CNvInterface::giveI2cSemaphore();
    EXPECT_EQ(0, lockFromAnotherThread(-1));
}

} // namespace
