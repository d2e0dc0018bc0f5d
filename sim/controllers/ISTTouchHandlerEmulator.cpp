// An IST controller (ISTTouchHandler): 9600 baud, six-byte frames.
#include "serial/FixedFrameCommon/testing/FixedFrameEmulator.h"

namespace {

using namespace fixed_frame_emulator;

// X and Y in six-bit halves, high half first; touch state in the low bits of byte 5.
Bytes encodeIST(const Point& p)
{
    return {byte((p.x >> 6) & 0x3F), byte(p.x & 0x3F), byte((p.y >> 6) & 0x3F),
            byte(p.y & 0x3F), 0x00, byte(p.down ? 0x01 : 0x00)};
}

struct ISTTouchHandlerEmulator : FixedFrameEmulator {
    ISTTouchHandlerEmulator() : FixedFrameEmulator(B9600, true, encodeIST) {}
};

} // namespace

TP_REGISTER_EMULATOR(ISTTouchHandler, ISTTouchHandlerEmulator);
