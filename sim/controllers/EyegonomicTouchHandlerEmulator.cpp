// An Eyegonomic serial controller (also sold as the QVTR22TX): speaks first once the handler
// has the port open, with a short stroke of five-byte packets: lead byte (bit 7; bit 0 set =
// touching), then y and x as high and low seven bits.

#include "serial/PassThroughCommon/testing/PortWatch.h"
#include "sim/controllers/EmulatorRegistry.h"

#include <thread>

namespace tp::sim {

namespace {

struct StrokePoint {
    int x, y;
    bool lifted;
};

constexpr StrokePoint kStroke[] = {
    {1000, 1200, false}, {1100, 1300, false}, {1200, 1400, false}, {1300, 1500, false}, {1300, 1500, true},
};

Bytes packet(const StrokePoint& p)
{
    return {static_cast<std::uint8_t>(p.lifted ? 0x80 : 0x81), static_cast<std::uint8_t>(p.y >> 7),
            static_cast<std::uint8_t>(p.y & 0x7F), static_cast<std::uint8_t>(p.x >> 7),
            static_cast<std::uint8_t>(p.x & 0x7F)};
}

struct EyegonomicController : ControllerEmulator {
    void run(PtyLine& line) override
    {
        using namespace std::chrono_literals;
        if (!passthrough_tests::waitUntilOpened(line.slavePath(), 5000ms))
            return;
        line.send(Bytes{0x05, 0x7F});  // line noise before the first lead byte
        for (const StrokePoint& p : kStroke) {
            std::this_thread::sleep_for(20ms);
            line.send(packet(p));
        }
    }
};

} // namespace

// The QVTR22TX plug-in talks to the same controller.
std::unique_ptr<ControllerEmulator> makeEyegonomicController()
{
    return std::make_unique<EyegonomicController>();
}

} // namespace tp::sim

TP_REGISTER_EMULATOR(EyegonomicTouchHandler, tp::sim::EyegonomicController);
