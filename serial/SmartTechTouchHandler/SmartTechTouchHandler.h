#pragma once
// SMART serial controllers (SmartTechProtocol.h). The handler finds out which protocol the
// controller speaks, switches line and controller to it, checks every frame, acknowledges
// status frames, reports a lift-off by replaying the last touch frame and repairs misaligned
// pass-through blocks.

#include "contract/TouchHandler.h"

class SmartTechTouchHandler : public ZorlanTouchHandler {
public:
    enum eProtocol { sc4 = 0, sc6 = 1, unknown = 2 };

    explicit SmartTechTouchHandler(const char* device);
    ~SmartTechTouchHandler() override;

    int readData() override;
    bool isTouchDown(const unsigned char* packet) override;
    int inPassPCSync(unsigned char* data, int count) override;
    GfPoint extractPosition(const unsigned char* packet) override;
    bool controllerIsPresent(int lines) override;

    bool isChecksumValid();
    // One valid frame of `protocol` in m_packet: 1; 0 when none lined up within the shift
    // budget; -1 when the line failed or ended (there is no frame to look at then).
    int syncToController(eProtocol protocol);
    // Switch line and controller to a protocol and sync to it; results as syncToController.
    int sc4mode();
    int sc6mode();
    void rtsreset();
    void mdelay(int ms);

private:
    int setLine(unsigned int cflag);
    void writeMode(const unsigned char* command, const char* format);

    eProtocol m_protocol;
    bool m_synced;
    bool m_touching;
    unsigned char* m_lastPacket;  // the six bytes of the last reported touch frame
};
