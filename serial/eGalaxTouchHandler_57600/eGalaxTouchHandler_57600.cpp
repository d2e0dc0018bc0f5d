#include "serial/eGalaxTouchHandler_57600/eGalaxTouchHandler_57600.h"

#include "serial/FixedFrameCommon/FixedFrames.h"

using fixed_frame::kEGalax57600;

eGalaxTouchHandler_57600::eGalaxTouchHandler_57600(const char* device)
    : ZorlanTouchHandler(device, kEGalax57600.cflag, kEGalax57600.speed, kEGalax57600.length, fixed_frame::kFifth)
{
}

eGalaxTouchHandler_57600::~eGalaxTouchHandler_57600() = default;

bool eGalaxTouchHandler_57600::isTouchDown(const unsigned char* packet) { return kEGalax57600.touchDown(packet); }

GfPoint eGalaxTouchHandler_57600::extractPosition(const unsigned char* packet)
{
    return kEGalax57600.position(packet);
}

bool eGalaxTouchHandler_57600::inSync(const unsigned char* packet)
{
    return fixed_frame::egalax::inSync(packet[0]);
}

TP_EXPORT_TOUCH_HANDLER(eGalaxTouchHandler_57600)
