#pragma once
// An Elo serial controller: acknowledges the touch-mode command the handler sends when it
// opens the port, then reports a short stroke (touch-down, a few moves, lift-off).

#include "sim/controllers/EmulatorRegistry.h"

namespace tp::sim {

class EloController : public ControllerEmulator {
public:
    // Which wire field carries the horizontal coordinate differs between the Elo plug-ins;
    // the stroke is sent so that each plug-in reports the same points.
    enum class XField { First, Second };
    explicit EloController(XField xField) : m_xField(xField) {}
    void run(PtyLine& line) override;

private:
    XField m_xField;
};

} // namespace tp::sim
