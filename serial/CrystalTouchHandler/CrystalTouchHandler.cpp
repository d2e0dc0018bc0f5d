#include "serial/CrystalTouchHandler/CrystalTouchHandler.h"

#include "serial/FixedFrameCommon/FixedFrames.h"

using fixed_frame::kCrystal;

CrystalTouchHandler::CrystalTouchHandler(const char* device)
    : ZorlanTouchHandler(device, kCrystal.cflag, kCrystal.speed, kCrystal.length,
                         fixed_frame::kFifth)
{
    Logger::Instance()->DiagnosticString(oidInput, 1, "CrystalTouchHandler Constructor called");
}

CrystalTouchHandler::~CrystalTouchHandler() = default;

bool CrystalTouchHandler::isTouchDown(const unsigned char* packet)
{
    return kCrystal.touchDown(packet);
}

GfPoint CrystalTouchHandler::extractPosition(const unsigned char* packet)
{
    const GfPoint p = kCrystal.position(packet);
    Logger::Instance()->DiagnosticString(oidInput, 1, "x = %x, y = %x", static_cast<unsigned>(p.x),
                                         static_cast<unsigned>(p.y));
    return p;
}

TP_EXPORT_TOUCH_HANDLER(CrystalTouchHandler)
