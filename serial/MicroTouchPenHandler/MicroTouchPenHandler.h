#pragma once
// MicroTouch pen controllers already run at 8N1 in format-tablet mode; the handler only
// resets them. Reading is the framework's default framing of five-byte reports.

#include "contract/TouchHandler.h"

class MicroTouchPenHandler : public ZorlanTouchHandler {
public:
    explicit MicroTouchPenHandler(const char* device);
    ~MicroTouchPenHandler() override;

    bool inSync(const unsigned char* packet) override;
    bool isTouchDown(const unsigned char* packet) override;
    GfPoint extractPosition(const unsigned char* packet) override;
};
