// An eGalax controller at 57600 baud (eGalaxTouchHandler_57600): six-byte frames.
#include "serial/FixedFrameCommon/testing/FixedFrameEmulator.h"

namespace {

using namespace fixed_frame_emulator;

struct eGalaxTouchHandler_57600Emulator : FixedFrameEmulator {
    eGalaxTouchHandler_57600Emulator() : FixedFrameEmulator(B57600, false, encodeEGalax) {}
};

} // namespace

TP_REGISTER_EMULATOR(eGalaxTouchHandler_57600, eGalaxTouchHandler_57600Emulator);
