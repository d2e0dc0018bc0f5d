#include "sim/controllers/EloController.h"

namespace {
// Elo19 takes its horizontal coordinate from the second wire field.
struct Elo19TouchHandlerEmulator : tp::sim::EloController {
    Elo19TouchHandlerEmulator() : EloController(XField::Second) {}
};
} // namespace

TP_REGISTER_EMULATOR(Elo19TouchHandler, Elo19TouchHandlerEmulator);
