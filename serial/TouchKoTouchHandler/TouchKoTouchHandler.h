#pragma once
// TouchKo serial controllers, whose speed is not known beforehand: the constructor hunts
// through 38400, 115200 and 9600 baud, asking the controller to identify itself at each.
// Reports are five bytes in the format-tablet layout, framed here.

#include "contract/TouchHandler.h"

class TouchKoTouchHandler : public ZorlanTouchHandler {
public:
    explicit TouchKoTouchHandler(const char* device);
    ~TouchKoTouchHandler() override;

    int readData() override;
    bool inSync(const unsigned char* packet) override;
    bool isTouchDown(const unsigned char* packet) override;
    GfPoint extractPosition(const unsigned char* packet) override;
    int attachPassThrough(const char* device) override;
    int detachPassThrough() override;
    bool controllerIsPresent(int lines) override;

    // The speed hunt: the reply check of the speed that answered, or the number of speeds
    // given up (0 when the hunt had already ended).
    int initPanel(const char* device);
    void changePanelBaud(const char* device, unsigned int speed);
    void writePanel(int what);
    int readPanelCompare(int what);

private:
    void mdelay(int ms);

    unsigned int m_tryBaud;  // speed being tried
    int m_baudTries;         // speeds given up; 4 once the controller answered
    bool m_sameBaud;         // the current speed has been set for this try
};
