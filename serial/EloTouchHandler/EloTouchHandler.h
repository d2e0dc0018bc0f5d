#pragma once
// Elo serial controllers (ten-byte framed protocol, EloSerial.h): touch reports only, x from
// the first coordinate field. The controller is put in touch mode at start-up and again on
// the first touch after its modem lines said it came back.

#include "contract/TouchHandler.h"

class EloTouchHandler : public ZorlanTouchHandler {
public:
    explicit EloTouchHandler(const char* device);
    ~EloTouchHandler() override;

    int readData() override;
    bool isTouchDown(const unsigned char* packet) override;
    GfPoint extractPosition(const unsigned char* packet) override;
    void lineControlChange(int lines, int state) override;

    void setEloUntouchMode();
    // Reads messages until one of type `type` has arrived (1), or reading failed (0).
    int getPacket(unsigned char* buffer, unsigned char type);
    // One framed, checksum-verified message of any type into buffer; 1 or 0.
    int getAnyPacket(unsigned char* buffer);

private:
    bool m_modePending;  // send the touch mode again at the next touch-down
};
