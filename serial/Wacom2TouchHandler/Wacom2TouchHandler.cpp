#include "serial/Wacom2TouchHandler/Wacom2TouchHandler.h"

#include <cstring>
#include <sys/ioctl.h>
#include <sys/time.h>
#include <termios.h>
#include <unistd.h>

#include "serial/SerialLine/InputLog.h"
#include "serial/SerialLine/SerialLine.h"
#include "serial/Wacom2TouchHandler/WacomProtocol.h"

namespace {

constexpr unsigned kCflag = CS8 | CREAD | CLOCAL | CRTSCTS;
constexpr int kPortPacketLength = 32;
constexpr int kFifth = 1;
constexpr long kRefreshSeconds = 6;  // a pause this long and the report mode is sent again
constexpr int kRate9600 = 96;
constexpr int kRate19200 = 192;

long secondsNow()
{
    struct timeval tv;
    gettimeofday(&tv, nullptr);
    return static_cast<long>(tv.tv_sec);
}

char* copyOf(const char* s)
{
    if (s == nullptr)
        s = "";
    char* copy = new char[strlen(s) + 1];
    strcpy(copy, s);
    return copy;
}

}  // namespace

Wacom2TouchHandler::Wacom2TouchHandler(const char* device)
    : ZorlanTouchHandler(device, kCflag, B9600, kPortPacketLength, kFifth),
      m_deviceName(copyOf(device)),
      m_lastTime(0),
      m_resetPending(false),
      m_cmdPending(false)
{
    sendReportMode();
}

Wacom2TouchHandler::~Wacom2TouchHandler() { delete[] m_deviceName; }

void Wacom2TouchHandler::mdelay(int ms) { serial_line::mdelay(ms); }

void Wacom2TouchHandler::sendReportMode()
{
    const bool sent = write(m_fd, wacom::kNR1270.bytes, wacom::kNR1270.length) ==
                      static_cast<ssize_t>(wacom::kNR1270.length);
    input_log::write(0, "%s", sent ? "Wacom2TouchHandler:NR 1270 Command"
                                   : "Wacom2TouchHandler:NR 1270 Cmd Write Error");
}

void Wacom2TouchHandler::sendReset(const char* sent, const char* failed)
{
    const bool ok = write(m_fd, wacom::kReset.bytes, wacom::kReset.length) ==
                    static_cast<ssize_t>(wacom::kReset.length);
    input_log::write(0, "%s", ok ? sent : failed);
}

int Wacom2TouchHandler::readData()
{
    // A failed read (the port went away) ends the call: the packet buffer holds nothing new
    // and must not be reported again.
    for (;;) {
        if (readn(m_fd, m_packet, 1) != 1)
            return 0;
        if (wacom::startsPacket(m_packet[0]))
            break;
        if (!pcAttached())
            input_log::write(0, "Wacom2TouchHandler: Invalid sync byte %0X", m_packet[0]);
    }
    for (int i = 1; i < wacom::kPacketLength; ++i) {
        if (readn(m_fd, m_packet + i, 1) != 1)
            return 0;
    }
    if (pcAttached() && m_packet[0] == wacom::kProximityOut)
        memset(m_packet, 0, wacom::kPacketLength);
    processData();
    return 1;
}

bool Wacom2TouchHandler::isTouchDown(const unsigned char* packet)
{
    const bool touching = wacom::touching(packet);
    const long now = secondsNow();
    if (touching && m_resetPending) {
        resetpanel(pcAttached() ? kRate19200 : kRate9600);
        m_resetPending = false;
    } else if (!pcAttached()) {
        if (now < m_lastTime)
            m_lastTime = now;  // the clock was set back
        if (now - m_lastTime >= kRefreshSeconds)
            sendReportMode();
    }
    m_lastTime = now;
    return touching;
}

GfPoint Wacom2TouchHandler::extractPosition(const unsigned char* packet)
{
    if (packet == nullptr)
        return GfPoint();
    return GfPoint(wacom::x(packet), wacom::y(packet));
}

void Wacom2TouchHandler::resetpanel(int rate)
{
    const bool slow = rate == kRate9600;
    if (slow) {
        sendReset("Wacom2TouchHandler: Reset 23 Cmd Write - 9600",
                  "Wacom2TouchHandler: Reset Cmd Write Error");
        mdelay(20);
    }
    const speed_t speed = slow ? B9600 : B19200;
    serial_line::logRawFailure(serial_line::makeRaw(m_fd, speed | kCflag, [&] {
        m_speed = speed;
        input_log::write(0, "%s", slow ? "Wacom2TouchHandler: Panel switched to 9600"
                                       : "Wacom2TouchHandler: Panel switched to 19200");
    }), "Wacom2TouchHandler");
    if (pcAttached()) {
        const auto result = serial_line::makeRaw(m_passFd, m_speed | m_cflag, [&] {
            input_log::write(0, "%s", slow ? "Wacom2TouchHandler: Pass through switched to 9600"
                                           : "Wacom2TouchHandler: Pass through switched to 19.2");
        });
        if (result == serial_line::RawResult::GetFailed)
            input_log::write(2, "Wacom2TouchHandler::Switch Baud Rate - tcgetattr failed");
    }
    sendReportMode();
}

int Wacom2TouchHandler::attachPassThrough(const char* device)
{
    resetpanel(kRate9600);
    m_cmdPending = false;
    CalibratedTouchHandler::attachPassThrough(device);
    return 1;
}

int Wacom2TouchHandler::inPassSync(const unsigned char* data, int count)
{
    if (!pcAttached())
        return 1;
    switch (wacom::followPcBlock(data, count, m_cmdPending)) {
    case wacom::SpeedRequest::To9600:
        resetpanel(kRate9600);
        break;
    case wacom::SpeedRequest::To19200:
        resetpanel(kRate19200);
        break;
    case wacom::SpeedRequest::None:
        break;
    }
    return 1;
}

int Wacom2TouchHandler::detachPassThrough()
{
    CalibratedTouchHandler::detachPassThrough();
    PHALKeeper::Instance()->getInputManager()->stopTouch(this);
    const auto resetAndReportMode = [this] {
        sendReset("Wacom2TouchHandler: Detach Reset Command",
                  "Wacom2TouchHandler: Detach Reset Cmd Write Error");
        mdelay(100);
        sendReportMode();
        mdelay(100);
    };
    resetAndReportMode();
    if (close(m_fd) == 0)
        input_log::write(0, "Wacom2TouchHandler: closed after detach %s", m_deviceName);
    else
        input_log::write(3, "Wacom2TouchHandler: failed to close after detach %s", m_deviceName);
    m_fd = openSerialPort(m_deviceName, kCflag, B9600);
    m_speed = B9600;
    input_log::write(0, "Wacom2TouchHandler:opened after detach %s", m_deviceName);
    resetAndReportMode();
    return PHALKeeper::Instance()->getInputManager()->resumeTouch(this);
}

void Wacom2TouchHandler::lineControlChange(int lines, int state)
{
    CalibratedTouchHandler::lineControlChange(lines, state);
    if (state == 1 && (lines & TIOCM_CTS) != 0)
        m_resetPending = true;
}

TP_EXPORT_TOUCH_HANDLER(Wacom2TouchHandler)
