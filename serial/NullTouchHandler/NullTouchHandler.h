#pragma once
// The handler of a port without a touch controller: the port is opened at the panel's
// configured speed and read with the framework's default framing, and nothing read is ever
// reported. The framework may still move the port to another speed through changeBaud.

#include "contract/TouchHandler.h"

class NullTouchHandler : public ZorlanTouchHandler {
public:
    explicit NullTouchHandler(const char* device);
    ~NullTouchHandler() override;

    int processData() override;
    void enterCalibrationMode() override;
    void exitCalibrationMode(bool save) override;
    // Sets the port's output speed to the termios speed code `speed`: 1 when tcgetattr,
    // cfsetospeed and tcsetattr all succeeded, 0 at the first that failed.
    int changeBaud(unsigned int speed) override;
    bool isTouchDown(const unsigned char* packet) override;
    GfPoint extractPosition(const unsigned char* packet) override;
};
