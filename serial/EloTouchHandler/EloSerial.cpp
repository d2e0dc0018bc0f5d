#include "serial/EloTouchHandler/EloSerial.h"

#include "util/Logger.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace elo {

void sendTouchMode(int fd, const char* handler)
{
    Logger::Instance()->DiagnosticString(oidInput, 0, "%s: setting touch mode", handler);
    if (::write(fd, kTouchModeCommand, sizeof kTouchModeCommand) !=
        static_cast<ssize_t>(sizeof kTouchModeCommand))
        Logger::Instance()->DiagnosticString(oidInput, 3, "%s::lineControlChange error writing: %s",
                                             handler, std::strerror(errno));
}

void logReadFailure(const char* handler, int result)
{
    // readn gives 0 only when the line ended before a byte came: there is no byte to frame,
    // and no errno to report.
    const char* why = result == 0 ? "end of file" : std::strerror(errno);
    Logger::Instance()->DiagnosticString(oidInput, 2, "%s::getAnyPacket: %s", handler, why);
}

} // namespace elo
