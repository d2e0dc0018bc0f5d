#pragma once
// The TouchFoil controller streams the raw levels of its 64 sensing channels and leaves the
// position to us. A frame on the wire:
//
//   0x00          frame start (a 0x00 always starts a new frame)
//   64 levels     1..255 each: channels 0-31 across the width (X), 32-63 down the height (Y)
//   ...           anything after the 64th level and before the next 0x00 is ignored
//
// Each channel's difference from its untouched level is taken on a circle of 255 steps
// (a jump of more than half the range is read as the short way round). On each axis the
// channel that departs most is the peak; the axis counts as touched when the peak and its two
// neighbours add up to the threshold, and the position is the peak's channel refined by the
// balance of its neighbours, 128 units to a channel.

#include <cstddef>
#include <cstdint>

namespace touchfoil {

constexpr int kChannels = 64;
constexpr int kAxisChannels = 32;
constexpr int kFirstY = 32;
constexpr unsigned char kFrameStart = 0x00;
constexpr int kReadSize = 185;          // one read: room for two frames and their start bytes
constexpr int kBaselineFrames = 5;      // frames of a baseline phase
constexpr int kThresholdFrame = 4;      // the phase's frame that re-reads the sensitivity file
constexpr int kRebaselineFrames = 900;  // tracked frames before an idle frame re-baselines
constexpr int kDefaultThreshold = 40;
constexpr unsigned kNoPosition = 2000;  // the position before the first touch
constexpr int kUnitsPerChannel = 128;
constexpr const char* kSensitivityPath = "/opt/touch/touchfoilsensitivity.cf";
constexpr std::size_t kSensitivityChars = 3;

// A channel's difference from its baseline.
constexpr std::int32_t difference(std::uint8_t sample, std::uint8_t baseline)
{
    const int d = int(sample) - int(baseline);
    if (d >= -128 && d <= 128)
        return d < 0 ? -d : d;
    return sample < baseline ? d + 255 : d - 255;
}

struct Axis {
    std::int32_t best;  // the peak's difference (0 when no channel rose above 0)
    int evaluated;      // the channel whose neighbours are looked at
    int coarse;         // 1..32: the peak's channel on this axis, counted from 1
    bool touched;
};

// The strongest channel of the 32 starting at `first`: ties go to the lower channel, and
// with no difference above 0 the axis's second channel stands.
inline int peakChannel(const std::int32_t* diff, int first, std::int32_t& best)
{
    best = 0;
    int peak = first + 1;
    for (int i = first; i < first + kAxisChannels; ++i) {
        if (diff[i] > best) {
            best = diff[i];
            peak = i;
        }
    }
    return peak;
}

// Evaluates one axis; the outermost channels (0 and 63) are evaluated one channel in, so
// that both neighbours exist.
inline Axis evaluateAxis(const std::int32_t* diff, int first, std::int32_t threshold)
{
    Axis a;
    const int peak = peakChannel(diff, first, a.best);
    if (first == 0) {
        a.evaluated = peak == 0 ? 1 : peak;
        a.coarse = peak + 1;
    } else {
        a.evaluated = peak == kChannels - 1 ? kChannels - 2 : peak;
        a.coarse = peak - (kFirstY - 1);
    }
    const int e = a.evaluated;
    a.touched = diff[e - 1] + diff[e] + diff[e + 1] >= threshold;
    return a;
}

// The position on an axis: the coarse channel refined toward the stronger neighbour.
constexpr std::int32_t interpolate(int coarse, std::int32_t left, std::int32_t right,
                                   std::int32_t divisor)
{
    return left < right ? coarse * kUnitsPerChannel + ((right - left) * kUnitsPerChannel) / divisor
                        : coarse * kUnitsPerChannel - ((left - right) * kUnitsPerChannel) / divisor;
}

// The threshold in the first characters of the sensitivity file: a decimal number after
// optional blanks, parsing stopping at the first non-digit. 0 when there is none.
inline int parseThreshold(const char* text, std::size_t length)
{
    std::size_t i = 0;
    while (i < length && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r' ||
                          text[i] == '\v' || text[i] == '\f'))
        ++i;
    bool negative = false;
    if (i < length && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    int value = 0;
    for (; i < length && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10 + (text[i] - '0');
    return negative ? -value : value;
}

} // namespace touchfoil
