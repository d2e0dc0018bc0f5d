#pragma once
// EZScreen serial controllers: five-byte frames at 38400 baud with RTS/CTS, read by the
// host's default framing. Nothing is sent to the controller.

#include "contract/TouchHandler.h"

class EZScreenTouchHandler : public ZorlanTouchHandler {
public:
    explicit EZScreenTouchHandler(const char* device);
    ~EZScreenTouchHandler() override;

    bool isTouchDown(const unsigned char* packet) override;
    GfPoint extractPosition(const unsigned char* packet) override;
};
