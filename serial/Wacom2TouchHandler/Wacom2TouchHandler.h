#pragma once
// Wacom serial pen tablets (seven-byte packets, WacomProtocol.h). The tablet is kept in the
// handler's report mode ("NR 1270", refreshed after a pause of six seconds), reset after its
// modem lines say it came back, and shared with an external PC through the pass-through
// port: the handler follows the PC's speed changes on both ports, and when the PC leaves it
// resets the tablet, reopens the port and has the input manager stop and resume its touches.

#include "contract/TouchHandler.h"

class Wacom2TouchHandler : public ZorlanTouchHandler {
public:
    explicit Wacom2TouchHandler(const char* device);
    ~Wacom2TouchHandler() override;

    int readData() override;
    bool isTouchDown(const unsigned char* packet) override;
    GfPoint extractPosition(const unsigned char* packet) override;
    int attachPassThrough(const char* device) override;
    int detachPassThrough() override;
    int inPassSync(const unsigned char* data, int count) override;
    void lineControlChange(int lines, int state) override;

    // 96: the tablet is reset and both ports go to 9600 baud; otherwise (192) 19200.
    void resetpanel(int rate);

private:
    void mdelay(int ms);
    bool pcAttached() const { return m_passFd != -1; }
    void sendReportMode();
    void sendReset(const char* sent, const char* failed);

    char* m_deviceName;   // to reopen the port after the PC left
    long m_lastTime;      // seconds of the last isTouchDown
    bool m_resetPending;  // reset the tablet at the next touch
    bool m_cmdPending;    // the PC's "~*F" command is waiting for its CR
};
