#pragma once
// Elo's framed serial protocol, shared by the Elo plug-ins.
//
// Every message is ten bytes:
//
//   0     lead-in 'U' (0x55)
//   1     type: 'T' (0x54) touch report; others ('A', 'M', ...) are not touches
//   2     status: bit 2 (0x04) set = untouch, the finger was lifted
//   3-4   first coordinate field, low byte first
//   5-6   second coordinate field, low byte first
//   7-8   Z (pressure), unused
//   9     checksum: 0xAA + bytes 0..8, modulo 256
//
// Only bytes 1..8 are kept in the packet buffer, so there the type is at index 0, the status
// at 1 and the two coordinate fields at 2-3 and 4-5.

#include <cstdint>
#include <sys/ioctl.h>

namespace elo {

constexpr unsigned char kLeadIn = 0x55;
constexpr unsigned char kTouchType = 'T';
constexpr unsigned char kUntouch = 0x04;
constexpr int kBodySize = 8;      // bytes 1..8, what the packet buffer receives
constexpr int kHuntBudget = 100;  // stray bytes tolerated while looking for a lead-in

// Packet-buffer indexes.
constexpr int kTypeIndex = 0;
constexpr int kStatusIndex = 1;
constexpr int kFirstField = 2;
constexpr int kSecondField = 4;

// The touch-mode command; its last byte stands in the checksum position and goes out as 0.
constexpr unsigned char kTouchModeCommand[10] = {0x55, 0x4D, 0x00, 0x87, 0, 0, 0, 0, 0, 0};

constexpr std::uint16_t field(const unsigned char* packet, int index)
{
    return static_cast<std::uint16_t>(packet[index] | (packet[index + 1] << 8));
}

constexpr bool isRelease(const unsigned char* packet)
{
    return (packet[kStatusIndex] & kUntouch) != 0;
}

// Cuts one message out of a byte stream, one byte at a time.
//
// While hunting, bytes other than the lead-in are counted against the budget. The eight
// message bytes after a lead-in are data whatever they are (0x55 included), and a message
// whose checksum does not match is dropped: hunting resumes with the byte after the
// checksum, so a bad checksum that happens to be 0x55 does not start a message either.
class Framer {
public:
    enum class Step { More, Message, OutOfSync };

    explicit Framer(unsigned char* body) : m_body(body) {}

    Step feed(unsigned char byte)
    {
        if (m_index == 0) {
            if (byte == kLeadIn) {
                m_index = 1;
                m_sum = 0xFF;  // 0xAA plus the lead-in
                return Step::More;
            }
            return --m_budget == 0 ? Step::OutOfSync : Step::More;
        }
        if (m_index <= kBodySize) {
            m_body[m_index - 1] = byte;
            m_sum = static_cast<unsigned char>(m_sum + byte);
            ++m_index;
            return Step::More;
        }
        m_index = 0;
        return byte == m_sum ? Step::Message : Step::More;
    }

private:
    unsigned char* m_body;
    int m_index = 0;
    unsigned char m_sum = 0;
    int m_budget = kHuntBudget;
};

// Reads one framed, checksum-verified message into `body` through `readByte` (a callable
// taking unsigned char* and returning what readn returns for one byte). 1 on success, 0
// when the read failed, the line ended or no lead-in came within the budget.
template <class ReadByte>
int readMessage(ReadByte&& readByte, unsigned char* body, const char* handler);

// Reads messages through `getAny` (the handler's getAnyPacket) until one of type `type` has
// arrived (1) or reading failed (0). Messages of other types are dropped without a word.
template <class GetAny>
int readMessageOfType(GetAny&& getAny, unsigned char* buffer, unsigned char type)
{
    while (getAny(buffer))
        if (buffer[kTypeIndex] == type)
            return 1;
    return 0;
}

// Touch-down test of a handler whose touch mode may be pending: a release is not a touch and
// leaves the mark alone; the first touch-down after a line change sends the mode again
// (through `sendMode`) and clears the mark whether or not the write succeeded.
template <class SendMode>
bool touchDown(const unsigned char* packet, bool& modePending, SendMode&& sendMode)
{
    if (!packet || isRelease(packet))
        return false;
    if (modePending) {
        sendMode();
        modePending = false;
    }
    return true;
}

// A line change that says the controller came back (clear to send, reported as state 1).
constexpr bool controllerReturned(int lines, int state)
{
    return state == 1 && (lines & TIOCM_CTS) != 0;
}

// Writes the touch-mode command to `fd` with one write(), logging as `handler`.
void sendTouchMode(int fd, const char* handler);

// Logs a failed or ended read of the controller port; `result` is what readn returned.
void logReadFailure(const char* handler, int result);

template <class ReadByte>
int readMessage(ReadByte&& readByte, unsigned char* body, const char* handler)
{
    Framer framer(body);
    for (;;) {
        unsigned char byte = 0;
        int n = readByte(&byte);
        if (n != 1) {
            logReadFailure(handler, n);
            return 0;
        }
        switch (framer.feed(byte)) {
        case Framer::Step::Message:
            return 1;
        case Framer::Step::OutOfSync:
            return 0;
        case Framer::Step::More:
            break;
        }
    }
}

} // namespace elo
