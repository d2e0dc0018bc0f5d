#include "serial/MTSX112Base/MTSX112Base.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <termios.h>
#include <unistd.h>
#include <vector>

#include "serial/MTSX112Base/SX112Protocol.h"
#include "serial/SerialLine/InputLog.h"
#include "serial/SerialLine/SerialLine.h"

namespace {

constexpr const char* kModule = "MicroTouchSX112Base";
constexpr unsigned kCommFlags = CS8 | CREAD | CLOCAL;
constexpr int kPacketLength = 5;
constexpr int kFifth = 3;
constexpr int kWaitMs = 2000;  // for the line to take a command, and for each piece of a reply

// Every reply lands here, shared by all handlers of the module; cleared before each read.
unsigned char _responseBuffer[64];

void copyText(char* to, size_t size, const char* from) { snprintf(to, size, "%s", from ? from : ""); }

}  // namespace

MTSX112Base::SX112FirmwareCommand::SX112FirmwareCommand(const char* name, const char* description,
                                                        unsigned int responseLength)
    : m_responseLength(responseLength)
{
    copyText(m_name, sizeof m_name, name);
    copyText(m_description, sizeof m_description, description);
}

MTSX112Base::MTSX112Base(const char* device)
    : ZorlanTouchHandler(device, kCommFlags, B9600, kPacketLength, kFifth)
{
    input_log::write(0, "\t%s built on %s at %s", kModule, __DATE__, __TIME__);
}

MTSX112Base::~MTSX112Base() = default;

bool MTSX112Base::inSync(const unsigned char* packet) { return sx112::startsPacket(packet); }

bool MTSX112Base::isTouchDown(const unsigned char* packet) { return sx112::touching(packet); }

GfPoint MTSX112Base::extractPosition(const unsigned char* packet)
{
    if (packet == nullptr)
        return GfPoint(0, 0);
    return GfPoint(sx112::x(packet), sx112::y(packet));
}

bool MTSX112Base::InitTouchHandler(boost::shared_ptr<ZorlanRawUSBDevice>&)
{
    input_log::write(0, "\t%s[%d]:  %s", kModule, 107, "Initializing the SX112 controller...");
    try {
        std::vector<std::unique_ptr<SX112FirmwareCommand>> commands;
        commands.emplace_back(new SX112FirmwareCommand("R", "Reset", 1));
        commands.emplace_back(new SX112FirmwareCommand("DX", "Diagnostic Command", 1));
        commands.emplace_back(new SX112FirmwareCommand("OI", "Output Identity", 6));
        commands.emplace_back(new SX112FirmwareCommand("FT", "Format Tablet", 1));
        commands.emplace_back(new SX112FirmwareCommand("MS", "Mode Stream", 1));
        commands.emplace_back(createTouchModeCommand());

        for (const auto& command : commands) {
            if (!command || writeCommand(*command) == 0)
                return false;
            input_log::write(0, "\t%s[%d]:  Sent:  '%s' (%s).", kModule, 174, command->m_name,
                             command->m_description);
            const unsigned int got = readCommandResponse(*command);
            if (got == 0)
                return false;
            if (_responseBuffer[got - 1] == sx112::kCR)
                _responseBuffer[got - 1] = 0;
            input_log::write(0, "\t%s[%d]:  Received:  '%s'", kModule, 191,
                             reinterpret_cast<const char*>(_responseBuffer));
        }
        return true;
    } catch (...) {
        return false;  // out of memory: nothing may leave the plug-in
    }
}

unsigned int MTSX112Base::writeCommand(const SX112FirmwareCommand& command)
{
    const std::string frame = sx112::frameCommand(command.m_name);
    const int ready = serial_line::waitWritable(m_fd, kWaitMs);
    if (ready == 0) {
        input_log::write(3, "\t%s[%d]:  Timed out waiting to send command '%s'.", kModule, 253,
                         command.m_description);
        return 0;
    }
    const ssize_t n = ready > 0 ? write(m_fd, frame.data(), frame.size()) : -1;
    if (n != static_cast<ssize_t>(frame.size())) {
        input_log::write(3, "\t%s[%d]:  Command '%s' was not sent.  Error:  %s", kModule, 264,
                         command.m_description, strerror(errno));
        return 0;
    }
    return static_cast<unsigned int>(n);
}

unsigned int MTSX112Base::readCommandResponse(const SX112FirmwareCommand& command)
{
    memset(_responseBuffer, 0, sizeof _responseBuffer);
    // Keep one byte for the terminating NUL the reply is logged with.
    size_t expected = command.m_responseLength + 2u;
    if (command.m_responseLength > sizeof _responseBuffer - 3)
        expected = sizeof _responseBuffer - 1;
    const serial_line::Reply reply =
        serial_line::readReply(m_fd, _responseBuffer, expected, kWaitMs, kWaitMs, sx112::kCR);
    if (reply.silent) {
        input_log::write(3, "\t%s[%d]:  Timed out waiting for response to command '%s'.", kModule,
                         313, command.m_description);
        return 0;
    }
    if (reply.count == 0) {
        input_log::write(3, "\t%s[%d]:  Failed to get response to command '%s'.  Error:  %s", kModule,
                         324, command.m_description, strerror(reply.readErrno));
        return 0;
    }
    if (reply.count != command.m_responseLength + 2u)
        input_log::write(2, "\t%s[%d]:  Expected response length to be %d.  Got %d instead.", kModule,
                         338, static_cast<int>(command.m_responseLength + 2u),
                         static_cast<int>(reply.count));
    return static_cast<unsigned int>(reply.count);
}
