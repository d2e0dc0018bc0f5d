#include "phal/ZorlanNvInterface.h"

#include "phal/NvData.h"
#include "util/Logger.h"

#include <errno.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

namespace {

const int kPartSize = 512;
const int kImageSize = 508;
const int kCrcAddress = 508;
const int kBlockSize = 256;
const int kPageSize = 16;
const int kSlaveBase = 0x54;
const int kMaxFrame = 264;
const int kMaxAddressLength = 4;
const long kWriteCycleNs = 10000000L;

const int kWarn = 2;
const int kError = 3;

int slaveFor(int address)
{
    return kSlaveBase | ((address >> 8) & 1);
}

bool inPart(int address, const char* buf, int length)
{
    return address >= 0 && length >= 0 && length <= kPartSize - address && (buf || length == 0);
}

// The address bytes of a transfer, most significant first.
void putAddress(unsigned char* out, int address, int addressLength)
{
    for (int i = 0; i < addressLength; i++)
        out[i] = static_cast<unsigned char>(static_cast<unsigned>(address) >>
                                            (8 * (addressLength - 1 - i)));
}

// The part's write cycle; a pause cut short by a signal sleeps what remains.
int writeCyclePause()
{
    struct timespec left = {0, kWriteCycleNs};
    while (nanosleep(&left, &left) != 0)
        if (errno != EINTR)
            return -1;
    return 0;
}

void warnBadCall(const char* what, int address, int addressLength, int length)
{
    Logger::Instance()->DiagnosticString(
        oidPhal, kWarn, "ZorlanNvInterface::%s : bad arguments address=%x alen=%d len=%d", what,
        address, addressLength, length);
}

} // namespace

ZorlanNvInterface::ZorlanNvInterface() : m_lCrc(0), m_bCrcKnown(false) {}

ZorlanNvInterface::~ZorlanNvInterface() {}

int ZorlanNvInterface::getDataSize()
{
    return kImageSize;
}

int ZorlanNvInterface::i2cWrite(int device, int address, int addressLength, char* buf, int length)
{
    if (addressLength < 0 || addressLength > kMaxAddressLength || length < 0 ||
        length > kMaxFrame - addressLength || (!buf && length > 0)) {
        warnBadCall("i2cWrite", address, addressLength, length);
        return -1;
    }
    if (i2cSetAddr(device) != 0)
        return -2;
    unsigned char frame[kMaxFrame];
    putAddress(frame, address, addressLength);
    if (length > 0)
        memcpy(frame + addressLength, buf, static_cast<size_t>(length));
    int frameLength = addressLength + length;
    ssize_t w = write(m_iFd, frame, static_cast<size_t>(frameLength));
    if (w != frameLength) {
        Logger::Instance()->DiagnosticString(
            oidPhal, kError, "ZorlanNvInterface::i2cWrite : Error in write %x errno=%x",
            static_cast<int>(w), errno);
        return -1;
    }
    return 0;
}

int ZorlanNvInterface::i2cRead(int device, int address, int addressLength, char* buf, int length)
{
    if (addressLength < 0 || addressLength > kMaxAddressLength || length < 0 ||
        (!buf && length > 0)) {
        warnBadCall("i2cRead", address, addressLength, length);
        return -1;
    }
    if (i2cSetAddr(device) != 0)
        return -2;
    if (addressLength > 0) {
        unsigned char frame[kMaxAddressLength];
        putAddress(frame, address, addressLength);
        ssize_t w = write(m_iFd, frame, static_cast<size_t>(addressLength));
        if (w != addressLength) {
            Logger::Instance()->DiagnosticString(
                oidPhal, kError, "ZorlanNvInterface::i2cRead : Error in write %x",
                static_cast<int>(w));
            return -1;
        }
    }
    ssize_t r = read(m_iFd, buf, static_cast<size_t>(length));
    if (r != length) {
        Logger::Instance()->DiagnosticString(
            oidPhal, kError, "ZorlanNvInterface::i2cread : Error in read %x", static_cast<int>(r));
        return -1;
    }
    return 0;
}

// Pieces end at a block boundary or at the end of the range; all are tried.
int ZorlanNvInterface::readPieces(int address, char* buf, int length)
{
    int failed = 0;
    for (int done = 0; done < length;) {
        int at = address + done;
        int n = kBlockSize - at % kBlockSize;
        if (n > length - done)
            n = length - done;
        if (i2cRead(slaveFor(at), at & 0xFF, 1, buf + done, n) != 0)
            failed = 1;
        done += n;
    }
    return failed;
}

// Pages end at a 16-byte boundary; a failed page does not stop the others, a
// failed pause does.
int ZorlanNvInterface::writePages(int address, const char* buf, int length)
{
    int result = 0;
    for (int done = 0; done < length;) {
        int at = address + done;
        int n = kPageSize - at % kPageSize;
        if (n > length - done)
            n = length - done;
        if (i2cWrite(slaveFor(at), at & 0xFF, 1, const_cast<char*>(buf + done), n) != 0)
            result = -1;
        done += n;
        if (writeCyclePause() != 0)
            return -1;
    }
    return result;
}

int ZorlanNvInterface::readCrc(unsigned long* crc)
{
    unsigned char b[4];
    if (readPieces(kCrcAddress, reinterpret_cast<char*>(b), 4) != 0)
        return -1;
    *crc = static_cast<unsigned long>(b[0]) | static_cast<unsigned long>(b[1]) << 8 |
           static_cast<unsigned long>(b[2]) << 16 | static_cast<unsigned long>(b[3]) << 24;
    return 0;
}

int ZorlanNvInterface::getData(char* buf)
{
    m_bCrcKnown = false;
    if (!buf)
        return 0;
    if (readPieces(0, buf, kImageSize) != 0)
        return 0;
    if (readCrc(&m_lCrc) != 0) {
        Logger::Instance()->DiagnosticString(
            oidPhal, kError, "ZorlanNvInterface::getData : Error reading the checksum");
        return 0;
    }
    m_bCrcKnown = true;
    return kImageSize;
}

unsigned long ZorlanNvInterface::getDataCrc()
{
    if (m_bCrcKnown)
        return m_lCrc;
    unsigned long crc = 0;
    if (readCrc(&crc) != 0) {
        Logger::Instance()->DiagnosticString(
            oidPhal, kError, "ZorlanNvInterface::getDataCrc : Error reading the checksum");
        return 0;
    }
    return crc;
}

int ZorlanNvInterface::setData(char* data, int len, unsigned long crc)
{
    if (len < 0 || len > getDataSize() || (!data && len > 0)) {
        warnBadCall("setData", 0, 1, len);
        return -1;
    }
    unsigned char part[kPartSize] = {};
    if (len > 0)
        memcpy(part, data, static_cast<size_t>(len));
    for (int i = 0; i < 4; i++)
        part[kCrcAddress + i] = static_cast<unsigned char>(crc >> (8 * i));
    m_bCrcKnown = false;
    int rc = writePages(0, reinterpret_cast<char*>(part), kPartSize);
    if (rc == 0) {
        m_lCrc = crc & 0xFFFFFFFFUL;
        m_bCrcKnown = true;
    }
    return rc;
}

int ZorlanNvInterface::eepromRead(int address, char* buf, int length)
{
    if (!inPart(address, buf, length)) {
        warnBadCall("eepromRead", address, 1, length);
        return 1;
    }
    return readPieces(address, buf, length);
}

int ZorlanNvInterface::eepromWrite(int address, char* buf, int length)
{
    if (!inPart(address, buf, length)) {
        warnBadCall("eepromWrite", address, 1, length);
        return -1;
    }
    m_bCrcKnown = false;
    return writePages(address, buf, length);
}

int nvsetMain(int argc, char** argv)
{
    // The device and the store live until the program ends.
    ZorlanNvInterface device;
    NvData store(&device);
    const char* name = "rdinit";
    const char* value = "rdinit=/init";
    if (argc == 3) {
        name = argv[1];
        value = argv[2];
        Logger::Instance()->DebugString("Setting %s = %s", name, value);
    } else {
        Logger::Instance()->DebugString("Failsafe Setting %s = %s", name, value);
    }
    store.setNv(name, value);
    return 0;
}
