#pragma once
// The SX112 controller in "Pen and Finger" mode.

#include "serial/MTSX112Base/MTSX112Base.h"

class MicroTouchSX112PFHandler : public MTSX112Base {
public:
    explicit MicroTouchSX112PFHandler(const char* device);
    ~MicroTouchSX112PFHandler() override;

    SX112FirmwareCommand* createTouchModeCommand() override;
};
