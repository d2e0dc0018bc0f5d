#pragma once
// Sanyo serial controllers: five-byte packets behind a lead byte (LeadBytePacket.h), framed
// by the handler itself, with or without a PC on the pass-through port.
//
//   byte 0   1 . . . . . S .   bit 7 marks the first byte; S (bit 1) clear = touching
//   byte 1   x low seven bits
//   byte 2   x high seven bits
//   byte 3   y low seven bits
//   byte 4   y high seven bits

#include "contract/TouchHandler.h"

class SanyoTouchHandler : public ZorlanTouchHandler {
public:
    explicit SanyoTouchHandler(const char* device);
    ~SanyoTouchHandler() override;

    int readData() override;
    int attachPassThrough(const char* device) override;
    int detachPassThrough() override;
    bool isTouchDown(const unsigned char* packet) override;
    bool inSync(const unsigned char* packet) override;
    int inPassPCSync(unsigned char* data, int count) override;
    GfPoint extractPosition(const unsigned char* packet) override;
    void lineControlChange(int lines, int state) override;
    bool controllerIsPresent(int lines) override;
};
