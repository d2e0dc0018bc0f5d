#pragma once
// Elo's ten-byte serial messages, as a controller builds them:
//
//   byte 0   lead-in 'U' (0x55)
//   byte 1   type ('T' touch report, 'A' acknowledge, 'M' mode command, ...)
//   byte 2   status; in a touch report bit 2 (0x04) means the finger was lifted
//   byte 3-4 first coordinate field, low byte first
//   byte 5-6 second coordinate field, low byte first
//   byte 7-8 pressure (unused here)
//   byte 9   checksum: 0xAA + bytes 0..8, modulo 256

#include "sim/controllers/PtyLine.h"

#include <array>
#include <cstdint>

namespace tp::sim::elo {

constexpr std::uint8_t kLeadIn = 0x55;
constexpr std::uint8_t kTouch = 'T';
constexpr std::uint8_t kAck = 'A';
constexpr std::uint8_t kMode = 'M';
constexpr std::uint8_t kUntouchBit = 0x04;
constexpr std::size_t kMessageSize = 10;

inline std::uint8_t checksum(const Bytes& firstNine)
{
    unsigned sum = 0xAA;
    for (std::size_t i = 0; i < 9 && i < firstNine.size(); ++i)
        sum += firstNine[i];
    return static_cast<std::uint8_t>(sum);
}

// A framed message: lead-in, type, the seven body bytes, checksum.
inline Bytes message(std::uint8_t type, const std::array<std::uint8_t, 7>& body)
{
    Bytes m{kLeadIn, type};
    m.insert(m.end(), body.begin(), body.end());
    m.push_back(checksum(m));
    return m;
}

inline Bytes touch(std::uint16_t first, std::uint16_t second, bool lifted)
{
    return message(kTouch, {static_cast<std::uint8_t>(lifted ? kUntouchBit : 0),
                            static_cast<std::uint8_t>(first & 0xFF),
                            static_cast<std::uint8_t>(first >> 8),
                            static_cast<std::uint8_t>(second & 0xFF),
                            static_cast<std::uint8_t>(second >> 8), 0, 0});
}

// The controller's answer to a command it accepted: error code '0' (none).
inline Bytes ack() { return message(kAck, {'0', '0', '0', 0, 0, 0, 0}); }

} // namespace tp::sim::elo
