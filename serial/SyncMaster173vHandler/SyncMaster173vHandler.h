#pragma once
// The MicroTouch controller built into the Samsung SyncMaster 173v monitor: the MT3000 set-up and report layout.
// The whole set-up runs in the constructor (MicroTouchSetup.h); reading is the framework's
// default framing of five-byte format-tablet reports.

#include "contract/TouchHandler.h"

class SyncMaster173vHandler : public ZorlanTouchHandler {
public:
    explicit SyncMaster173vHandler(const char* device);
    ~SyncMaster173vHandler() override;

    bool inSync(const unsigned char* packet) override;
    bool isTouchDown(const unsigned char* packet) override;
    GfPoint extractPosition(const unsigned char* packet) override;
};
