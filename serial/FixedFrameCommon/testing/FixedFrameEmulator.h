#pragma once
// An emulated fixed-frame controller: once the handler has set the line up it plays a
// short stroke, one frame per point, in the controller's own encoding.

#include "serial/FixedFrameCommon/testing/FixedFrameLine.h"
#include "sim/controllers/EmulatorRegistry.h"

namespace fixed_frame_emulator {

using tp::sim::Bytes;

struct Point {
    int x, y;
    bool down;
};

// Touch-down, two moves, lift-off; small enough for the narrowest format (10-bit DynaPro).
constexpr Point kStroke[] = {{300, 400, true}, {350, 450, true}, {400, 500, true}, {400, 500, false}};

using Encoder = Bytes (*)(const Point& p);

class FixedFrameEmulator : public tp::sim::ControllerEmulator {
public:
    FixedFrameEmulator(speed_t speed, bool rtscts, Encoder encode)
        : m_speed(speed), m_rtscts(rtscts), m_encode(encode)
    {
    }

    void run(tp::sim::PtyLine& line) override
    {
        using namespace std::chrono_literals;
        if (!fixed_frame_line::awaitHandler(line, m_speed, m_rtscts, 5000ms))
            return;
        for (const Point& p : kStroke) {
            line.send(m_encode(p));
            std::this_thread::sleep_for(20ms);
        }
    }

private:
    speed_t m_speed;
    bool m_rtscts;
    Encoder m_encode;
};

constexpr std::uint8_t byte(int v) { return static_cast<std::uint8_t>(v & 0xFF); }

// eGalax, at either speed: A1 touching / A0 lifted, X and Y in seven-bit halves, high half
// first, trailer 'A'.
inline Bytes encodeEGalax(const Point& p)
{
    return {byte(p.down ? 0xA1 : 0xA0), byte(p.x >> 7), byte(p.x & 0x7F),
            byte(p.y >> 7),              byte(p.y & 0x7F), 'A'};
}

} // namespace fixed_frame_emulator
