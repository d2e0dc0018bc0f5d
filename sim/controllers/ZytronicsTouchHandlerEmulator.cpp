// A Zytronics controller (ZytronicsTouchHandler): takes the initialisation command the panel
// sends at start-up, then reports a short stroke in five-byte packets of two 7-bit halves per
// coordinate.
#include <chrono>
#include <cstdint>
#include <thread>

#include "sim/controllers/EmulatorRegistry.h"

namespace {

using namespace std::chrono_literals;
using tp::sim::Bytes;

struct Point {
    int x, y;
    bool touching;
};
constexpr Point kStroke[] = {{1000, 1200, true}, {1100, 1300, true}, {1200, 1400, true}, {1200, 1400, false}};

std::uint8_t low7(int v) { return static_cast<std::uint8_t>(v & 0x7F); }
std::uint8_t high(int v) { return static_cast<std::uint8_t>(v >> 7); }

struct ZytronicsTouchHandlerEmulator : tp::sim::ControllerEmulator {
    void run(tp::sim::PtyLine& line) override
    {
        line.receiveExactly(4, 3000ms);  // CA C9 D2 C9
        std::this_thread::sleep_for(50ms);
        for (const Point& p : kStroke) {
            line.send(Bytes{static_cast<std::uint8_t>(p.touching ? 0xC0 : 0x80), low7(p.x), high(p.x),
                            low7(p.y), high(p.y)});
            std::this_thread::sleep_for(20ms);
        }
    }
};

} // namespace

TP_REGISTER_EMULATOR(ZytronicsTouchHandler, ZytronicsTouchHandlerEmulator);
