#include "serial/eGalaxTouchHandler_57600/eGalaxTouchHandler_57600.h"

#include "serial/FixedFrameCommon/FixedFrameHandler.h"

TP_FIXED_FRAME_HANDLER_MEMBERS(eGalaxTouchHandler_57600, fixed_frame::kEGalax57600)

bool eGalaxTouchHandler_57600::inSync(const unsigned char* packet)
{
    return fixed_frame::egalax::inSync(packet[0]);
}

TP_EXPORT_TOUCH_HANDLER(eGalaxTouchHandler_57600)
