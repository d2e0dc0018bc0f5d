#pragma once
// EZScreen version 6 controllers: five-byte frames at 9600 baud with RTS/CTS, Y before X,
// read by the host's default framing. Nothing is sent to the controller.

#include "contract/TouchHandler.h"

class EZScreenV6TouchHandler : public ZorlanTouchHandler {
public:
    explicit EZScreenV6TouchHandler(const char* device);
    ~EZScreenV6TouchHandler() override;

    bool isTouchDown(const unsigned char* packet) override;
    GfPoint extractPosition(const unsigned char* packet) override;
};
