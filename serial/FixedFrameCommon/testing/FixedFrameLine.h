#pragma once
// The controller's side of a fixed-frame line. These controllers are never spoken to, so
// the only sign that a handler is ready is the line itself: once the port shows the
// controller's settings the handler has opened it. Opening also flushes the line (and one
// handler opens it twice), so a short pause follows before the first frame.

#include "sim/controllers/PtyLine.h"

#include <chrono>
#include <termios.h>
#include <thread>

namespace fixed_frame_line {

inline bool showsSettings(const tp::sim::PtyLine& line, speed_t speed, bool rtscts)
{
    termios tio{};
    if (tcgetattr(line.masterFd(), &tio) != 0)
        return false;
    return (tio.c_cflag & CLOCAL) != 0 && cfgetispeed(&tio) == speed &&
           ((tio.c_cflag & CRTSCTS) != 0) == rtscts;
}

// True once the handler has set the line up (and the pause after it is over); false if
// that did not happen within `timeout`.
inline bool awaitHandler(const tp::sim::PtyLine& line, speed_t speed, bool rtscts,
                         std::chrono::milliseconds timeout,
                         std::chrono::milliseconds settle = std::chrono::milliseconds(250))
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!showsSettings(line, speed, rtscts)) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::this_thread::sleep_for(settle);
    return true;
}

} // namespace fixed_frame_line
