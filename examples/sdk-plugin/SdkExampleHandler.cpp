// An example controller, to show what a plug-in takes.
//
// Wire format, 5 bytes a packet, framed by the host's default readData:
//
//   byte 0   1 0 0 0 0 0 0 D    lead byte: bit 7 set, D = 1 while touched
//   byte 1-2 X, little-endian
//   byte 3-4 Y, little-endian
//
// At start the handler asks the controller to report with "R\r".

#include <errno.h>
#include <string.h>

#include "contract/TouchHandler.h"

namespace {

const int kPacketLength = 5;

class SdkExampleHandler : public ZorlanTouchHandler {
 public:
  explicit SdkExampleHandler(const char* device)
      : ZorlanTouchHandler(device, CS8 | CREAD | CLOCAL, B9600, kPacketLength, 3) {
    unsigned char start[] = {'R', '\r'};
    if (writen(m_fd, start, sizeof start) != static_cast<int>(sizeof start)) {
      Logger::Instance()->DiagnosticString(oidInput, 3, "SdkExampleHandler: start failed: %s",
                                           strerror(errno));
    }
  }

  bool inSync(const unsigned char* packet) override { return (packet[0] & 0x80) != 0; }
  bool isTouchDown(const unsigned char* packet) override {
    return packet && (packet[0] & 0x01) != 0;
  }
  GfPoint extractPosition(const unsigned char* packet) override {
    return GfPoint(packet[1] | packet[2] << 8, packet[3] | packet[4] << 8);
  }
};

}  // namespace

TP_EXPORT_TOUCH_HANDLER(SdkExampleHandler)
