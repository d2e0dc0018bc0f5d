#pragma once
// MicroTouch MT3000 controllers: as MicroTouchHandler, but the port only moves to 8N1 when the controller raises carrier detect, and x is the second report field.
// The whole set-up runs in the constructor (MicroTouchSetup.h); reading is the framework's
// default framing of five-byte format-tablet reports.

#include "contract/TouchHandler.h"

class MicroTouchMT3000Handler : public ZorlanTouchHandler {
public:
    explicit MicroTouchMT3000Handler(const char* device);
    ~MicroTouchMT3000Handler() override;

    bool inSync(const unsigned char* packet) override;
    bool isTouchDown(const unsigned char* packet) override;
    GfPoint extractPosition(const unsigned char* packet) override;
};
