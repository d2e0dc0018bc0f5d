#pragma once
// SMART serial controllers speak one of two protocols, named after the handler's routines
// that switch to them:
//
//   sc6 (8N1)  six-byte frames: byte 0 = low and byte 5 = high byte of a 16-bit checksum,
//              the plain sum of bytes 1..4; byte 1 is the frame type
//                0x11 touch report  x = (byte 4 & 0x0F) * 256 + byte 2,
//                                   y = (byte 4 >> 4) * 256 + byte 3
//                0xA4 status        byte 2 bit 7 set = touching
//   sc4 (8 data bits, odd parity, 2 stop bits)  six-byte frames starting 0x55, 0xAA

#include "contract/GfPoint.h"

namespace smarttech {

enum Protocol { kSc4 = 0, kSc6 = 1, kUnknown = 2 };

constexpr int kFrameSize = 6;
constexpr int kSyncShifts = 11;  // one-byte shifts a frame hunt may take

constexpr unsigned char kTouchReport = 0x11;
constexpr unsigned char kStatus = 0xA4;

constexpr unsigned char kSc4ModeCommand[kFrameSize] = {0x55, 0xAA, 0x20, 0x00, 0x00, 0x03};
constexpr unsigned char kSc6ModeCommand[kFrameSize] = {0x1C, 0x18, 0x00, 0x00, 0x04, 0x00};
constexpr unsigned char kStatusReply[kFrameSize] = {0x14, 0x14, 0x00, 0x00, 0x00, 0x00};

constexpr bool sc6ChecksumValid(const unsigned char* f)
{
    return (f[0] | (f[5] << 8)) == f[1] + f[2] + f[3] + f[4];
}

constexpr bool sc4Valid(const unsigned char* f) { return f[0] == 0x55 && f[1] == 0xAA; }

// Whether six bytes are a frame of `protocol`; nothing passes while it is unknown.
constexpr bool frameValid(const unsigned char* f, int protocol)
{
    return protocol == kSc6 ? sc6ChecksumValid(f) : protocol == kSc4 ? sc4Valid(f) : false;
}

inline GfPoint position(const unsigned char* f)
{
    return GfPoint((f[4] & 0x0F) * 256 + f[2], (f[4] >> 4) * 256 + f[3]);
}

constexpr bool statusTouching(const unsigned char* f) { return (f[2] & 0x80) != 0; }

} // namespace smarttech
