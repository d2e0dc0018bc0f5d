// A Sanyo serial controller: speaks first (it has no commands to answer) once the handler has
// the port open, with a short stroke of five-byte packets: lead byte (bit 7; bit 1 set =
// lifted), then x and y as low and high seven bits.

#include "serial/PassThroughCommon/testing/PortWatch.h"
#include "sim/controllers/EmulatorRegistry.h"

#include <thread>

namespace {

using tp::sim::Bytes;

struct StrokePoint {
    int x, y;
    bool lifted;
};

constexpr StrokePoint kStroke[] = {
    {1000, 1200, false}, {1100, 1300, false}, {1200, 1400, false}, {1300, 1500, false}, {1300, 1500, true},
};

Bytes packet(const StrokePoint& p)
{
    return {static_cast<std::uint8_t>(p.lifted ? 0x82 : 0x80), static_cast<std::uint8_t>(p.x & 0x7F),
            static_cast<std::uint8_t>(p.x >> 7), static_cast<std::uint8_t>(p.y & 0x7F),
            static_cast<std::uint8_t>(p.y >> 7)};
}

struct SanyoController : tp::sim::ControllerEmulator {
    void run(tp::sim::PtyLine& line) override
    {
        using namespace std::chrono_literals;
        if (!passthrough_tests::waitUntilOpened(line.slavePath(), 5000ms))
            return;
        line.send(Bytes{0x00, 0x13});  // line noise before the first lead byte
        for (const StrokePoint& p : kStroke) {
            std::this_thread::sleep_for(20ms);
            line.send(packet(p));
        }
    }
};

} // namespace

TP_REGISTER_EMULATOR(SanyoTouchHandler, SanyoController);
