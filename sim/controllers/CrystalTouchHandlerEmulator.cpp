// A Crystal controller (CrystalTouchHandler): 115200 baud, seventeen-byte frames.
#include "serial/FixedFrameCommon/testing/FixedFrameEmulator.h"

namespace {

using namespace fixed_frame_emulator;

// Status in byte 5 (1 touching, 2 lifted), X and Y little-endian in bytes 7-10.
Bytes encodeCrystal(const Point& p)
{
    Bytes f(17, 0x00);
    f[0] = 0xAA;
    f[5] = p.down ? 0x01 : 0x02;
    f[7] = byte(p.x);
    f[8] = byte(p.x >> 8);
    f[9] = byte(p.y);
    f[10] = byte(p.y >> 8);
    return f;
}

struct CrystalTouchHandlerEmulator : FixedFrameEmulator {
    CrystalTouchHandlerEmulator() : FixedFrameEmulator(B115200, true, encodeCrystal) {}
};

} // namespace

TP_REGISTER_EMULATOR(CrystalTouchHandler, CrystalTouchHandlerEmulator);
