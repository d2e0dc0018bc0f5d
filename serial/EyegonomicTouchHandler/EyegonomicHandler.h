#pragma once
// The handler code of the Eyegonomic controller, which the panel knows under two class names
// (EyegonomicTouchHandler, QVTR22TXTouchHandler). Only the name differs, and with it the
// messages; each plug-in's class derives from this template with a Traits type that holds
// `static constexpr const char* name`. The template adds no virtual operation and no data, so
// the handler's table and layout are those of ZorlanTouchHandler.

#include "contract/TouchHandler.h"
#include "serial/EyegonomicTouchHandler/EyegonomicSerial.h"
#include "serial/SerialLine/InputLog.h"

namespace eyegonomic {

template <class Traits>
class Handler : public ZorlanTouchHandler {
public:
    explicit Handler(const char* device)
        : ZorlanTouchHandler(device, CS8 | CREAD | CLOCAL, B9600, kDeclaredPacketLength, kFifth)
    {
        input_log::write(0, "%s: Dynamic Load Version is %s", Traits::name, "v1.0");
    }

    int readData() override
    {
        // A line that fails or ends gives no packet: 0 tells the host so, which would
        // otherwise call again and again on a device that is gone.
        if (!passthrough::readLeadPacket([this](unsigned char* b) { return readn(m_fd, b, 1); },
                                         m_packet))
            return 0;
        // A PC may have come or gone while the packet was on its way: it counts as it is now.
        if (m_passFd != -1)
            tracePacket(Traits::name, m_packet);
        processData();
        return 1;
    }

    bool inSync(const unsigned char* packet) override
    {
        return packet != nullptr && passthrough::isLeadByte(packet[0]);
    }

    bool isTouchDown(const unsigned char* packet) override
    {
        return eyegonomic::isTouchDown(packet);
    }

    GfPoint extractPosition(const unsigned char* packet) override { return position(packet); }

    void lineControlChange(int lines, int state) override
    {
        CalibratedTouchHandler::lineControlChange(lines, state);
    }

private:
    static constexpr int kDeclaredPacketLength = 16;  // readData frames the packets itself
    static constexpr int kFifth = 1;
};

} // namespace eyegonomic
