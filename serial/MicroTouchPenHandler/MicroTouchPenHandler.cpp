#include "serial/MicroTouchPenHandler/MicroTouchPenHandler.h"

#include <cerrno>
#include <cstring>

#include "serial/MicroTouchCommon/MicroTouchAscii.h"
#include "serial/MicroTouchCommon/MicroTouchCommands.h"
#include "serial/SerialLine/InputLog.h"

MicroTouchPenHandler::MicroTouchPenHandler(const char* device)
    : ZorlanTouchHandler(device, microtouch::kCflag8N1, B9600, microtouch::kPacketLength,
                         microtouch::kFifth)
{
    char reset[sizeof "\x01R\r"];
    memcpy(reset, microtouch::kReset.bytes, sizeof reset);
    const unsigned length = static_cast<unsigned>(microtouch::kReset.length);
    if (writen(m_fd, reset, length) == static_cast<int>(length))
        input_log::write(0, "MicroTouchPenHandler: reset");
    else
        input_log::write(3, "MicroTouchPenHandler: %s", strerror(errno));
}

MicroTouchPenHandler::~MicroTouchPenHandler() = default;

bool MicroTouchPenHandler::inSync(const unsigned char* packet)
{
    return format_tablet::startsPacket(packet);
}

bool MicroTouchPenHandler::isTouchDown(const unsigned char* packet)
{
    return format_tablet::touching(packet);
}

GfPoint MicroTouchPenHandler::extractPosition(const unsigned char* packet)
{
    return microtouch::position(packet, microtouch::Axes::XFirst);
}

TP_EXPORT_TOUCH_HANDLER(MicroTouchPenHandler)
