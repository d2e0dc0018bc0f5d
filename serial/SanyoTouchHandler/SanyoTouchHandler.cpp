#include "serial/SanyoTouchHandler/SanyoTouchHandler.h"

#include "serial/PassThroughCommon/LeadBytePacket.h"
#include "serial/SerialLine/InputLog.h"

namespace {
constexpr unsigned kCflag = CS8 | CREAD | CLOCAL | CRTSCTS;
constexpr int kDeclaredPacketLength = 32;  // readData frames the packets itself
constexpr int kFifth = 1;
constexpr unsigned char kReleased = 0x02;  // status bit of the lead byte: set = not touching
constexpr int kTracedBytes = 5;
} // namespace

SanyoTouchHandler::SanyoTouchHandler(const char* device)
    : ZorlanTouchHandler(device, kCflag, B9600, kDeclaredPacketLength, kFifth)
{
}

SanyoTouchHandler::~SanyoTouchHandler() = default;

int SanyoTouchHandler::readData()
{
    // A line that fails or ends gives no packet, and 0 tells the host so.
    if (!passthrough::readLeadPacket([this](unsigned char* b) { return readn(m_fd, b, 1); },
                                     m_packet))
        return 0;
    processData();
    return 1;
}

int SanyoTouchHandler::attachPassThrough(const char* device)
{
    // The framework's answer is passed on: 1 once the PC port is open, 0 when it could not
    // be opened (a caller told 1 would believe a PC is attached).
    return CalibratedTouchHandler::attachPassThrough(device);
}

int SanyoTouchHandler::detachPassThrough() { return CalibratedTouchHandler::detachPassThrough(); }

bool SanyoTouchHandler::isTouchDown(const unsigned char* packet)
{
    return packet != nullptr && (packet[0] & kReleased) == 0;
}

bool SanyoTouchHandler::inSync(const unsigned char* packet)
{
    return packet != nullptr && passthrough::isLeadByte(packet[0]);
}

int SanyoTouchHandler::inPassPCSync(unsigned char* data, int count)
{
    // A short block is traced with what it has; the bytes it lacks show as 0.
    unsigned char shown[kTracedBytes] = {};
    for (int i = 0; data != nullptr && i < count && i < kTracedBytes; ++i)
        shown[i] = data[i];
    input_log::write(0, "SanyoTouchHandler: PC nbr bytes = %0x read 0x%X 0x%X 0x%X 0x%X 0x%X",
                     count, shown[0], shown[1], shown[2], shown[3], shown[4]);
    return count;
}

GfPoint SanyoTouchHandler::extractPosition(const unsigned char* packet)
{
    if (!packet)
        return GfPoint();
    return GfPoint(passthrough::sevenBitPair(packet[2], packet[1]),
                   passthrough::sevenBitPair(packet[4], packet[3]));
}

void SanyoTouchHandler::lineControlChange(int lines, int state)
{
    CalibratedTouchHandler::lineControlChange(lines, state);
}

bool SanyoTouchHandler::controllerIsPresent(int lines) { return (lines & TIOCM_CTS) != 0; }

TP_EXPORT_TOUCH_HANDLER(SanyoTouchHandler)
