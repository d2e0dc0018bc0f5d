#pragma once
// The five-byte "format tablet" report that MicroTouch controllers (and TouchKo, which
// copies the layout) stream once configured:
//
//   byte 0   1 T . . . . . .    bit 7 marks a packet start, T (bit 6) = touching
//   byte 1   X low               x = byte1 + 256 * byte2
//   byte 2   X high
//   byte 3   Y low               y = byte3 + 256 * byte4
//   byte 4   Y high
//
// The data bytes carry 7 bits on the wire, but the two bytes are combined with a factor of
// 256, not 128: that is what the controllers' consumers have always read, so keep it.

namespace format_tablet {

constexpr int kPacketLength = 5;

constexpr bool startsPacket(const unsigned char* p) { return p != nullptr && (p[0] & 0x80) != 0; }
constexpr bool touching(const unsigned char* p) { return p != nullptr && (p[0] & 0x40) != 0; }
constexpr int field(const unsigned char* p, int low) { return p[low] + 256 * p[low + 1]; }
constexpr int firstField(const unsigned char* p) { return field(p, 1); }
constexpr int secondField(const unsigned char* p) { return field(p, 3); }

}  // namespace format_tablet
