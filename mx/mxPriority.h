// Mapping between the layer's priorities, 0 (highest) to 255 (lowest), and the
// system's first-in-first-out real-time priorities 1 to `max` (99 on Linux).
#ifndef MX_MXPRIORITY_H
#define MX_MXPRIORITY_H

constexpr int mxPriorityLevels = 256;

constexpr bool mxPriorityValid(int p)
{
    return static_cast<unsigned>(p) < static_cast<unsigned>(mxPriorityLevels);
}

// p must be valid; never yields 0, which is not a real-time priority.
constexpr int mxPriorityToLinux(int p, int max)
{
    return (max - (max * p) / mxPriorityLevels) == 0 ? 1 : max - (max * p) / mxPriorityLevels;
}

// The reverse is lossy: 128 -> 50 -> 126 with max 99. A thread outside the
// real-time policy (priority 0) reads as the lowest priority, 255, rather
// than as 256, which no caller could set.
constexpr int mxPriorityFromLinux(int linuxPriority, int max)
{
    return max <= 0 || linuxPriority <= 0 ? mxPriorityLevels - 1
           : linuxPriority >= max         ? 0
                                          : ((max - linuxPriority) * mxPriorityLevels) / max;
}

#endif
