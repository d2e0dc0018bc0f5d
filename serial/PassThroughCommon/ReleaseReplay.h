#pragma once
// Controllers that report a lift-off only in a status frame, without a position: the handler
// keeps a copy of the last touch frame and replays it, so the framework sees the release at
// the place the finger left.

#include <cstring>

namespace passthrough {

// A status frame says whether the controller is touched (`touchedNow`). When the handler had
// reported a touch and the controller is touched no more, `touching` is cleared first (the
// framework asks isTouchDown during the replay) and then the saved frame of `size` bytes is
// copied into `packet` and `process` is called. Otherwise `touching` takes the new state and
// nothing is reported. True when a release was replayed.
template <class Process>
bool followStatus(bool touchedNow, bool& touching, const unsigned char* saved, unsigned char* packet,
                  int size, Process&& process)
{
    if (touching && !touchedNow) {
        touching = false;
        std::memcpy(packet, saved, static_cast<std::size_t>(size));
        process();
        return true;
    }
    touching = touchedNow;
    return false;
}

// Drops the first of `count` bytes of a pass-through block, moving the others forward.
inline void dropFirst(unsigned char* data, int count)
{
    for (int i = 1; i < count; ++i)
        data[i - 1] = data[i];
}

} // namespace passthrough
