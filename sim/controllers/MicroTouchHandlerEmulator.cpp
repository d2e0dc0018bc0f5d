// MicroTouch ASCII controllers (MicroTouchHandler, MicroTouchMT3000Handler,
// SyncMaster173vHandler, MicroTouchPenHandler): take the set-up commands, answer the identity
// request as an SMT3 with firmware 01.23, then report a short stroke in format-tablet packets.
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

class MicroTouchAsciiController : public tp::sim::ControllerEmulator {
public:
    MicroTouchAsciiController(bool asksIdentity, bool xSecond) : m_asksIdentity(asksIdentity), m_xSecond(xSecond) {}

    void run(tp::sim::PtyLine& line) override
    {
        emulator_steps::KeepLineOpen keep(line);
        if (m_asksIdentity) {
            if (emulator_steps::await(line, "\x01OI\r", 3000ms))
                line.send("\x01Q10123\r", 8);
        } else {
            emulator_steps::await(line, "\x01R\r", 3000ms);
        }
        std::this_thread::sleep_for(50ms);
        for (const Point& p : kStroke) {
            const std::uint16_t first = m_xSecond ? p.y : p.x, second = m_xSecond ? p.x : p.y;
            line.send(Bytes{static_cast<std::uint8_t>(p.down ? 0xC0 : 0x80), static_cast<std::uint8_t>(first & 0xFF),
                            static_cast<std::uint8_t>(first >> 8), static_cast<std::uint8_t>(second & 0xFF),
                            static_cast<std::uint8_t>(second >> 8)});
            std::this_thread::sleep_for(20ms);
        }
    }

private:
    bool m_asksIdentity;
    bool m_xSecond;
};

struct MicroTouchHandlerEmulator : MicroTouchAsciiController {
    MicroTouchHandlerEmulator() : MicroTouchAsciiController(true, false) {}
};
struct MicroTouchMT3000HandlerEmulator : MicroTouchAsciiController {
    MicroTouchMT3000HandlerEmulator() : MicroTouchAsciiController(true, true) {}
};
struct MicroTouchPenHandlerEmulator : MicroTouchAsciiController {
    MicroTouchPenHandlerEmulator() : MicroTouchAsciiController(false, false) {}
};

}  // namespace

TP_REGISTER_EMULATOR(MicroTouchHandler, MicroTouchHandlerEmulator);
TP_REGISTER_EMULATOR(MicroTouchMT3000Handler, MicroTouchMT3000HandlerEmulator);
TP_REGISTER_EMULATOR(SyncMaster173vHandler, MicroTouchMT3000HandlerEmulator);
TP_REGISTER_EMULATOR(MicroTouchPenHandler, MicroTouchPenHandlerEmulator);
