// The non-volatile device beneath the boot-variable store.
//
// A device holds a fixed-size image and a checksum stored beside it. On top of
// the device-specific operations this class gives every device the image
// checksum (CRC-32 as zlib computes it), a run flag kept in a small file in
// RAM-backed temporary storage, and an empty preparation hook.
#ifndef PHAL_NVINTERFACE_H
#define PHAL_NVINTERFACE_H

#include <stdint.h>

// The run flag as the process keeps it; the run-flag file holds exactly these
// bytes, in the processor's byte order.
typedef struct udata_s {
    int m_RunFlag;
} UmData_t;

// The table of the reflected CRC-32 polynomial 0xEDB88320 (entry 1 is 0x77073096).
extern const uint32_t crc_table[256];

class NvInterface {
public:
    NvInterface();
    virtual ~NvInterface();

    // Stores len image bytes and the checksum; 0 on success, non-zero on failure.
    virtual int setData(char* data, int len, unsigned long crc) = 0;
    // Fills buf with getDataSize() bytes; non-zero on success, 0 on failure.
    virtual int getData(char* buf) = 0;
    virtual int getDataSize() = 0;
    virtual unsigned long getDataCrc() = 0;
    // zlib's calling convention: crc is the value for the data before, 0 to start.
    virtual unsigned long crc32(unsigned long crc, const char* buf, unsigned int len);
    virtual int getRunFlag();
    virtual int setRunFlag(int iFlag);
    virtual void initializeNv();

    // The run-flag file, "/tmp/UmData.bin" unless moved (tests keep off the real one).
    static const char* runFlagFile();
    // null restores the default; -1 (and no change) for a path that does not fit.
    static int setRunFlagFile(const char* path);

private:
    UmData_t m_UmData;
};

#endif
