#include "serial/NullTouchHandler/NullTouchHandler.h"

#include "contract/TimeoutLabels.h"

NullTouchHandler::NullTouchHandler(const char* device)
    : ZorlanTouchHandler(device, CS8 | CREAD | CLOCAL | CRTSCTS,
                         LocalInfo::Instance()->getBaudRateBps(), 4, 1)
{
}

NullTouchHandler::~NullTouchHandler() = default;

int NullTouchHandler::processData() { return 1; }

void NullTouchHandler::enterCalibrationMode() {}

void NullTouchHandler::exitCalibrationMode(bool) {}

int NullTouchHandler::changeBaud(unsigned int speed)
{
    termios tio;
    if (tcgetattr(m_fd, &tio) != 0)
        return 0;
    if (cfsetospeed(&tio, static_cast<speed_t>(speed)) != 0)
        return 0;
    if (tcsetattr(m_fd, TCSANOW, &tio) != 0)
        return 0;
    m_speed = speed;  // the framework's record of the port follows the line
    return 1;
}

bool NullTouchHandler::isTouchDown(const unsigned char*) { return false; }

GfPoint NullTouchHandler::extractPosition(const unsigned char*) { return GfPoint(0, 0); }

TP_EXPORT_TOUCH_HANDLER(NullTouchHandler)
