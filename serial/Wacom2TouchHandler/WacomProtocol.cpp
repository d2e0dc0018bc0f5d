#include "serial/Wacom2TouchHandler/WacomProtocol.h"

namespace wacom {

SpeedRequest followPcBlock(const unsigned char* data, int count, bool& cmdPending) {
  if (data == nullptr || count <= 0) return SpeedRequest::None;
  SpeedRequest request = SpeedRequest::None;
  if (count < 3) {
    if (count == 2 && data[0] == '\r' && (data[1] == '#' || data[1] == '$')) {
      request = SpeedRequest::To9600;
      cmdPending = false;
    }
  } else if (data[0] == 0x7E && data[1] == 0x2A && data[2] == 0x46) {
    if (data[count - 1] == '\r') {
      request = SpeedRequest::To19200;
      cmdPending = false;
    } else {
      cmdPending = true;
    }
  }
  if (cmdPending) {
    for (int i = 0; i < count; ++i) {
      if (data[i] == '\r') request = SpeedRequest::To19200;
    }
  }
  if (request != SpeedRequest::None) cmdPending = false;
  return request;
}

}  // namespace wacom
