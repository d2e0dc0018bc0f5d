#include "phal/I2CNvInterface.h"

#include "util/Logger.h"

#include <errno.h>
#include <fcntl.h>
#include <linux/i2c-dev.h>
#include <stdio.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {
const int kAdapter = 0;
const int kError = 3;
const int kInfo = 1;
} // namespace

MxMutex I2CNvInterface::m_i2cMutex = nullptr;

I2CNvInterface::I2CNvInterface() : m_iFd(-1), m_cFileName()
{
    m_i2cMutex = mxMutexCreate();
    i2cOpen();
}

I2CNvInterface::~I2CNvInterface()
{
    i2cClose();
    mxMutexDestroy(m_i2cMutex);
    m_i2cMutex = nullptr;
}

int I2CNvInterface::takeI2cSemaphore(long lTimeout)
{
    return mxMutexLock(m_i2cMutex, lTimeout);
}

void I2CNvInterface::giveI2cSemaphore()
{
    mxMutexUnlock(m_i2cMutex);
}

int I2CNvInterface::i2cOpen()
{
    if (m_iFd >= 0)
        return m_iFd;
    snprintf(m_cFileName, sizeof m_cFileName, "/dev/i2c-%d", kAdapter);
    int fd = open(m_cFileName, O_RDWR);
    if (fd < 0) {
        Logger::Instance()->DiagnosticString(
            oidPhal, kError, "JQNvInterface::i2cOpen : Error opening i2c_device file: %s errno=%x",
            m_cFileName, errno);
        return -1;
    }
    Logger::Instance()->DiagnosticString(oidPhal, kInfo, "JQNvInterface::i2cOpen : fd=%x", fd);
    m_iFd = fd;
    return fd;
}

void I2CNvInterface::i2cClose()
{
    if (m_iFd >= 0)
        close(m_iFd);
    m_iFd = -1;
}

int I2CNvInterface::i2cSetAddr(int device)
{
    if (m_iFd < 0 || ioctl(m_iFd, I2C_SLAVE, static_cast<unsigned long>(device)) < 0) {
        // a closed device fails here too, without touching the bus
        int err = m_iFd < 0 ? EBADF : errno;
        Logger::Instance()->DiagnosticString(
            oidPhal, kError,
            "I2CNvInterface::i2cSetAddr : Error ioctl i2c_device errno=%x closing file:%x %s", err,
            m_iFd, m_cFileName);
        i2cClose();
        return -1;
    }
    return 0;
}
