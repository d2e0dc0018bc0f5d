#include "serial/MicroTouchMT3000Handler/MicroTouchMT3000Handler.h"

#include "serial/MicroTouchCommon/MicroTouchAscii.h"
#include "serial/MicroTouchCommon/MicroTouchSetup.h"

namespace {
const microtouch::Model kModel = {"MicroTouchMT3000Handler", microtouch::EightN1Switch::WhenCarrier};
}

MicroTouchMT3000Handler::MicroTouchMT3000Handler(const char* device)
    : ZorlanTouchHandler(device, microtouch::kCflag7N2, B9600, microtouch::kPacketLength,
                         microtouch::kFifth)
{
    microtouch::configure(kModel, m_fd, [this, device] {
        return openSerialPort(device, microtouch::kCflag8N1, B9600);
    });
}

MicroTouchMT3000Handler::~MicroTouchMT3000Handler() = default;

bool MicroTouchMT3000Handler::inSync(const unsigned char* packet) { return format_tablet::startsPacket(packet); }

bool MicroTouchMT3000Handler::isTouchDown(const unsigned char* packet) { return format_tablet::touching(packet); }

GfPoint MicroTouchMT3000Handler::extractPosition(const unsigned char* packet)
{
    return microtouch::position(packet, microtouch::Axes::YFirst);
}

TP_EXPORT_TOUCH_HANDLER(MicroTouchMT3000Handler)
