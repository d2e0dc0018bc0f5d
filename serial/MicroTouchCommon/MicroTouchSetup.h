#pragma once
// The start-up dialogue shared by the MicroTouch ASCII handlers. The controller powers up at
// 7 data bits / 2 stop bits; it is reset, told to stop guessing the speed and switched to
// 8N1, after which the port is reopened at 8N1 and the report format is set and locked.
// Finally the controller's identity is asked for and logged.
#include <functional>

namespace microtouch {

enum class EightN1Switch {
  Always,       // reopen at 8N1 unconditionally
  WhenCarrier,  // only when the controller raises carrier detect; otherwise stay at 7N2
};

struct Model {
  const char* name;  // class name, first word of every log line
  EightN1Switch eightN1;
};

// Runs the dialogue on fd. To reopen the port the routine closes fd and calls reopen8N1,
// which returns the new descriptor; fd is kept current throughout.
void configure(const Model& model, int& fd, const std::function<int()>& reopen8N1);

// One command written with a single write(); logs "<name>: <okText>" at level 0 when it all
// went out (okText may be null), "<name>: <strerror>" at level 3 otherwise.
bool sendCommand(const Model& model, int fd, const char* bytes, unsigned length, const char* okText);

}  // namespace microtouch
