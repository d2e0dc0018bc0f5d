#include "serial/MicroTouchHandler/MicroTouchHandler.h"

#include "serial/MicroTouchCommon/MicroTouchAscii.h"
#include "serial/MicroTouchCommon/MicroTouchSetup.h"

namespace {
const microtouch::Model kModel = {"MicroTouchHandler", microtouch::EightN1Switch::Always};
}

MicroTouchHandler::MicroTouchHandler(const char* device)
    : ZorlanTouchHandler(device, microtouch::kCflag7N2, B9600, microtouch::kPacketLength,
                         microtouch::kFifth)
{
    microtouch::configure(kModel, m_fd, [this, device] {
        return openSerialPort(device, microtouch::kCflag8N1, B9600);
    });
}

MicroTouchHandler::~MicroTouchHandler() = default;

bool MicroTouchHandler::inSync(const unsigned char* packet) { return format_tablet::startsPacket(packet); }

bool MicroTouchHandler::isTouchDown(const unsigned char* packet) { return format_tablet::touching(packet); }

GfPoint MicroTouchHandler::extractPosition(const unsigned char* packet)
{
    return microtouch::position(packet, microtouch::Axes::XFirst);
}

TP_EXPORT_TOUCH_HANDLER(MicroTouchHandler)
