#include "serial/EZScreenTouchHandler/EZScreenTouchHandler.h"

#include "serial/FixedFrameCommon/FixedFrames.h"

using fixed_frame::kEZScreen;

EZScreenTouchHandler::EZScreenTouchHandler(const char* device)
    : ZorlanTouchHandler(device, kEZScreen.cflag, kEZScreen.speed, kEZScreen.length, fixed_frame::kFifth)
{
}

EZScreenTouchHandler::~EZScreenTouchHandler() = default;

bool EZScreenTouchHandler::isTouchDown(const unsigned char* packet) { return kEZScreen.touchDown(packet); }

GfPoint EZScreenTouchHandler::extractPosition(const unsigned char* packet)
{
    return kEZScreen.position(packet);
}

TP_EXPORT_TOUCH_HANDLER(EZScreenTouchHandler)
