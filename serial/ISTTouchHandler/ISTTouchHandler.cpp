#include "serial/ISTTouchHandler/ISTTouchHandler.h"

#include "serial/FixedFrameCommon/FixedFrames.h"

using fixed_frame::kIST;

ISTTouchHandler::ISTTouchHandler(const char* device)
    : ZorlanTouchHandler(device, kIST.cflag, kIST.speed, kIST.length, fixed_frame::kFifth)
{
}

ISTTouchHandler::~ISTTouchHandler() = default;

bool ISTTouchHandler::isTouchDown(const unsigned char* packet) { return kIST.touchDown(packet); }

GfPoint ISTTouchHandler::extractPosition(const unsigned char* packet)
{
    return kIST.position(packet);
}

TP_EXPORT_TOUCH_HANDLER(ISTTouchHandler)
