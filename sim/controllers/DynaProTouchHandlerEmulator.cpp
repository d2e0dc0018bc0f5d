// A DynaPro controller (DynaProTouchHandler): 2400 baud, three-byte frames.
#include "serial/FixedFrameCommon/testing/FixedFrameEmulator.h"

namespace {

using namespace fixed_frame_emulator;

// 1 T x9 x8 x7 y9 y8 y7 | x6..x0 | y6..y0
Bytes encodeDynaPro(const Point& p)
{
    return {byte(0x80 | (p.down ? 0x40 : 0) | ((p.x >> 7) & 7) << 3 | ((p.y >> 7) & 7)),
            byte(p.x & 0x7F), byte(p.y & 0x7F)};
}

struct DynaProTouchHandlerEmulator : FixedFrameEmulator {
    DynaProTouchHandlerEmulator() : FixedFrameEmulator(B2400, true, encodeDynaPro) {}
};

} // namespace

TP_REGISTER_EMULATOR(DynaProTouchHandler, DynaProTouchHandlerEmulator);
