#pragma once
// QVTR22TX serial controllers: the Eyegonomic controller under another name, with its own
// message texts (serial/EyegonomicTouchHandler/EyegonomicSerial.h).

#include "serial/EyegonomicTouchHandler/EyegonomicHandler.h"

struct QVTR22TXNames {
    static constexpr const char* name = "QVTR22TXTouchHandler";
};

class QVTR22TXTouchHandler : public eyegonomic::Handler<QVTR22TXNames> {
public:
    explicit QVTR22TXTouchHandler(const char* device) : Handler(device) {}
};
