// A SMART serial controller in its sc6 protocol. Frames are six bytes: the 16-bit sum of
// bytes 1..4 split over byte 0 (low) and byte 5 (high), the type in byte 1. It waits for the
// handler's sc6 mode command (sent after a two-second RTS pulse train), answers with a frame,
// plays a stroke of touch reports (type 0x11: x low, y low, y high / x high nibbles) and ends
// it with a status frame (type 0xA4) that says the finger is gone.

#include "sim/controllers/EmulatorRegistry.h"

#include <thread>

namespace {

using tp::sim::Bytes;

Bytes sc6(std::uint8_t type, std::uint8_t b2, std::uint8_t b3, std::uint8_t b4)
{
    const int sum = type + b2 + b3 + b4;
    return {static_cast<std::uint8_t>(sum & 0xFF), type, b2, b3, b4, static_cast<std::uint8_t>(sum >> 8)};
}

Bytes touch(int x, int y)
{
    return sc6(0x11, static_cast<std::uint8_t>(x & 0xFF), static_cast<std::uint8_t>(y & 0xFF),
               static_cast<std::uint8_t>(((y >> 8) << 4) | (x >> 8)));
}

struct SmartTechController : tp::sim::ControllerEmulator {
    void run(tp::sim::PtyLine& line) override
    {
        using namespace std::chrono_literals;
        const Bytes sc6Mode = {0x1C, 0x18, 0x00, 0x00, 0x04, 0x00};
        if (line.receiveExactly(sc6Mode.size(), 10000ms) != sc6Mode)
            return;
        line.send(sc6(0x18, 0, 0, 0));  // mode taken
        const int stroke[][2] = {{1000, 1200}, {1100, 1300}, {1200, 1400}, {1300, 1500}};
        for (const auto& p : stroke) {
            std::this_thread::sleep_for(20ms);
            line.send(touch(p[0], p[1]));
        }
        std::this_thread::sleep_for(20ms);
        line.send(sc6(0xA4, 0x00, 0, 0));  // status: not touching
        line.receive(6, 2000ms);           // the handler's status reply
    }
};

} // namespace

TP_REGISTER_EMULATOR(SmartTechTouchHandler, SmartTechController);
