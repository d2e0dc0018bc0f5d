// The QVTR22TX is the Eyegonomic controller under another name: the same emulator plays it.

#include "sim/controllers/EmulatorRegistry.h"

namespace tp::sim {
std::unique_ptr<ControllerEmulator> makeEyegonomicController();
}

static const tp::sim::EmulatorRegistration tpEmulatorRegistration_QVTR22TXTouchHandler(
    "QVTR22TXTouchHandler", &tp::sim::makeEyegonomicController);
