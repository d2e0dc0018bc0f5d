#include "serial/eGalaxTouchHandler_9600/eGalaxTouchHandler_9600.h"

#include <unistd.h>

#include "serial/FixedFrameCommon/FixedFrames.h"
#include "serial/eGalaxTouchHandler_9600/EGalaxFrameReader.h"

using fixed_frame::kEGalax9600;

eGalaxTouchHandler_9600::eGalaxTouchHandler_9600(const char* device)
    : ZorlanTouchHandler(device, kEGalax9600.cflag, kEGalax9600.speed, kEGalax9600.length,
                         fixed_frame::kFifth),
      m_reinitPending(false)
{
    // These controllers want the port opened afresh after the host's set-up.
    if (m_fd >= 0)
        close(m_fd);
    m_fd = InputHandler::openSerialPort(device, kEGalax9600.cflag, kEGalax9600.speed);
}

eGalaxTouchHandler_9600::~eGalaxTouchHandler_9600() = default;

int eGalaxTouchHandler_9600::readData() { return checkForPacket(m_packet); }

int eGalaxTouchHandler_9600::checkForPacket(unsigned char* packet)
{
    const bool framed = fixed_frame::egalax::readFrame(
        packet, [this](unsigned char* byte) { return readn(m_fd, byte, 1); });
    if (!framed)
        return 0;
    processData();
    return 1;
}

bool eGalaxTouchHandler_9600::inSync(const unsigned char* packet)
{
    return fixed_frame::egalax::inSync(packet[0]);
}

bool eGalaxTouchHandler_9600::isTouchDown(const unsigned char* packet)
{
    const bool down = kEGalax9600.touchDown(packet);
    if (down)
        m_reinitPending = false;  // the controller is reporting again; nothing to resend
    return down;
}

GfPoint eGalaxTouchHandler_9600::extractPosition(const unsigned char* packet)
{
    return kEGalax9600.position(packet);
}

void eGalaxTouchHandler_9600::lineControlChange(int lines, int state)
{
    CalibratedTouchHandler::lineControlChange(lines, state);
    Logger::Instance()->DiagnosticString(oidInput, 0, "line control change");
    if (state == 1 && (lines & TIOCM_CTS) != 0)
        m_reinitPending = true;
}

TP_EXPORT_TOUCH_HANDLER(eGalaxTouchHandler_9600)
