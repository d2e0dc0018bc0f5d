#pragma once
// NextWindow optical touch controllers on a serial line (NextWindowReport.h): X and Y come as
// normalised floats, scaled here to the display resolution the panel is set to; touch-down
// follows from the status byte and the status before it.

#include "contract/TouchHandler.h"

class NextWindowTouchHandler : public ZorlanTouchHandler {
public:
    explicit NextWindowTouchHandler(const char* device);
    ~NextWindowTouchHandler() override;

    int readData() override;
    bool isTouchDown(const unsigned char* packet) override;
    bool inSync(const unsigned char* packet) override;
    GfPoint extractPosition(const unsigned char* packet) override;
    void lineControlChange(int lines, int state) override;

private:
    void applyStatus(unsigned char status);

    unsigned char m_lastStatus;  // status of the last report that changed it
    bool m_modePending;          // the controller came back (nothing resends a mode yet)
    bool m_touchDown;            // what isTouchDown answers
};
