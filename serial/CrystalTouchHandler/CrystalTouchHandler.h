#pragma once
// Crystal controllers: seventeen-byte frames at 115200 baud with RTS/CTS, read by the
// host's default framing. Every extracted position is logged.

#include "contract/TouchHandler.h"

class CrystalTouchHandler : public ZorlanTouchHandler {
public:
    explicit CrystalTouchHandler(const char* device);
    ~CrystalTouchHandler() override;

    bool isTouchDown(const unsigned char* packet) override;
    GfPoint extractPosition(const unsigned char* packet) override;
};
