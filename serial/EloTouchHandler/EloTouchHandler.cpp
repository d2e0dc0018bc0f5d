#include "serial/EloTouchHandler/EloTouchHandler.h"

#include "serial/EloTouchHandler/EloSerial.h"

#include <termios.h>

namespace {
constexpr const char* kName = "EloTouchHandler";
}

EloTouchHandler::EloTouchHandler(const char* device)
    : ZorlanTouchHandler(device, CS8 | CREAD | CLOCAL, B9600, 8, 3)
{
    setEloUntouchMode();
    m_modePending = false;
}

EloTouchHandler::~EloTouchHandler() = default;

void EloTouchHandler::setEloUntouchMode() { elo::sendTouchMode(m_fd, kName); }

int EloTouchHandler::readData()
{
    if (!getPacket(m_packet, elo::kTouchType))
        return 0;
    processData();
    return 1;
}

int EloTouchHandler::getPacket(unsigned char* buffer, unsigned char type)
{
    return elo::readMessageOfType([this](unsigned char* b) { return getAnyPacket(b); }, buffer,
                                  type);
}

int EloTouchHandler::getAnyPacket(unsigned char* buffer)
{
    return elo::readMessage([this](unsigned char* b) { return readn(m_fd, b, 1); }, buffer,
                            kName);
}

bool EloTouchHandler::isTouchDown(const unsigned char* packet)
{
    return elo::touchDown(packet, m_modePending, [this] { setEloUntouchMode(); });
}

GfPoint EloTouchHandler::extractPosition(const unsigned char* packet)
{
    return GfPoint(elo::field(packet, elo::kFirstField), elo::field(packet, elo::kSecondField));
}

void EloTouchHandler::lineControlChange(int lines, int state)
{
    CalibratedTouchHandler::lineControlChange(lines, state);
    if (elo::controllerReturned(lines, state))
        m_modePending = true;
}

TP_EXPORT_TOUCH_HANDLER(EloTouchHandler)
