#pragma once
// Elo serial controllers wired with the coordinate fields the other way round: x comes from
// the second field, y from the first. Otherwise protocol and behaviour of EloTouchHandler.

#include "contract/TouchHandler.h"

class Elo19TouchHandler : public ZorlanTouchHandler {
public:
    explicit Elo19TouchHandler(const char* device);
    ~Elo19TouchHandler() override;

    int readData() override;
    bool isTouchDown(const unsigned char* packet) override;
    GfPoint extractPosition(const unsigned char* packet) override;
    void lineControlChange(int lines, int state) override;

    void setElo19UntouchMode();
    // Reads messages until one of type `type` has arrived (1), or reading failed (0).
    int getPacket(unsigned char* buffer, unsigned char type);
    // One framed, checksum-verified message of any type into buffer; 1 or 0.
    int getAnyPacket(unsigned char* buffer);

private:
    bool m_modePending;  // send the touch mode again at the next touch-down
};
