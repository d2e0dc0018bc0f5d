#include "serial/EyegonomicTouchHandler/EyegonomicSerial.h"

#include "serial/SerialLine/InputLog.h"

namespace eyegonomic {

void tracePacket(const char* handler, const unsigned char* packet)
{
    input_log::write(0, "%s: Panel nbr bytes = %X", handler, passthrough::kLeadPacketSize);
    for (int i = 0; i < passthrough::kLeadPacketSize; ++i)
        input_log::write(0, "PC data bytes = %X", packet[i]);
}

} // namespace eyegonomic
