#pragma once
// Controllers that send fixed-length binary frames and need no set-up command. Each format
// is one row: the line settings the port is opened with, the frame length, and two small
// decoders of a frame (byte 0 first, as it lies in m_packet). The handlers are thin glue
// over these rows; coordinates are raw controller units for the host's calibration.
//
//   eGalax (6 bytes)     A1/A0 | X hi | X lo 7 | Y hi | Y lo 7 | 41
//                        X = b1 << 7 | b2, Y = b3 << 7 | b4; A1 = touching
//   Crystal (17 bytes)   b5 = 0 or 1 touching; X = b7 + b8 * 256, Y = b9 + b10 * 256
//   EZScreen (5 bytes)   b0 bit 5 touching; X = (b1 & 3F) << 6 | (b2 & 3F), Y from b3, b4
//   EZScreen V6 (5)      b0 bit 0 touching; X = (b3 & 0F) << 7 | b4, Y = (b1 & 0F) << 7 | b2
//   IST (6 bytes)        b5 & 0F touching; X = (b0 & 3F) << 6 + (b1 & 3F), Y from b2, b3
//   DynaPro (3 bytes)    b0 = . T x9 x8 x7 y9 y8 y7 (T = 0x40 touching)
//                        X = b1 + ((b0 & 38) << 4), Y = b2 + ((b0 & 07) << 7)
//
// The sums are sums on purpose: a DynaPro low byte with bit 7 set carries into the high
// part rather than being masked by it.

#include <termios.h>

#include "contract/GfPoint.h"

namespace fixed_frame {

// 8 data bits, 1 stop bit, no parity, receiver on, modem lines ignored.
constexpr unsigned int kLine8N1 = CS8 | CREAD | CLOCAL;
// The same with RTS/CTS hardware flow control.
constexpr unsigned int kLine8N1Rtscts = kLine8N1 | CRTSCTS;
// Kept by the host; every controller of this kind passes 3.
constexpr int kFifth = 3;

struct Format {
    unsigned int cflag;
    unsigned int speed;  // termios speed code
    int length;          // bytes per frame
    bool (*touchDown)(const unsigned char* frame);
    GfPoint (*position)(const unsigned char* frame);
};

namespace decode {

constexpr int shifted(unsigned char byte, unsigned mask, int shift)
{
    return static_cast<int>((byte & mask) << shift);
}

inline bool eGalaxTouching(const unsigned char* f) { return f[0] == 0xA1; }
inline GfPoint eGalaxPosition(const unsigned char* f)
{
    return GfPoint(shifted(f[1], 0xFF, 7) | f[2], shifted(f[3], 0xFF, 7) | f[4]);
}

inline bool crystalTouching(const unsigned char* f) { return f[5] == 0 || f[5] == 1; }
inline GfPoint crystalPosition(const unsigned char* f)
{
    return GfPoint(f[7] + f[8] * 256, f[9] + f[10] * 256);
}

inline bool ezScreenTouching(const unsigned char* f) { return (f[0] & 0x20) != 0; }
inline GfPoint ezScreenPosition(const unsigned char* f)
{
    return GfPoint(shifted(f[1], 0x3F, 6) | (f[2] & 0x3F), shifted(f[3], 0x3F, 6) | (f[4] & 0x3F));
}

inline bool ezScreenV6Touching(const unsigned char* f) { return (f[0] & 0x01) != 0; }
inline GfPoint ezScreenV6Position(const unsigned char* f)
{
    return GfPoint(shifted(f[3], 0x0F, 7) | f[4], shifted(f[1], 0x0F, 7) | f[2]);
}

inline bool istTouching(const unsigned char* f) { return (f[5] & 0x0F) != 0; }
inline GfPoint istPosition(const unsigned char* f)
{
    return GfPoint(shifted(f[0], 0x3F, 6) + (f[1] & 0x3F), shifted(f[2], 0x3F, 6) + (f[3] & 0x3F));
}

inline bool dynaProTouching(const unsigned char* f) { return (f[0] & 0x40) != 0; }
inline GfPoint dynaProPosition(const unsigned char* f)
{
    return GfPoint(f[1] + shifted(f[0], 0x38, 4), f[2] + shifted(f[0], 0x07, 7));
}

} // namespace decode

constexpr Format kEGalax9600{kLine8N1, B9600, 6, decode::eGalaxTouching, decode::eGalaxPosition};
constexpr Format kEGalax57600{kLine8N1, B57600, 6, decode::eGalaxTouching,
                              decode::eGalaxPosition};
constexpr Format kCrystal{kLine8N1Rtscts, B115200, 17, decode::crystalTouching,
                          decode::crystalPosition};
constexpr Format kEZScreen{kLine8N1Rtscts, B38400, 5, decode::ezScreenTouching,
                           decode::ezScreenPosition};
constexpr Format kEZScreenV6{kLine8N1Rtscts, B9600, 5, decode::ezScreenV6Touching,
                             decode::ezScreenV6Position};
constexpr Format kIST{kLine8N1Rtscts, B9600, 6, decode::istTouching, decode::istPosition};
constexpr Format kDynaPro{kLine8N1Rtscts, B2400, 3, decode::dynaProTouching,
                          decode::dynaProPosition};

// eGalax status byte: only the two status values start a frame; the 57600-baud reader of
// the host takes any byte with one of these bits as a frame start.
namespace egalax {
constexpr unsigned char kTouching = 0xA1;
constexpr unsigned char kNotTouching = 0xA0;
constexpr unsigned char kTrailer = 0x41;  // 'A'
constexpr unsigned char kSyncBits = 0xA1;

constexpr bool inSync(unsigned char first) { return (first & kSyncBits) != 0; }
constexpr bool startsFrame(unsigned char b) { return b == kTouching || b == kNotTouching; }
} // namespace egalax

} // namespace fixed_frame
