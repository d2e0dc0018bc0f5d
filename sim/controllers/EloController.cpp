#include "sim/controllers/EloController.h"

#include "sim/controllers/EloFrames.h"

#include <thread>

namespace tp::sim {

namespace {

struct StrokePoint {
    std::uint16_t x, y;
    bool lifted;
};

constexpr StrokePoint kStroke[] = {
    {1000, 1200, false}, {1100, 1300, false}, {1200, 1400, false},
    {1300, 1500, false}, {1300, 1500, true},
};

} // namespace

void EloController::run(PtyLine& line)
{
    using namespace std::chrono_literals;
    // The handler sets the touch mode as soon as it has opened the port.
    Bytes command = line.receiveExactly(elo::kMessageSize, 2000ms);
    if (command.size() == elo::kMessageSize && command[0] == elo::kLeadIn &&
        command[1] == elo::kMode)
        line.send(elo::ack());
    for (const StrokePoint& p : kStroke) {
        std::this_thread::sleep_for(20ms);
        if (m_xField == XField::First)
            line.send(elo::touch(p.x, p.y, p.lifted));
        else
            line.send(elo::touch(p.y, p.x, p.lifted));
    }
}

} // namespace tp::sim
