// The panel's boot-variable EEPROM: 512 bytes on I2C adapter 0, answering at
// slave 0x54 for bytes 0..255 and 0x55 for bytes 256..511 (0x54 | bit 8 of the
// byte address), with one word-address byte (the low 8 bits).
//
//   bytes   0..507  the image (getDataSize() is 508)
//   bytes 508..511  CRC-32 of bytes 0..507, little-endian
//
// Reads may run to the end of a 256-byte block. Writes go in pages of at most
// 16 bytes that do not cross a 16-byte boundary, each followed by a 10 ms
// pause for the part's write cycle.
//
// This file also holds the nvset program (nvsetMain).
#ifndef PHAL_ZORLANNVINTERFACE_H
#define PHAL_ZORLANNVINTERFACE_H

#include "phal/I2CNvInterface.h"

class ZorlanNvInterface : public I2CNvInterface {
public:
    ZorlanNvInterface();
    virtual ~ZorlanNvInterface();

    virtual int setData(char* data, int len, unsigned long crc);
    // Reads the image and then the checksum beside it; 0 if either read fails,
    // so a store never mistakes an unreadable checksum for a corrupt image.
    virtual int getData(char* buf);
    virtual int getDataSize();
    // The checksum read with the image by the last getData(), or the one last
    // stored; otherwise read from the part (0 if that read fails).
    virtual unsigned long getDataCrc();

    // length bytes from address, in pieces that stay inside a 256-byte block;
    // 1 if any piece failed (all are attempted) or the range is outside the part.
    int eepromRead(int address, char* buf, int length);
    // length bytes to address, in pages, pausing after each; -1 if any failed.
    int eepromWrite(int address, char* buf, int length);

protected:
    virtual int i2cRead(int device, int address, int addressLength, char* buf, int length);
    virtual int i2cWrite(int device, int address, int addressLength, char* buf, int length);

private:
    int readPieces(int address, char* buf, int length);
    int writePages(int address, const char* buf, int length);
    int readCrc(unsigned long* crc);

    unsigned long m_lCrc; // checksum last read with the image or stored
    bool m_bCrcKnown;
};

// nvset NAME VALUE: stores one boot variable; with any other number of
// arguments it stores the fail-safe "rdinit". Always returns 0.
int nvsetMain(int argc, char** argv);

#endif
