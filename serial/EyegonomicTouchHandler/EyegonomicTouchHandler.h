#pragma once
// Eyegonomic serial controllers: five-byte packets with seven-bit coordinates
// (EyegonomicSerial.h), framed by the handler itself, traced while a PC shares the port.

#include "serial/EyegonomicTouchHandler/EyegonomicHandler.h"

struct EyegonomicNames {
    static constexpr const char* name = "EyegonomicTouchHandler";
};

class EyegonomicTouchHandler : public eyegonomic::Handler<EyegonomicNames> {
public:
    explicit EyegonomicTouchHandler(const char* device) : Handler(device) {}
};
