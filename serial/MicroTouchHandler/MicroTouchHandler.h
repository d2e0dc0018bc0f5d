#pragma once
// MicroTouch serial controllers (SMT2/SMT3, TouchPen4) configured by ASCII commands.
// The whole set-up runs in the constructor (MicroTouchSetup.h); reading is the framework's
// default framing of five-byte format-tablet reports.

#include "contract/TouchHandler.h"

class MicroTouchHandler : public ZorlanTouchHandler {
public:
    explicit MicroTouchHandler(const char* device);
    ~MicroTouchHandler() override;

    bool inSync(const unsigned char* packet) override;
    bool isTouchDown(const unsigned char* packet) override;
    GfPoint extractPosition(const unsigned char* packet) override;
};
