#pragma once
// The Eyegonomic five-byte touch packet, shared by the Eyegonomic and QVTR22TX plug-ins
// (the same controller under two names):
//
//   byte 0   1 . . . . . . T   bit 7 marks the first byte; T (bit 0) set = touching
//   byte 1   y high seven bits
//   byte 2   y low seven bits
//   byte 3   x high seven bits
//   byte 4   x low seven bits

#include "contract/GfPoint.h"
#include "serial/PassThroughCommon/LeadBytePacket.h"

namespace eyegonomic {

constexpr unsigned char kTouchBits = 0x81;  // lead bit and touching bit

constexpr bool isTouchDown(const unsigned char* packet)
{
    return packet != nullptr && (packet[0] & kTouchBits) == kTouchBits;
}

inline GfPoint position(const unsigned char* packet)
{
    if (!packet)
        return GfPoint();
    return GfPoint(passthrough::sevenBitPair(packet[3], packet[4]),
                   passthrough::sevenBitPair(packet[1], packet[2]));
}

// While a PC shares the controller, each packet is traced in the log before it is handed on:
// one line with the packet size, then one line per byte. `handler` is the class name that
// starts the first line.
void tracePacket(const char* handler, const unsigned char* packet);

} // namespace eyegonomic
