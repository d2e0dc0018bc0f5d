// An NV device on a Linux I2C character device ("/dev/i2c-0"): opening it,
// selecting the slave address, closing it, and the process-wide bus lock.
//
// Only one object exists at a time: each constructor creates the bus lock and
// each destructor destroys it. The transfers do not take the lock themselves;
// threads that share the bus bracket each sequence of transfers with
// takeI2cSemaphore() and giveI2cSemaphore().
#ifndef PHAL_I2CNVINTERFACE_H
#define PHAL_I2CNVINTERFACE_H

#include "mx/mx.h"
#include "phal/NvInterface.h"

class I2CNvInterface : public NvInterface {
public:
    I2CNvInterface();
    virtual ~I2CNvInterface();

    static int takeI2cSemaphore(long lTimeout); // milliseconds, -1 for no limit
    static void giveI2cSemaphore();

protected:
    // Transfers: 0 on success, -1 for a failed read or write, -2 if selecting
    // the slave address failed.
    virtual int i2cRead(int device, int address, int addressLength, char* buf, int length) = 0;
    virtual int i2cWrite(int device, int address, int addressLength, char* buf, int length) = 0;
    virtual int i2cOpen();
    virtual void i2cClose();
    virtual int i2cSetAddr(int device);

    int m_iFd;

private:
    char m_cFileName[20];
    static MxMutex m_i2cMutex;
};

#endif
