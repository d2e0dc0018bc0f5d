#include "serial/EZScreenV6TouchHandler/EZScreenV6TouchHandler.h"

#include "serial/FixedFrameCommon/FixedFrames.h"

using fixed_frame::kEZScreenV6;

EZScreenV6TouchHandler::EZScreenV6TouchHandler(const char* device)
    : ZorlanTouchHandler(device, kEZScreenV6.cflag, kEZScreenV6.speed, kEZScreenV6.length, fixed_frame::kFifth)
{
}

EZScreenV6TouchHandler::~EZScreenV6TouchHandler() = default;

bool EZScreenV6TouchHandler::isTouchDown(const unsigned char* packet) { return kEZScreenV6.touchDown(packet); }

GfPoint EZScreenV6TouchHandler::extractPosition(const unsigned char* packet)
{
    return kEZScreenV6.position(packet);
}

TP_EXPORT_TOUCH_HANDLER(EZScreenV6TouchHandler)
