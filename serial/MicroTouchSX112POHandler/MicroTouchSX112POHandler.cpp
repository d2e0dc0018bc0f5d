#include "serial/MicroTouchSX112POHandler/MicroTouchSX112POHandler.h"

MicroTouchSX112POHandler::MicroTouchSX112POHandler(const char* device) : MTSX112Base(device) {}

MicroTouchSX112POHandler::~MicroTouchSX112POHandler() = default;

MTSX112Base::SX112FirmwareCommand* MicroTouchSX112POHandler::createTouchModeCommand()
{
    return new SX112FirmwareCommand("PO", "Pen only", 1);
}

TP_EXPORT_TOUCH_HANDLER(MicroTouchSX112POHandler)
