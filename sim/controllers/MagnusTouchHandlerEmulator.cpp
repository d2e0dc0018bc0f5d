// A Magnus serial controller. Frames: header (length L in the low nibble, 15 - L in the high
// one), type, L data bytes, XOR of all before. It reports its touch status once the handler
// has the port open, answers the raw-data command with a controller-data frame that needs no
// more set-up, then plays a stroke of coordinate frames and ends it with a touch status that
// says the finger is gone.

#include "serial/PassThroughCommon/testing/PortWatch.h"
#include "sim/controllers/EmulatorRegistry.h"

#include <thread>

namespace {

using tp::sim::Bytes;

Bytes frame(std::uint8_t type, const Bytes& data)
{
    const auto length = static_cast<std::uint8_t>(data.size());
    Bytes f(data.size() + 3);
    f[0] = static_cast<std::uint8_t>(((15 - length) << 4) | length);
    f[1] = type;
    for (std::size_t i = 0; i < data.size(); ++i)
        f[i + 2] = data[i];
    std::uint8_t x = 0;
    for (std::size_t i = 0; i + 1 < f.size(); ++i)
        x ^= f[i];
    f.back() = x;
    return f;
}

// Coordinates: touching bit in data byte 0, x low, x high / y high nibbles, y low.
Bytes coordinates(int x, int y)
{
    return frame(0x04, {0x80, static_cast<std::uint8_t>(x & 0xFF),
                        static_cast<std::uint8_t>(((x >> 8) << 4) | (y >> 8)),
                        static_cast<std::uint8_t>(y & 0xFF)});
}

Bytes status(bool touching) { return frame(0x00, {0x00, static_cast<std::uint8_t>(touching ? 1 : 0)}); }

struct MagnusController : tp::sim::ControllerEmulator {
    void run(tp::sim::PtyLine& line) override
    {
        using namespace std::chrono_literals;
        if (!passthrough_tests::waitUntilOpened(line.slavePath(), 5000ms))
            return;
        line.send(status(false));
        const Bytes rawData = {0xF0, 0x02, 0xF2};
        if (line.receiveExactly(rawData.size(), 2000ms) != rawData)
            return;
        line.send(frame(0x02, {0x00}));  // set-up complete
        const int stroke[][2] = {{1000, 1200}, {1100, 1300}, {1200, 1400}, {1300, 1500}};
        for (const auto& p : stroke) {
            std::this_thread::sleep_for(20ms);
            line.send(coordinates(p[0], p[1]));
        }
        std::this_thread::sleep_for(20ms);
        line.send(status(false));  // lifted: the handler reports it at the last position
        line.receive(4, 2000ms);   // its acknowledgement
    }
};

} // namespace

TP_REGISTER_EMULATOR(MagnusTouchHandler, MagnusController);
