#pragma once
// NextWindow optical controllers at 115200 baud. Every report is fifteen bytes:
//
//   0-3    X, IEEE 754 single precision, big-endian, normalised to 0..32767
//   4-7    Y, same encoding
//   8      status
//   9-14   trailer: 0x3C, four bytes each one of 0x3E 0x44 0x45 0x4E, then 0x0D
//
// The reader follows the trailer with a sync count (0x3C restarts it at 1, each middle byte
// and the closing 0x0D add one, anything else clears it) and takes the status byte seven
// places before the report end.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace nextwindow {

constexpr int kReportSize = 15;
constexpr int kSyncBytes = 6;      // the whole trailer
constexpr int kStatusFromEnd = 7;  // status byte: report end - 7
constexpr unsigned char kTrailerStart = 0x3C;
constexpr unsigned char kTrailerEnd = 0x0D;
constexpr float kFullScale = 32767.0f;

// The sync count after `byte`, given the count before it.
constexpr int nextSyncCount(int count, unsigned char byte)
{
    switch (byte) {
    case kTrailerStart:
        return 1;
    case 0x3E:
    case 0x44:
    case 0x45:
    case 0x4E:
    case kTrailerEnd:
        return count + 1;
    default:
        return 0;
    }
}

// What a status byte does to the touch state.
struct StatusEffect {
    bool report;       // hand the packet to processData
    bool touchDown;    // the new touch state (only when report)
    bool keepLast;     // the last status stays as it was
};

constexpr StatusEffect statusEffect(unsigned char status, unsigned char lastStatus)
{
    switch (status) {
    case 0:
        return {true, lastStatus != 1, false};
    case 1:
    case 2:
        return {true, true, false};
    case 10:
        return {true, lastStatus != 11, false};
    case 11:
    case 12:
        return {true, true, true};
    default:
        return {false, false, true};
    }
}

// The big-endian single-precision value at `bytes`.
inline float wireFloat(const unsigned char* bytes)
{
    const std::uint32_t bits = (std::uint32_t(bytes[0]) << 24) | (std::uint32_t(bytes[1]) << 16) |
                               (std::uint32_t(bytes[2]) << 8) | std::uint32_t(bytes[3]);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// A normalised coordinate scaled to `resolution` pixels and rounded half up (truncated
// toward zero after adding 0.5). Values no coordinate can hold (not a number, or beyond
// what 32 bits take) are pinned instead of being converted, which would be undefined.
inline std::int32_t scaled(float normalised, unsigned short resolution)
{
    const float pixels = normalised / kFullScale * static_cast<float>(resolution);
    const double rounded = static_cast<double>(pixels) + 0.5;
    if (std::isnan(rounded))
        return 0;
    if (rounded >= 2147483647.0)
        return std::numeric_limits<std::int32_t>::max();
    if (rounded <= -2147483648.0)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(rounded);
}

} // namespace nextwindow
