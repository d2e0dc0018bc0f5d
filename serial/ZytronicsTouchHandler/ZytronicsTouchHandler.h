#pragma once
// Zytronics projected-capacitive controllers (ZytronicsProtocol.h). At start-up the handler
// initialises the controller and makes sure the settings file exists; thirty seconds later
// it sends the controller each setting of the file that differs from what it was given.
//
// The settings the controller is taken to have are kept per plug-in, not per handler: the
// host makes one handler of this class.
//
// The settings file is "/opt/touch/calfile"; a test may name another one in the environment
// variable TP_ZYTRONICS_SETTINGS_FILE, read when a handler is constructed.

#include "contract/TouchHandler.h"

class ZytronicsTouchHandler : public ZorlanTouchHandler {
public:
    explicit ZytronicsTouchHandler(const char* device);
    ~ZytronicsTouchHandler() override;

    void timerDone(int timer) override;
    bool isTouchDown(const unsigned char* packet) override;
    GfPoint extractPosition(const unsigned char* packet) override;

    void setTouchMode();
};
