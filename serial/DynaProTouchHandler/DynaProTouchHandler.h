#pragma once
// DynaPro controllers: three-byte frames at 2400 baud with RTS/CTS, read by the host's
// default framing. Nothing is sent to the controller.

#include "contract/TouchHandler.h"

class DynaProTouchHandler : public ZorlanTouchHandler {
public:
    explicit DynaProTouchHandler(const char* device);
    ~DynaProTouchHandler() override;

    bool isTouchDown(const unsigned char* packet) override;
    GfPoint extractPosition(const unsigned char* packet) override;
};
