#pragma once
// Magnus serial controllers (framed protocol, MagnusProtocol.h). The handler reads and checks
// frames itself, runs a short start-up dialogue on its first reads, acknowledges every
// touch-status frame, reports a lift-off by replaying the last coordinate frame, and repairs
// misaligned pass-through blocks.

#include "contract/TouchHandler.h"

class MagnusTouchHandler : public ZorlanTouchHandler {
public:
    explicit MagnusTouchHandler(const char* device);
    ~MagnusTouchHandler() override;

    int readData() override;
    bool isTouchDown(const unsigned char* packet) override;
    int inPassPCSync(unsigned char* data, int count) override;
    GfPoint extractPosition(const unsigned char* packet) override;
    bool controllerIsPresent(int lines) override;

    bool isChecksumValid(const unsigned char* data);
    // One valid frame into m_packet: 1, or 0 when the line failed or ended.
    int syncToController();
    // The start-up dialogue; sets m_initDone once the controller has been set up.
    void InitPanel();

private:
    void logFrame(const char* format);
    bool writeCommand(const unsigned char* command, int size);

    bool m_initDone;
    bool m_touching;
    unsigned char* m_lastPacket;  // m_packet as it was at the last extractPosition
};
