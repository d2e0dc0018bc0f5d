#include "serial/Elo19TouchHandler/Elo19TouchHandler.h"

#include "serial/EloTouchHandler/EloSerial.h"

#include <termios.h>

namespace {
constexpr const char* kName = "Elo19TouchHandler";
}

Elo19TouchHandler::Elo19TouchHandler(const char* device)
    : ZorlanTouchHandler(device, CS8 | CREAD | CLOCAL, B9600, 8, 3)
{
    setElo19UntouchMode();
    m_modePending = false;
}

Elo19TouchHandler::~Elo19TouchHandler() = default;

void Elo19TouchHandler::setElo19UntouchMode() { elo::sendTouchMode(m_fd, kName); }

int Elo19TouchHandler::readData()
{
    if (!getPacket(m_packet, elo::kTouchType))
        return 0;
    processData();
    return 1;
}

int Elo19TouchHandler::getPacket(unsigned char* buffer, unsigned char type)
{
    return elo::readMessageOfType([this](unsigned char* b) { return getAnyPacket(b); }, buffer,
                                  type);
}

int Elo19TouchHandler::getAnyPacket(unsigned char* buffer)
{
    return elo::readMessage([this](unsigned char* b) { return readn(m_fd, b, 1); }, buffer,
                            kName);
}

bool Elo19TouchHandler::isTouchDown(const unsigned char* packet)
{
    return elo::touchDown(packet, m_modePending, [this] { setElo19UntouchMode(); });
}

GfPoint Elo19TouchHandler::extractPosition(const unsigned char* packet)
{
    return GfPoint(elo::field(packet, elo::kSecondField), elo::field(packet, elo::kFirstField));
}

void Elo19TouchHandler::lineControlChange(int lines, int state)
{
    CalibratedTouchHandler::lineControlChange(lines, state);
    if (elo::controllerReturned(lines, state))
        m_modePending = true;
}

TP_EXPORT_TOUCH_HANDLER(Elo19TouchHandler)
