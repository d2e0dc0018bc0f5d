// An eGalax controller at 9600 baud (eGalaxTouchHandler_9600): six-byte frames.
#include "serial/FixedFrameCommon/testing/FixedFrameEmulator.h"

namespace {

using namespace fixed_frame_emulator;

struct eGalaxTouchHandler_9600Emulator : FixedFrameEmulator {
    eGalaxTouchHandler_9600Emulator() : FixedFrameEmulator(B9600, false, encodeEGalax) {}
};

} // namespace

TP_REGISTER_EMULATOR(eGalaxTouchHandler_9600, eGalaxTouchHandler_9600Emulator);
