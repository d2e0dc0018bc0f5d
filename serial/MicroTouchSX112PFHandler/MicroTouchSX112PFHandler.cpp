#include "serial/MicroTouchSX112PFHandler/MicroTouchSX112PFHandler.h"

#include <new>

MicroTouchSX112PFHandler::MicroTouchSX112PFHandler(const char* device) : MTSX112Base(device) {}

MicroTouchSX112PFHandler::~MicroTouchSX112PFHandler() = default;

MTSX112Base::SX112FirmwareCommand* MicroTouchSX112PFHandler::createTouchModeCommand()
{
    return new (std::nothrow) SX112FirmwareCommand("PF", "Pen and Finger", 1);
}

TP_EXPORT_TOUCH_HANDLER(MicroTouchSX112PFHandler)
