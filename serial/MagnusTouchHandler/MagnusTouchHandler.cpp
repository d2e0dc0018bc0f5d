#include "serial/MagnusTouchHandler/MagnusTouchHandler.h"

#include "serial/MagnusTouchHandler/MagnusProtocol.h"
#include "serial/PassThroughCommon/ReleaseReplay.h"
#include "serial/SerialLine/InputLog.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {
constexpr int kPacketSize = 32;  // m_packet and its saved copy
constexpr int kFifth = 1;
constexpr int kControllerDataBudget = 4;  // controller-data frames one dialogue run takes
} // namespace

MagnusTouchHandler::MagnusTouchHandler(const char* device)
    : ZorlanTouchHandler(device, CS8 | CREAD | CLOCAL, B19200, kPacketSize, kFifth),
      m_initDone(false),
      m_touching(false),
      m_lastPacket(new unsigned char[kPacketSize]())
{
    input_log::write(0, "MagnusTouchHandler: Dynamic Load Version is %s", "v1.0");
}

MagnusTouchHandler::~MagnusTouchHandler() { delete[] m_lastPacket; }

bool MagnusTouchHandler::isChecksumValid(const unsigned char* data)
{
    return data != nullptr && magnus::checksumValid(data);
}

int MagnusTouchHandler::syncToController()
{
    for (;;) {
        // A header first: both nibbles must tell the same length.
        do {
            if (readn(m_fd, m_packet, 1) < 1)
                return 0;
        } while (!magnus::validHeader(m_packet[0]));
        const int size = magnus::frameSize(m_packet[0]);
        for (int i = 1; i < size; ++i)
            if (readn(m_fd, m_packet + i, 1) < 1)
                return 0;
        if (isChecksumValid(m_packet))
            return 1;
        // The frame is dropped; the trace shows it moved on by one byte.
        passthrough::dropFirst(m_packet, size);
        for (int i = 0; i < size; ++i)
            input_log::write(0, "PC Sync 0x%x", m_packet[i]);
    }
}

void MagnusTouchHandler::logFrame(const char* format)
{
    const int size = magnus::frameSize(m_packet[0]);
    for (int i = 0; i < size; ++i)
        input_log::write(0, format, m_packet[i]);
}

bool MagnusTouchHandler::writeCommand(const unsigned char* command, int size)
{
    return write(m_fd, command, static_cast<size_t>(size)) == static_cast<ssize_t>(size);
}

void MagnusTouchHandler::InitPanel()
{
    input_log::write(0, "MagnusTouchHandler: Dropping DTR");
    int dtr = TIOCM_DTR;
    if (ioctl(m_fd, TIOCMBIC, &dtr) != 0)
        input_log::write(2, "MagnusTouchHandler IOCTL error: %s", strerror(errno));

    int state = 0;           // 0: nothing sent yet, 1: raw data asked for, 2: new data sent
    int controllerData = 0;  // controller-data frames seen
    for (;;) {
        // A line that fails ends this run whatever the state: the next readData starts the
        // dialogue again, and a device that keeps failing cannot hold the reader here.
        if (!syncToController())
            return;
        const unsigned char type = m_packet[1];
        if (type == magnus::kControllerData && magnus::carriesItsData(m_packet)) {
            for (int i = 0; i < 4; ++i)
                input_log::write(0, "MagnusTouchHandler:Init Raw read data 0x%x", m_packet[i]);
            if (++controllerData == kControllerDataBudget)
                return;
            if (!magnus::wantsNewData(m_packet)) {
                m_initDone = true;
                return;
            }
            const unsigned char* c = magnus::kNewData;
            input_log::write(0, "MagnusTouchHandler:Init write data 0x%X 0x%X 0x%X 0x%x 0x%X ", c[0],
                             c[1], c[2], c[3], c[4]);
            if (!writeCommand(c, sizeof magnus::kNewData)) {
                input_log::write(0, "MagnusTouchHandler: Raw Device New Data Cmd Write Error");
                return;
            }
            state = 2;
            continue;
        }
        if (type == magnus::kStatus && state == 0) {
            if (!writeCommand(magnus::kRawDeviceData, sizeof magnus::kRawDeviceData)) {
                input_log::write(0, "MagnusTouchHandler: Raw Device Data Cmd Write Error");
                return;
            }
            input_log::write(0, "MagnusTouchHandler: Raw Device Data Cmd Write Okay");
            state = 1;
            continue;
        }
        if (type == magnus::kStartMessage)
            logFrame("MSG 80 0x%x");
        if (state == 0)
            return;
    }
}

int MagnusTouchHandler::readData()
{
    if (!m_initDone)
        InitPanel();
    if (!syncToController()) {
        // Only a failed or ended line gets here: 0 tells the host there was nothing to read.
        input_log::write(0, "Start Invalid check sum 0x%x", m_packet[1]);
        logFrame("0x%x");
        return 0;
    }
    const unsigned char type = m_packet[1];
    const bool usable = magnus::carriesItsData(m_packet);
    if (type == magnus::kStatus && usable) {
        passthrough::followStatus(magnus::statusTouching(m_packet), m_touching, m_lastPacket,
                                  m_packet, kPacketSize, [this] { processData(); });
        if (write(m_fd, magnus::kAcknowledge, sizeof magnus::kAcknowledge) == -1)
            input_log::write(2, "MagnusTouchPanelHandler::readData: %s", strerror(errno));
    } else if (type == magnus::kControllerData && usable) {
        logFrame("MSG 02 0x%x");
    } else if (type == magnus::kMessage) {
        logFrame("MSG 03 0x%x");
    } else if (type == magnus::kCoordinates && usable) {
        m_touching = magnus::coordinatesTouching(m_packet);
        processData();
    } else {
        input_log::write(0, "Start UNKN MSG 0x%x", type);
        logFrame("0x%x");
    }
    return 1;
}

bool MagnusTouchHandler::isTouchDown(const unsigned char*) { return m_touching; }

GfPoint MagnusTouchHandler::extractPosition(const unsigned char* packet)
{
    std::memcpy(m_lastPacket, m_packet, kPacketSize);
    return packet ? magnus::position(packet) : GfPoint();
}

int MagnusTouchHandler::inPassPCSync(unsigned char* data, int count)
{
    return magnus::repairBlock(data, count);
}

bool MagnusTouchHandler::controllerIsPresent(int lines) { return (lines & TIOCM_CTS) != 0; }

TP_EXPORT_TOUCH_HANDLER(MagnusTouchHandler)
