// A Wacom serial tablet (Wacom2TouchHandler): takes the "NR 1270" report-mode command, then
// reports a short pen stroke in seven-byte packets.
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

std::uint8_t b(unsigned v) { return static_cast<std::uint8_t>(v); }

struct Wacom2TouchHandlerEmulator : tp::sim::ControllerEmulator {
    void run(tp::sim::PtyLine& line) override
    {
        emulator_steps::await(line, "\rNR1270\r", 3000ms);
        std::this_thread::sleep_for(50ms);
        for (const Point& p : kStroke) {
            line.send(Bytes{b(0x80 | (p.down ? 0x08 : 0) | (p.x >> 14)), b((p.x >> 7) & 0x7F), b(p.x & 0x7F),
                            b(p.y >> 14), b((p.y >> 7) & 0x7F), b(p.y & 0x7F), 0x00});
            std::this_thread::sleep_for(20ms);
        }
    }
};

}  // namespace

TP_REGISTER_EMULATOR(Wacom2TouchHandler, Wacom2TouchHandlerEmulator);
