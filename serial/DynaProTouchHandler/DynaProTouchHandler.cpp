#include "serial/DynaProTouchHandler/DynaProTouchHandler.h"

#include "serial/FixedFrameCommon/FixedFrames.h"

using fixed_frame::kDynaPro;

DynaProTouchHandler::DynaProTouchHandler(const char* device)
    : ZorlanTouchHandler(device, kDynaPro.cflag, kDynaPro.speed, kDynaPro.length, fixed_frame::kFifth)
{
}

DynaProTouchHandler::~DynaProTouchHandler() = default;

bool DynaProTouchHandler::isTouchDown(const unsigned char* packet) { return kDynaPro.touchDown(packet); }

GfPoint DynaProTouchHandler::extractPosition(const unsigned char* packet)
{
    return kDynaPro.position(packet);
}

TP_EXPORT_TOUCH_HANDLER(DynaProTouchHandler)
