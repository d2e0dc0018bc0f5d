// The MicroTouch SX112 controller (MicroTouchSX112POHandler, ...FOHandler, ...PFHandler):
// answers every command of the start-up dialogue (the identity as "Q10123", the others with
// "0"), then reports a short stroke in its 12-bit packets.
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

#include "serial/SerialLine/testing/EmulatorSteps.h"
#include "sim/controllers/EmulatorRegistry.h"

namespace {

using namespace std::chrono_literals;
using tp::sim::Bytes;

using emulator_steps::kStroke;
using emulator_steps::Point;

class SX112Controller : public tp::sim::ControllerEmulator {
public:
    explicit SX112Controller(const char* mode) : m_mode(mode) {}

    void run(tp::sim::PtyLine& line) override
    {
        const std::string commands[] = {"R", "DX", "OI", "FT", "MS", m_mode};
        for (const std::string& c : commands) {
            if (!emulator_steps::await(line, "\x01" + c + "\r", 3000ms))
                return;
            const std::string reply = c == "OI" ? "\x01Q10123\r" : "\x01" "0\r";
            line.send(reply.data(), reply.size());
        }
        std::this_thread::sleep_for(50ms);
        for (const Point& p : kStroke) {
            line.send(Bytes{static_cast<std::uint8_t>(p.down ? 0xC0 : 0x80), static_cast<std::uint8_t>((p.x & 0xF) << 4),
                            static_cast<std::uint8_t>(p.x >> 4), static_cast<std::uint8_t>((p.y & 0xF) << 4),
                            static_cast<std::uint8_t>(p.y >> 4)});
            std::this_thread::sleep_for(20ms);
        }
    }

private:
    std::string m_mode;
};

struct POEmulator : SX112Controller {
    POEmulator() : SX112Controller("PO") {}
};
struct FOEmulator : SX112Controller {
    FOEmulator() : SX112Controller("FO") {}
};
struct PFEmulator : SX112Controller {
    PFEmulator() : SX112Controller("PF") {}
};

}  // namespace

TP_REGISTER_EMULATOR(MicroTouchSX112POHandler, POEmulator);
TP_REGISTER_EMULATOR(MicroTouchSX112FOHandler, FOEmulator);
TP_REGISTER_EMULATOR(MicroTouchSX112PFHandler, PFEmulator);
