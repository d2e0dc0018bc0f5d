#pragma once
// The Magnus controller's framed protocol.
//
//   byte 0       header: low nibble L (0..14), high nibble 15 - L; the frame is L + 3 bytes
//   byte 1       frame type
//   byte 2..L+1  data
//   byte L+2     checksum: XOR of bytes 0..L+1
//
// Frame types:
//   0x00 touch status      byte 3 bit 0 set = touching; acknowledged by the handler
//   0x02 controller data   byte 2 bit 3 set = the controller asks for the new-data command
//   0x03 message           logged only
//   0x04 coordinates       byte 2 bit 7 set = touching; x = (byte 4 >> 4) * 256 + byte 3,
//                          y = (byte 4 & 0x0F) * 256 + byte 5
//   0x80 message           logged during start-up
//
// A frame is read for its data only when it is long enough to carry them; a shorter one is
// a message of unknown kind (what the bytes beyond it hold belongs to an earlier frame).

#include "contract/GfPoint.h"

namespace magnus {

constexpr int kMaxFrame = 14 + 3;

enum Type : unsigned char {
    kStatus = 0x00,
    kControllerData = 0x02,
    kMessage = 0x03,
    kCoordinates = 0x04,
    kStartMessage = 0x80,
};

constexpr unsigned char kAcknowledge[] = {0xE1, 0x00, 0x01, 0xE0};
constexpr unsigned char kRawDeviceData[] = {0xF0, 0x02, 0xF2};
constexpr unsigned char kNewData[] = {0xD2, 0x02, 0x08, 0x00, 0xD8};

constexpr int dataLength(unsigned char header) { return header & 0x0F; }

constexpr bool validHeader(unsigned char header)
{
    return dataLength(header) < 15 && (header >> 4) == 15 - dataLength(header);
}

// Bytes in the frame that `header` starts (meaningful for a valid header).
constexpr int frameSize(unsigned char header) { return dataLength(header) + 3; }

// The XOR of bytes 0..L+1 against byte L+2, L from byte 0. Reads frameSize(data[0]) bytes.
inline bool checksumValid(const unsigned char* data)
{
    const int last = dataLength(data[0]) + 2;
    unsigned char sum = 0;
    for (int i = 0; i < last; ++i)
        sum = static_cast<unsigned char>(sum ^ data[i]);
    return sum == data[last];
}

// True when `frame` (a valid, complete frame) is long enough for what its type is read for.
constexpr bool carriesItsData(const unsigned char* frame)
{
    switch (frame[1]) {
    case kStatus:
        return dataLength(frame[0]) >= 2;  // byte 3
    case kControllerData:
        return dataLength(frame[0]) >= 1;  // byte 2
    case kCoordinates:
        return dataLength(frame[0]) >= 4;  // bytes 2 to 5
    default:
        return true;
    }
}

constexpr bool statusTouching(const unsigned char* frame) { return (frame[3] & 0x01) != 0; }
constexpr bool coordinatesTouching(const unsigned char* frame) { return (frame[2] & 0x80) != 0; }
constexpr bool wantsNewData(const unsigned char* frame) { return (frame[2] & 0x08) != 0; }

inline GfPoint position(const unsigned char* frame)
{
    return GfPoint((frame[4] >> 4) * 256 + frame[3], (frame[4] & 0x0F) * 256 + frame[5]);
}

// A pass-through block of `count` bytes: leading bytes are dropped (the rest moves forward)
// until the block starts with a valid header and a whole frame inside the block whose
// checksum holds, or none is left. Returns the bytes that remain.
int repairBlock(unsigned char* data, int count);

} // namespace magnus
