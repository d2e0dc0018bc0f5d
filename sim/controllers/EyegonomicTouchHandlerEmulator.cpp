// An Eyegonomic serial controller (also sold as the QVTR22TX): speaks first with a short
// stroke of five-byte packets: lead byte (bit 7; bit 0 set = touching), then y and x as high
// and low seven bits.

#include "serial/PassThroughCommon/testing/Stroke.h"
#include "sim/controllers/EmulatorRegistry.h"

namespace tp::sim {

namespace {

using passthrough_tests::StrokePoint;

Bytes packet(const StrokePoint& p)
{
    return {static_cast<std::uint8_t>(p.lifted ? 0x80 : 0x81), static_cast<std::uint8_t>(p.y >> 7),
            static_cast<std::uint8_t>(p.y & 0x7F), static_cast<std::uint8_t>(p.x >> 7),
            static_cast<std::uint8_t>(p.x & 0x7F)};
}

struct EyegonomicController : ControllerEmulator {
    void run(PtyLine& line) override { passthrough_tests::playWhenOpened(line, {0x05, 0x7F}, packet); }
};

} // namespace

// The QVTR22TX plug-in talks to the same controller.
std::unique_ptr<ControllerEmulator> makeEyegonomicController()
{
    return std::make_unique<EyegonomicController>();
}

} // namespace tp::sim

TP_REGISTER_EMULATOR(EyegonomicTouchHandler, tp::sim::EyegonomicController);
