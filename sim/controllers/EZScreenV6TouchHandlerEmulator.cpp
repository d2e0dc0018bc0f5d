// An EZScreen version 6 controller (EZScreenV6TouchHandler): 9600 baud, five-byte frames.
#include "serial/FixedFrameCommon/testing/FixedFrameEmulator.h"

namespace {

using namespace fixed_frame_emulator;

// Status (bit 0: touching), then Y and X in seven-bit halves, high half first.
Bytes encodeEZScreenV6(const Point& p)
{
    return {byte(0x80 | (p.down ? 0x01 : 0)), byte((p.y >> 7) & 0x0F), byte(p.y & 0x7F),
            byte((p.x >> 7) & 0x0F), byte(p.x & 0x7F)};
}

struct EZScreenV6TouchHandlerEmulator : FixedFrameEmulator {
    EZScreenV6TouchHandlerEmulator() : FixedFrameEmulator(B9600, true, encodeEZScreenV6) {}
};

} // namespace

TP_REGISTER_EMULATOR(EZScreenV6TouchHandler, EZScreenV6TouchHandlerEmulator);
