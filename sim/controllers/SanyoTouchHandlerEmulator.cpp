// A Sanyo serial controller: speaks first (it has no commands to answer) with a short stroke
// of five-byte packets: lead byte (bit 7; bit 1 set = lifted), then x and y as low and high
// seven bits.

#include "serial/PassThroughCommon/testing/Stroke.h"
#include "sim/controllers/EmulatorRegistry.h"

namespace {

using passthrough_tests::StrokePoint;
using tp::sim::Bytes;

Bytes packet(const StrokePoint& p)
{
    return {static_cast<std::uint8_t>(p.lifted ? 0x82 : 0x80), static_cast<std::uint8_t>(p.x & 0x7F),
            static_cast<std::uint8_t>(p.x >> 7), static_cast<std::uint8_t>(p.y & 0x7F),
            static_cast<std::uint8_t>(p.y >> 7)};
}

struct SanyoController : tp::sim::ControllerEmulator {
    void run(tp::sim::PtyLine& line) override { passthrough_tests::playWhenOpened(line, {0x00, 0x13}, packet); }
};

} // namespace

TP_REGISTER_EMULATOR(SanyoTouchHandler, SanyoController);
