// A TouchFoil controller (TouchFoilTouchHandler): streams the raw levels of its 64 channels,
// a 0x00 and 64 levels per frame. It plays five untouched frames (the panel learns its
// baseline from them), a finger moving across both axes, and the finger lifted.
//
// The panel reads the foil in blocks of 185 bytes, as a foil that never stops streaming fills
// them; this one pads its last block with bytes a frame ignores.
#include <chrono>
#include <cstdint>
#include <termios.h>
#include <thread>

#include "sim/controllers/EmulatorRegistry.h"

namespace {

using namespace std::chrono_literals;
using tp::sim::Bytes;

constexpr std::uint8_t kIdle = 100;
constexpr std::size_t kBlock = 185;

// A finger over X channel `x` and Y channel `y` (32..63) raises them and their neighbours.
Bytes frame(int x = -1, int y = -1)
{
    Bytes f(65, kIdle);
    f[0] = 0x00;
    for (int c : {x, y}) {
        if (c < 1)
            continue;
        f[1 + c - 1] = kIdle + 30;
        f[1 + c] = kIdle + 60;
        f[1 + c + 1] = kIdle + 20;
    }
    return f;
}

struct TouchFoilTouchHandlerEmulator : tp::sim::ControllerEmulator {
    void run(tp::sim::PtyLine& line) override
    {
        // Both ends of a pty share its line settings: the panel has the line once it runs at
        // 19200 baud; it is listening a moment later, after opening the port again.
        for (int i = 0; i < 300; ++i) {
            termios tio{};
            if (tcgetattr(line.masterFd(), &tio) == 0 && cfgetispeed(&tio) == B19200)
                break;
            std::this_thread::sleep_for(10ms);
        }
        std::this_thread::sleep_for(500ms);
        Bytes stream;
        auto add = [&stream](const Bytes& f) { stream.insert(stream.end(), f.begin(), f.end()); };
        for (int i = 0; i < 5; ++i)
            add(frame());
        for (int step = 0; step < 3; ++step)
            add(frame(2 + step, 41 + step));
        add(frame());
        while (stream.size() % kBlock != 0)
            stream.push_back(0xFF);
        for (std::size_t at = 0; at < stream.size(); at += kBlock) {
            line.send(stream.data() + at, kBlock);
            std::this_thread::sleep_for(20ms);
        }
    }
};

} // namespace

TP_REGISTER_EMULATOR(TouchFoilTouchHandler, TouchFoilTouchHandlerEmulator);
