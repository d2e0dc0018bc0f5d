// A TouchKo controller (TouchKoTouchHandler): answers the first identification request with
// "PASS" and four blanks, then reports a short stroke in five-byte packets.
#include <chrono>
#include <cstdint>
#include <thread>

#include "serial/SerialLine/testing/EmulatorSteps.h"
#include "sim/controllers/EmulatorRegistry.h"

namespace {

using namespace std::chrono_literals;
using tp::sim::Bytes;

using emulator_steps::kStroke;
using emulator_steps::Point;

struct TouchKoTouchHandlerEmulator : tp::sim::ControllerEmulator {
    void run(tp::sim::PtyLine& line) override
    {
        emulator_steps::KeepLineOpen keep(line);
        if (emulator_steps::await(line, "\rdi\r", 3000ms))
            line.send("PASS    ", 8);
        std::this_thread::sleep_for(100ms);
        for (const Point& p : kStroke) {
            line.send(Bytes{static_cast<std::uint8_t>(p.down ? 0xC0 : 0x80), static_cast<std::uint8_t>(p.x & 0xFF),
                            static_cast<std::uint8_t>(p.x >> 8), static_cast<std::uint8_t>(p.y & 0xFF),
                            static_cast<std::uint8_t>(p.y >> 8)});
            std::this_thread::sleep_for(20ms);
        }
    }
};

}  // namespace

TP_REGISTER_EMULATOR(TouchKoTouchHandler, TouchKoTouchHandlerEmulator);
