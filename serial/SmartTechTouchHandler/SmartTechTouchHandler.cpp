#include "serial/SmartTechTouchHandler/SmartTechTouchHandler.h"

#include "serial/PassThroughCommon/ReleaseReplay.h"
#include "serial/SerialLine/InputLog.h"
#include "serial/SerialLine/SerialLine.h"
#include "serial/SmartTechTouchHandler/SmartTechProtocol.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

constexpr unsigned kSc6Line = CS8 | CREAD | CLOCAL;                                  // 8N1
constexpr unsigned kSc4Line = CS8 | CSTOPB | CREAD | PARENB | PARODD | CLOCAL;       // 8O2
constexpr int kFifth = 3;
constexpr int kRtsSteps = 10;
constexpr int kRtsStepMs = 200;

// Why a read gave no bytes: readn reports the end of the line with a short count.
const char* readFailure(long result) { return result < 0 ? strerror(errno) : "end of file"; }

} // namespace

SmartTechTouchHandler::SmartTechTouchHandler(const char* device)
    : ZorlanTouchHandler(device, kSc6Line, B9600, smarttech::kFrameSize, kFifth),
      m_protocol(unknown),
      m_synced(false),
      m_touching(false),
      m_lastPacket(new unsigned char[smarttech::kFrameSize]())
{
    input_log::write(0, "SmartTechTouchHandler: Dynamic Load Version is %s", "v1.2");
}

SmartTechTouchHandler::~SmartTechTouchHandler() { delete[] m_lastPacket; }

void SmartTechTouchHandler::mdelay(int ms) { serial_line::mdelay(ms); }

bool SmartTechTouchHandler::isChecksumValid() { return smarttech::sc6ChecksumValid(m_packet); }

int SmartTechTouchHandler::syncToController(eProtocol protocol)
{
    const int n = readn(m_fd, m_packet, smarttech::kFrameSize);
    if (n != smarttech::kFrameSize) {
        // Whatever the buffer holds is an older frame: it must not be taken for a new one.
        input_log::write(2, "SmartTechTouchHandler error opening serial port: %s", readFailure(n));
        return -1;
    }
    for (int shifts = 0;;) {
        if (smarttech::frameValid(m_packet, protocol))
            return 1;
        passthrough::dropFirst(m_packet, smarttech::kFrameSize);
        ssize_t r;
        do
            r = read(m_fd, m_packet + smarttech::kFrameSize - 1, 1);
        while (r < 0 && errno == EINTR);
        if (r != 1) {
            input_log::write(2, "SmartTechTouchHandler error reading: %s", readFailure(r));
            m_packet[smarttech::kFrameSize - 1] = 0;
            return -1;
        }
        if (++shifts == smarttech::kSyncShifts)
            return 0;
    }
}

void SmartTechTouchHandler::rtsreset()
{
    for (int step = 1; step <= kRtsSteps; ++step) {
        const bool drop = step % 2 == 1;
        input_log::write(0, "SmartTechTouchHandler: %s RTS", drop ? "Dropping" : "Raising");
        int rts = TIOCM_RTS;
        if (ioctl(m_fd, drop ? TIOCMBIC : TIOCMBIS, &rts) != 0)
            input_log::write(2, "SmartTechTouchHandler: ioctl error %s", strerror(errno));
        mdelay(kRtsStepMs);
    }
}

int SmartTechTouchHandler::setLine(unsigned int cflag)
{
    termios tio;
    if (tcgetattr(m_fd, &tio) != 0) {
        // Nothing to change: settings made up from nothing would be worse than the old ones.
        input_log::write(2, "SmartTechTouchHandler: cannot read the line settings: %s",
                         strerror(errno));
        return -1;
    }
    tio.c_cflag = cflag;
    cfsetispeed(&tio, B9600);
    return tcsetattr(m_fd, TCSANOW, &tio);
}

void SmartTechTouchHandler::writeMode(const unsigned char* command, const char* format)
{
    const bool sent = write(m_fd, command, smarttech::kFrameSize) == smarttech::kFrameSize;
    input_log::write(0, sent ? "SmartTechTouchHandler:Write %s command"
                             : "SmartTechTouchHandler: Write error %s command",
                     format);
}

int SmartTechTouchHandler::sc6mode()
{
    rtsreset();
    setLine(kSc6Line);
    writeMode(smarttech::kSc6ModeCommand, "8n1");
    return syncToController(sc6);
}

int SmartTechTouchHandler::sc4mode()
{
    setLine(kSc4Line);
    writeMode(smarttech::kSc4ModeCommand, "8n2");
    return syncToController(sc4);
}

int SmartTechTouchHandler::readData()
{
    if (!m_synced) {
        input_log::write(0, "SmartTechTouchHandler: Dropping DTR");
        int dtr = TIOCM_DTR;
        if (ioctl(m_fd, TIOCMBIC, &dtr) != 0)
            input_log::write(2, "SmartTechTouchHandler IOCTL error: %s", strerror(errno));
        int r = 0;
        switch (m_protocol) {
        case unknown:
            r = sc6mode();
            if (r == 1) {
                m_protocol = sc6;
            } else if (r == 0) {
                r = sc4mode();
                if (r == 1)
                    m_protocol = sc4;
                else if (r == 0)
                    input_log::write(0, "SmartTechTouchHandler: sc4 and sc6 modes = 0");
            }
            break;
        case sc6:
            r = sc6mode();
            if (r == 0)
                input_log::write(0, "SmartTechTouchHandler: sc6 mode = 0");
            break;
        case sc4:
            r = sc4mode();
            if (r == 0)
                input_log::write(0, "SmartTechTouchHandler: sc4 mode = 0");
            break;
        }
        // A failed line ends the call with 0, so that the host learns the device is gone
        // instead of pulsing and reading it again and again.
        if (r != 1)
            return r < 0 ? 0 : 1;
        m_synced = true;
    }

    const int r = syncToController(m_protocol);
    if (r < 0)
        return 0;
    if (r == 0) {
        const unsigned char* p = m_packet;
        input_log::write(0, "SmartTechTouchHandler: Invalid Check Sum 0x%X 0x%X 0x%X 0x%X 0x%X 0x%X ",
                         p[0], p[1], p[2], p[3], p[4], p[5]);
        m_synced = false;
        return 1;
    }

    switch (m_packet[1]) {
    case smarttech::kTouchReport:
        m_touching = true;
        processData();
        break;
    case smarttech::kStatus:
        if (write(m_fd, smarttech::kStatusReply, sizeof smarttech::kStatusReply) == -1)
            input_log::write(2, "SmartTechTouchPanelHandler::readData: %s", strerror(errno));
        passthrough::followStatus(smarttech::statusTouching(m_packet), m_touching, m_lastPacket,
                                  m_packet, smarttech::kFrameSize, [this] { processData(); });
        break;
    default:
        break;
    }
    return 1;
}

bool SmartTechTouchHandler::isTouchDown(const unsigned char*) { return m_touching; }

GfPoint SmartTechTouchHandler::extractPosition(const unsigned char* packet)
{
    if (m_protocol == sc6 && !isChecksumValid())
        input_log::write(2, "SmartTechTouchHandler: checksum error");
    std::memcpy(m_lastPacket, m_packet, smarttech::kFrameSize);
    return packet ? smarttech::position(packet) : GfPoint();
}

int SmartTechTouchHandler::inPassPCSync(unsigned char* data, int count)
{
    if (!data || count <= smarttech::kFrameSize - 1)
        return count;
    if (smarttech::frameValid(data, m_protocol))
        return count;
    input_log::write(0, "SmartTechTouchHandler: Invalid PC sync n = %0x", count);
    for (int i = 0; i < count; ++i)
        input_log::write(0, "SmartTechTouchHandler: Invalid PC Data = %0x", data[i]);
    while (count > smarttech::kFrameSize) {
        passthrough::dropFirst(data, count);
        --count;
        input_log::write(0,
                         "SmartTechTouchHandler: Invalid PC fix-up, nbr bytes = %0x read 0x%X 0x%X "
                         "0x%X 0x%X 0x%X 0x%X ",
                         count, data[0], data[1], data[2], data[3], data[4], data[5]);
        if (smarttech::frameValid(data, m_protocol))
            return count;
    }
    return 0;
}

bool SmartTechTouchHandler::controllerIsPresent(int lines) { return (lines & TIOCM_CTS) != 0; }

TP_EXPORT_TOUCH_HANDLER(SmartTechTouchHandler)
