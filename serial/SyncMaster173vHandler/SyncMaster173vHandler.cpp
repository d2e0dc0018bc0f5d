#include "serial/SyncMaster173vHandler/SyncMaster173vHandler.h"

#include "serial/MicroTouchCommon/MicroTouchAscii.h"
#include "serial/MicroTouchCommon/MicroTouchSetup.h"

namespace {
const microtouch::Model kModel = {"SyncMaster173vHandler", microtouch::EightN1Switch::WhenCarrier};
}

SyncMaster173vHandler::SyncMaster173vHandler(const char* device)
    : ZorlanTouchHandler(device, microtouch::kCflag7N2, B9600, microtouch::kPacketLength,
                         microtouch::kFifth)
{
    microtouch::configure(kModel, m_fd, [this, device] {
        return openSerialPort(device, microtouch::kCflag8N1, B9600);
    });
}

SyncMaster173vHandler::~SyncMaster173vHandler() = default;

bool SyncMaster173vHandler::inSync(const unsigned char* packet) { return format_tablet::startsPacket(packet); }

bool SyncMaster173vHandler::isTouchDown(const unsigned char* packet) { return format_tablet::touching(packet); }

GfPoint SyncMaster173vHandler::extractPosition(const unsigned char* packet)
{
    return microtouch::position(packet, microtouch::Axes::YFirst);
}

TP_EXPORT_TOUCH_HANDLER(SyncMaster173vHandler)
