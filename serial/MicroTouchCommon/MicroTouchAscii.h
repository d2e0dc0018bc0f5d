#pragma once
// What the MicroTouch ASCII handlers share beyond the set-up dialogue: the port settings
// they are built with and the packet accessors.
#include <termios.h>

#include "contract/GfPoint.h"
#include "serial/MicroTouchCommon/FormatTablet.h"

namespace microtouch {

// The controller powers up at 7 data bits, 2 stop bits, RTS/CTS ...
constexpr unsigned kCflag7N2 = CS7 | CSTOPB | CREAD | CLOCAL | CRTSCTS;
// ... and is switched to 8N1 during set-up.
constexpr unsigned kCflag8N1 = CS8 | CREAD | CLOCAL | CRTSCTS;
constexpr int kPacketLength = format_tablet::kPacketLength;
constexpr int kFifth = 3;

enum class Axes { XFirst, YFirst };  // which report field carries x

inline GfPoint position(const unsigned char* p, Axes axes) {
  if (p == nullptr) return GfPoint();
  const int first = format_tablet::firstField(p), second = format_tablet::secondField(p);
  return axes == Axes::XFirst ? GfPoint(first, second) : GfPoint(second, first);
}

}  // namespace microtouch
