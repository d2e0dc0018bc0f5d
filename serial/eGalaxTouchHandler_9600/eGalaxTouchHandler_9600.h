#pragma once
// eGalax controllers at 9600 baud: six-byte frames that this handler reads itself, hunting
// for the status byte within a junk budget and checking the trailer (EGalaxFrameReader.h).
// Nothing is sent to the controller.

#include "contract/TouchHandler.h"

class eGalaxTouchHandler_9600 : public ZorlanTouchHandler {
public:
    explicit eGalaxTouchHandler_9600(const char* device);
    ~eGalaxTouchHandler_9600() override;

    bool isTouchDown(const unsigned char* packet) override;
    GfPoint extractPosition(const unsigned char* packet) override;
    bool inSync(const unsigned char* packet) override;
    int readData() override;
    void lineControlChange(int lines, int state) override;

    // Reads one frame into `packet` and hands it to processData: 1, or 0 when no frame
    // could be read in this call.
    int checkForPacket(unsigned char* packet);

private:
    bool m_reinitPending;  // the controller came back; cleared by the next touch-down
};
