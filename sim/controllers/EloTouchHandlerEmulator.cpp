#include "sim/controllers/EloController.h"

namespace {
struct EloTouchHandlerEmulator : tp::sim::EloController {
    EloTouchHandlerEmulator() : EloController(XField::First) {}
};
} // namespace

TP_REGISTER_EMULATOR(EloTouchHandler, EloTouchHandlerEmulator);
