#pragma once
// Steps shared by the emulated controllers of the serial plug-ins in this tree: waiting for a
// command from the handler, and keeping the line alive while the handler reopens its port.
#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "sim/controllers/PtyLine.h"

namespace emulator_steps {

// The stroke every one of these emulators plays: touch-down, two moves, lift-off.
struct Point {
    std::uint16_t x, y;
    bool down;
};
constexpr Point kStroke[] = {{1000, 1200, true}, {1100, 1300, true}, {1200, 1400, true}, {1200, 1400, false}};

// Reads what the handler sends until `text` has been seen (true) or `timeout` passed.
// What came before and with it is appended to *seen when given.
inline bool await(tp::sim::PtyLine& line, const std::string& text, std::chrono::milliseconds timeout,
                  std::string* seen = nullptr)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string got;
    while (got.find(text) == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        const tp::sim::Bytes b = line.receive(1, left, std::chrono::milliseconds(1));
        got.append(b.begin(), b.end());
    }
    if (seen)
        *seen += got;
    return true;
}

// A pty drops what the handler wrote once its last slave descriptor closes; a real line does
// not. Holding one open while the handler closes and reopens its port keeps that honest.
class KeepLineOpen {
public:
    explicit KeepLineOpen(const tp::sim::PtyLine& line)
        : m_fd(open(line.slavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC))
    {
    }
    ~KeepLineOpen()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    KeepLineOpen(const KeepLineOpen&) = delete;
    KeepLineOpen& operator=(const KeepLineOpen&) = delete;

private:
    int m_fd;
};

}  // namespace emulator_steps
