#pragma once
// eGalax controllers at 57600 baud: six-byte frames read by the host's default framing,
// which starts a frame at any byte carrying one of the status bits (the trailer is not
// checked). Nothing is sent to the controller.

#include "contract/TouchHandler.h"

class eGalaxTouchHandler_57600 : public ZorlanTouchHandler {
public:
    explicit eGalaxTouchHandler_57600(const char* device);
    ~eGalaxTouchHandler_57600() override;

    bool isTouchDown(const unsigned char* packet) override;
    GfPoint extractPosition(const unsigned char* packet) override;
    bool inSync(const unsigned char* packet) override;
};
