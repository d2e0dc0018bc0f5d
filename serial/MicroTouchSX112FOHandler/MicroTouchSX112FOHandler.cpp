#include "serial/MicroTouchSX112FOHandler/MicroTouchSX112FOHandler.h"

MicroTouchSX112FOHandler::MicroTouchSX112FOHandler(const char* device) : MTSX112Base(device) {}

MicroTouchSX112FOHandler::~MicroTouchSX112FOHandler() = default;

MTSX112Base::SX112FirmwareCommand* MicroTouchSX112FOHandler::createTouchModeCommand()
{
    return new SX112FirmwareCommand("FO", "Finger only", 1);
}

TP_EXPORT_TOUCH_HANDLER(MicroTouchSX112FOHandler)
