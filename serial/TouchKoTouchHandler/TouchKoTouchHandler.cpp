#include "serial/TouchKoTouchHandler/TouchKoTouchHandler.h"

#include <cerrno>
#include <cstring>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "serial/MicroTouchCommon/FormatTablet.h"
#include "serial/SerialLine/InputLog.h"
#include "serial/SerialLine/SerialLine.h"
#include "serial/TouchKoTouchHandler/TouchKoProtocol.h"

namespace {

constexpr unsigned kCflag = CS8 | CSTOPB | CREAD | CLOCAL;
constexpr int kDeclaredPacketLength = 1;  // readData frames the reports itself
constexpr int kFifth = 3;
constexpr int kReplyWaitMs = 250;  // for the reply to start, and for each further byte
// A reply that keeps restarting cannot hold the hunt: this many bytes and it has ended.
constexpr int kReplyByteBudget = ZorlanTouchHandler::MIN_PACKET_SIZE;

const char* switchingText(unsigned speed)
{
    switch (speed) {
    case B9600:
        return "TouchKoTouchHandler: Panel switching to baud rate 9600";
    case B38400:
        return "TouchKoTouchHandler: Panel switching to baud rate 38400";
    case B115200:
        return "TouchKoTouchHandler: Panel switching to baud rate 115200";
    default:
        return nullptr;
    }
}

}  // namespace

TouchKoTouchHandler::TouchKoTouchHandler(const char* device)
    : ZorlanTouchHandler(device, kCflag, B38400, kDeclaredPacketLength, kFifth),
      m_tryBaud(B38400),
      m_baudTries(0),
      m_sameBaud(false)
{
    input_log::write(0, "TouchKoTouchHandler: Dynamic Load Version is %s", "v1.0");
    initPanel(device);
}

TouchKoTouchHandler::~TouchKoTouchHandler() = default;

void TouchKoTouchHandler::mdelay(int ms) { serial_line::mdelay(ms); }

int TouchKoTouchHandler::initPanel(const char* device)
{
    if (m_baudTries > 2)
        return 0;
    do {
        const bool firstAttempt = !m_sameBaud;
        if (firstAttempt) {
            changePanelBaud(device, m_tryBaud);
            tcflush(m_fd, TCIOFLUSH);
        }
        writePanel(1);
        const int r = readPanelCompare(1);
        if (firstAttempt) {
            m_sameBaud = true;
            if ((r & 0xFF) >= 8) {
                m_baudTries = 4;
                return r;
            }
        } else {
            // The second attempt at a speed only gives the controller time; its reply is
            // not looked at.
            m_tryBaud = touchko::nextSpeed(m_tryBaud);
            ++m_baudTries;
            m_sameBaud = false;
        }
    } while (m_baudTries < 3);
    return m_baudTries;
}

void TouchKoTouchHandler::changePanelBaud(const char* device, unsigned int speed)
{
    input_log::write(0, "TouchKoTouchHandler: changePanelBaud");
    serial_line::logRawFailure(serial_line::makeRaw(m_fd, speed | kCflag, [&] {
        m_speed = speed;
        if (const char* text = switchingText(speed))
            input_log::write(0, "%s", text);
    }), "TouchKoTouchHandler");
    int lines = 0;
    if (ioctl(m_fd, TIOCMGET, &lines) != 0) {
        input_log::write(3, "TouchKoTouchHandler: ioctl: %s", strerror(errno));
        lines = 0;
    }
    close(m_fd);
    m_fd = openSerialPort(device, kCflag, speed);
    m_speed = speed;
    input_log::write(0, "TouchKoTouchHandler:Close/Open - change baud rate 0x%X", lines);
    mdelay(10);
}

void TouchKoTouchHandler::writePanel(int what)
{
    if (what == 1) {
        if (write(m_fd, touchko::kIdentify, touchko::kIdentifyLength) ==
            static_cast<ssize_t>(touchko::kIdentifyLength))
            input_log::write(0, "TouchKoTouchHandler: find baud - di cmd");
        else
            input_log::write(3, "TouchKoTouchHandler: find baud %s", strerror(errno));
    }
    mdelay(100);
}

int TouchKoTouchHandler::readPanelCompare(int what)
{
    if (what != 1)
        return touchko::kMismatch;
    if (serial_line::waitReadable(m_fd, kReplyWaitMs) != 1) {
        input_log::write(1, "TouchKoTouchHandler: read panel time out error");
        return 0;
    }
    input_log::write(1, "TouchKoTouchHandler: panel response data: ");
    int count = 0;
    int expected = touchko::kPassLength;
    for (int reads = 0; count < expected; ++reads) {
        unsigned char byte = 0;
        // Every byte after the first gets the same wait: a controller that stops half-way
        // through its reply ends the reply, it does not hold the hunt.
        const bool more = reads < kReplyByteBudget &&
                          (reads == 0 || serial_line::waitReadable(m_fd, kReplyWaitMs) == 1) &&
                          readn(m_fd, &byte, 1) == 1;
        if (!more) {
            input_log::write(1, "End of Data - length = 0x%X", count);
            expected = count;
            break;
        }
        switch (touchko::classify(byte)) {
        case touchko::ByteClass::Restart:
            count = 0;
            break;
        case touchko::ByteClass::Accept:
            break;
        case touchko::ByteClass::Reject:
            return touchko::kMismatch;
        }
        if (count < MIN_PACKET_SIZE) {
            m_packet[count] = byte;
            input_log::write(1, "Init read data = 0x%X ", byte);
        }
        ++count;
    }
    const int result = touchko::compareReply(m_packet, expected, count);
    input_log::write(1, "Read compare return value = 0x%X", result);
    return result;
}

int TouchKoTouchHandler::readData()
{
    // A failed read (the port went away) ends the call without reporting the stale buffer.
    do {
        if (readn(m_fd, m_packet, 1) != 1)
            return 0;
    } while (!format_tablet::startsPacket(m_packet));
    for (int i = 1; i < format_tablet::kPacketLength; ++i) {
        if (readn(m_fd, m_packet + i, 1) != 1)
            return 0;
    }
    processData();
    return 1;
}

bool TouchKoTouchHandler::inSync(const unsigned char* packet) { return format_tablet::startsPacket(packet); }

bool TouchKoTouchHandler::isTouchDown(const unsigned char* packet) { return format_tablet::touching(packet); }

GfPoint TouchKoTouchHandler::extractPosition(const unsigned char* packet)
{
    if (packet == nullptr)
        return GfPoint();
    return GfPoint(format_tablet::firstField(packet), format_tablet::secondField(packet));
}

int TouchKoTouchHandler::attachPassThrough(const char* device)
{
    CalibratedTouchHandler::attachPassThrough(device);
    return 1;
}

int TouchKoTouchHandler::detachPassThrough() { return CalibratedTouchHandler::detachPassThrough(); }

bool TouchKoTouchHandler::controllerIsPresent(int) { return true; }

TP_EXPORT_TOUCH_HANDLER(TouchKoTouchHandler)
