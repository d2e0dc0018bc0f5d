#include "phal/NvInterface.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kDefaultRunFlagFile[] = "/tmp/UmData.bin";
char g_runFlagFile[256] = "/tmp/UmData.bin";

constexpr uint32_t kPolynomial = 0xEDB88320u;

constexpr uint32_t crcEntry(uint32_t n)
{
    for (int k = 0; k < 8; k++)
        n = (n & 1) ? kPolynomial ^ (n >> 1) : n >> 1;
    return n;
}

// slice[k][n]: the register after byte n followed by k zero bytes, so eight
// bytes fold into the register with eight look-ups instead of eight steps.
struct Slices {
    uint32_t slice[8][256];
};

constexpr Slices makeSlices()
{
    Slices s{};
    for (uint32_t n = 0; n < 256; n++)
        s.slice[0][n] = crcEntry(n);
    for (int k = 1; k < 8; k++)
        for (int n = 0; n < 256; n++)
            s.slice[k][n] = (s.slice[k - 1][n] >> 8) ^ s.slice[0][s.slice[k - 1][n] & 0xFF];
    return s;
}

constexpr Slices kSlices = makeSlices();

inline uint32_t le32(const unsigned char* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

} // namespace

#define CRC_ROW4(n) crcEntry(n), crcEntry(n + 1), crcEntry(n + 2), crcEntry(n + 3)
#define CRC_ROW16(n) CRC_ROW4(n), CRC_ROW4(n + 4), CRC_ROW4(n + 8), CRC_ROW4(n + 12)
#define CRC_ROW64(n) CRC_ROW16(n), CRC_ROW16(n + 16), CRC_ROW16(n + 32), CRC_ROW16(n + 48)
const uint32_t crc_table[256] = {CRC_ROW64(0), CRC_ROW64(64), CRC_ROW64(128), CRC_ROW64(192)};
#undef CRC_ROW64
#undef CRC_ROW16
#undef CRC_ROW4

NvInterface::NvInterface() : m_UmData()
{
    m_UmData.m_RunFlag = 0;
}

NvInterface::~NvInterface() {}

unsigned long NvInterface::crc32(unsigned long crc, const char* buf, unsigned int len)
{
    if (!buf)
        return 0;
    const uint32_t(&t)[8][256] = kSlices.slice;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(buf);
    uint32_t c = ~uint32_t(crc);
    for (; len >= 8; len -= 8, p += 8) {
        uint32_t lo = c ^ le32(p);
        uint32_t hi = le32(p + 4);
        c = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^
            t[3][hi & 0xFF] ^ t[2][(hi >> 8) & 0xFF] ^ t[1][(hi >> 16) & 0xFF] ^ t[0][hi >> 24];
    }
    for (; len > 0; len--, p++)
        c = crc_table[(c ^ *p) & 0xFF] ^ (c >> 8);
    return ~c;
}

// The flag is written to a fresh file that then replaces the old one, so a
// reader never sees a half-written flag.
int NvInterface::setRunFlag(int iFlag)
{
    m_UmData.m_RunFlag = iFlag;
    char tmp[sizeof g_runFlagFile + 8];
    snprintf(tmp, sizeof tmp, "%s.XXXXXX", g_runFlagFile);
    int fd = mkstemp(tmp);
    if (fd < 0)
        return -1;
    fchmod(fd, 0644);
    ssize_t w = write(fd, &m_UmData, sizeof m_UmData);
    (void)w; // as before: a short write is not detected
    close(fd);
    if (rename(tmp, g_runFlagFile) != 0) {
        unlink(tmp);
        return -1;
    }
    return 0;
}

int NvInterface::getRunFlag()
{
    int fd = open(g_runFlagFile, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    ssize_t r = read(fd, &m_UmData, sizeof m_UmData);
    (void)r; // bytes not read keep their previous value
    close(fd);
    return m_UmData.m_RunFlag;
}

void NvInterface::initializeNv() {}

const char* NvInterface::runFlagFile()
{
    return g_runFlagFile;
}

int NvInterface::setRunFlagFile(const char* path)
{
    if (!path)
        path = kDefaultRunFlagFile;
    if (strlen(path) >= sizeof g_runFlagFile)
        return -1;
    strcpy(g_runFlagFile, path);
    return 0;
}
