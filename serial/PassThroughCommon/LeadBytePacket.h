#pragma once
// Five-byte packets whose first byte is marked by bit 7, as the Sanyo and Eyegonomic
// controllers send them:
//
//   byte 0   1 x x x x x x x   lead byte: bit 7 set, the rest is the controller's status
//   byte 1-4 data, taken as they come (no framing of their own)
//
// Coordinates are carried seven bits per byte; each controller says which byte of a pair is
// the high one.

namespace passthrough {

constexpr unsigned char kLeadBit = 0x80;
constexpr int kLeadPacketSize = 5;

constexpr bool isLeadByte(unsigned char byte) { return (byte & kLeadBit) != 0; }

// A coordinate from its two seven-bit halves.
constexpr int sevenBitPair(unsigned char high, unsigned char low) { return high * 128 + low; }

// Reads one packet into packet[0..4] through `readByte` (a callable that takes an unsigned
// char* and returns what readn returns for one byte). Bytes are read into index 0 until one
// is a lead byte, then four more follow. False when the line failed or ended first: there is
// no packet then, and the caller must not hand one on.
template <class ReadByte>
bool readLeadPacket(ReadByte&& readByte, unsigned char* packet)
{
    do {
        if (readByte(packet) != 1)
            return false;
    } while (!isLeadByte(packet[0]));
    for (int i = 1; i < kLeadPacketSize; ++i)
        if (readByte(packet + i) != 1)
            return false;
    return true;
}

} // namespace passthrough
