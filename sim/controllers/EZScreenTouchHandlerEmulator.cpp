// An EZScreen controller (EZScreenTouchHandler): 38400 baud, five-byte frames.
#include "serial/FixedFrameCommon/testing/FixedFrameEmulator.h"

namespace {

using namespace fixed_frame_emulator;

// Status (bit 5: touching), then X and Y in six-bit halves, high half first.
Bytes encodeEZScreen(const Point& p)
{
    return {byte(0x80 | (p.down ? 0x20 : 0)), byte((p.x >> 6) & 0x3F), byte(p.x & 0x3F),
            byte((p.y >> 6) & 0x3F), byte(p.y & 0x3F)};
}

struct EZScreenTouchHandlerEmulator : FixedFrameEmulator {
    EZScreenTouchHandlerEmulator() : FixedFrameEmulator(B38400, true, encodeEZScreen) {}
};

} // namespace

TP_REGISTER_EMULATOR(EZScreenTouchHandler, EZScreenTouchHandlerEmulator);
