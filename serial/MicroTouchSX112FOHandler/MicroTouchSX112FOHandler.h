#pragma once
// The SX112 controller in "Finger only" mode.

#include "serial/MTSX112Base/MTSX112Base.h"

class MicroTouchSX112FOHandler : public MTSX112Base {
public:
    explicit MicroTouchSX112FOHandler(const char* device);
    ~MicroTouchSX112FOHandler() override;

    SX112FirmwareCommand* createTouchModeCommand() override;
};
