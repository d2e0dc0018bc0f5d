#pragma once
// The SX112 controller in "Pen only" mode.

#include "serial/MTSX112Base/MTSX112Base.h"

class MicroTouchSX112POHandler : public MTSX112Base {
public:
    explicit MicroTouchSX112POHandler(const char* device);
    ~MicroTouchSX112POHandler() override;

    SX112FirmwareCommand* createTouchModeCommand() override;
};
