#include "serial/MicroTouchSX112PFHandler/MicroTouchSX112PFHandler.h"

MicroTouchSX112PFHandler::MicroTouchSX112PFHandler(const char* device) : MTSX112Base(device) {}

MicroTouchSX112PFHandler::~MicroTouchSX112PFHandler() = default;

MTSX112Base::SX112FirmwareCommand* MicroTouchSX112PFHandler::createTouchModeCommand()
{
    return new SX112FirmwareCommand("PF", "Pen and Finger", 1);
}

TP_EXPORT_TOUCH_HANDLER(MicroTouchSX112PFHandler)
