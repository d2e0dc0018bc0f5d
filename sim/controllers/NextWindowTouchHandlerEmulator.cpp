// A NextWindow optical controller (NextWindowTouchHandler): nothing to answer at start-up;
// once the panel has the line at 115200 baud it reports a short stroke, X and Y as
// normalised big-endian floats, status 1 while touching and 0 at lift-off.
#include <chrono>
#include <cstdint>
#include <cstring>
#include <termios.h>
#include <thread>

#include "sim/controllers/EmulatorRegistry.h"

namespace {

using namespace std::chrono_literals;
using tp::sim::Bytes;

struct Point {
    float x, y;  // 0..32767 across the screen
    std::uint8_t status;
};
constexpr Point kStroke[] = {
    {8192.0f, 16384.0f, 1}, {9216.0f, 16896.0f, 1}, {10240.0f, 17408.0f, 1}, {10240.0f, 17408.0f, 0}};

void appendFloat(Bytes& out, float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(bits >> shift));
}

struct NextWindowTouchHandlerEmulator : tp::sim::ControllerEmulator {
    void run(tp::sim::PtyLine& line) override
    {
        // The line settings of a pty are shared by both ends: the panel is listening once it
        // has set the controller's speed.
        for (int i = 0; i < 300; ++i) {
            termios tio{};
            if (tcgetattr(line.masterFd(), &tio) == 0 && cfgetispeed(&tio) == B115200)
                break;
            std::this_thread::sleep_for(10ms);
        }
        std::this_thread::sleep_for(200ms);
        for (const Point& p : kStroke) {
            Bytes report;
            appendFloat(report, p.x);
            appendFloat(report, p.y);
            report.push_back(p.status);
            report.insert(report.end(), {0x3C, 0x45, 0x4E, 0x44, 0x3E, 0x0D});
            line.send(report);
            std::this_thread::sleep_for(20ms);
        }
    }
};

} // namespace

TP_REGISTER_EMULATOR(NextWindowTouchHandler, NextWindowTouchHandlerEmulator);
