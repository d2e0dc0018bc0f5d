#pragma once
// Wire format of the MicroTouch SX112 controller.
//
// Commands: SOH, up to 16 command letters, CR. Each is answered by SOH, a fixed number of
// reply characters (1 for most commands, 6 for the identity) and CR.
//
// Report (five bytes, 12-bit coordinates):
//   byte 0   1 T . . . . . .    bit 7 marks a packet start, T (bit 6) = touching
//   byte 1   x3 x2 x1 x0 . . . .  low nibble of x in the high half
//   byte 2   x11 .. x4            x = byte2 * 16 + (byte1 >> 4)
//   byte 3   y3 y2 y1 y0 . . . .
//   byte 4   y11 .. y4            y = byte4 * 16 + (byte3 >> 4)
#include <string>

namespace sx112 {

constexpr char kSOH = 0x01;
constexpr char kCR = 0x0D;
constexpr unsigned kMaxNameLength = 16;
constexpr unsigned kMaxDescriptionLength = 32;

// SOH, the command letters, CR.
inline std::string frameCommand(const char* name) { return std::string(1, kSOH) + name + kCR; }

constexpr bool startsPacket(const unsigned char* p) { return p != nullptr && (p[0] & 0x80) != 0; }
constexpr bool touching(const unsigned char* p) { return p != nullptr && (p[0] & 0x40) != 0; }
constexpr int coordinate(const unsigned char* p, int low) { return p[low + 1] * 16 + (p[low] >> 4); }
constexpr int x(const unsigned char* p) { return coordinate(p, 1); }
constexpr int y(const unsigned char* p) { return coordinate(p, 3); }

}  // namespace sx112
