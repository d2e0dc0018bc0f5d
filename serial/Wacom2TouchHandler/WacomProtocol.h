#pragma once
// Wire format of the Wacom serial tablet and the PC commands the handler follows while an
// external PC shares the tablet.
//
// Packet (seven bytes, 16-bit coordinates in 7-bit data bytes):
//   byte 0   1 . . . T . x15 x14   bit 7 = packet start, T (bit 3) = pen touching
//   byte 1   0 x13 .. x7
//   byte 2   0 x6 .. x0
//   byte 3   . . . . . . y15 y14
//   byte 4   0 y13 .. y7
//   byte 5   0 y6 .. y0
//   byte 6   not used
#include <cstddef>

namespace wacom {

constexpr int kPacketLength = 7;

struct Command {
  const char* bytes;
  size_t length;
};
constexpr Command kNR1270{"\rNR1270\r", 8};  // report mode of the panel
constexpr Command kReset{"\r#", 2};          // back to defaults (9600 baud)

constexpr bool startsPacket(unsigned char b) { return (b & 0x80) != 0; }
constexpr bool touching(const unsigned char* p) { return p != nullptr && (p[0] & 0x88) == 0x88; }
constexpr int coordinate(const unsigned char* p, int top) {
  return (p[top] & 3) * 16384 + p[top + 1] * 128 + p[top + 2];
}
constexpr int x(const unsigned char* p) { return coordinate(p, 0); }
constexpr int y(const unsigned char* p) { return coordinate(p, 3); }

// With a PC attached the tablet reports 0xA0 packets that mean "out of proximity"; the
// handler turns them into a release at 0, 0.
constexpr unsigned char kProximityOut = 0xA0;

enum class SpeedRequest { None, To9600, To19200 };

// Looks at one block the PC sent to the tablet. "\r#" or "\r$" (the PC resetting the tablet)
// asks for 9600 baud; a "~*F" command asks for 19200 once its closing CR has been seen,
// which may come in a later block (cmdPending carries that between blocks).
SpeedRequest followPcBlock(const unsigned char* data, int count, bool& cmdPending);

}  // namespace wacom
