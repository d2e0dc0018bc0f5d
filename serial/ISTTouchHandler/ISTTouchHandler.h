#pragma once
// IST controllers: six-byte frames at 9600 baud with RTS/CTS, read by the host's default
// framing. Nothing is sent to the controller.

#include "contract/TouchHandler.h"

class ISTTouchHandler : public ZorlanTouchHandler {
public:
    explicit ISTTouchHandler(const char* device);
    ~ISTTouchHandler() override;

    bool isTouchDown(const unsigned char* packet) override;
    GfPoint extractPosition(const unsigned char* packet) override;
};
