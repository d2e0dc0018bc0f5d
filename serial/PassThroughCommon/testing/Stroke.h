#pragma once
// The stroke the emulated controllers play (touch-down, three moves, lift-off), and the way
// a controller that speaks first plays it: once the handler holds the port, a little line
// noise, then one packet every 20 ms.

#include "serial/PassThroughCommon/testing/PortWatch.h"
#include "sim/controllers/PtyLine.h"

#include <chrono>
#include <thread>

namespace passthrough_tests {

struct StrokePoint {
    int x, y;
    bool lifted;
};

constexpr StrokePoint kStroke[] = {
    {1000, 1200, false}, {1100, 1300, false}, {1200, 1400, false}, {1300, 1500, false}, {1300, 1500, true},
};

// `packet` turns a StrokePoint into the controller's bytes.
template <class Packet>
void playWhenOpened(tp::sim::PtyLine& line, const tp::sim::Bytes& noise, Packet&& packet)
{
    using namespace std::chrono_literals;
    if (!waitUntilOpened(line.slavePath(), 5000ms))
        return;
    line.send(noise);
    for (const StrokePoint& p : kStroke) {
        std::this_thread::sleep_for(20ms);
        line.send(packet(p));
    }
}

} // namespace passthrough_tests
