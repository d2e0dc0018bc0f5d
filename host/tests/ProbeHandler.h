#ifndef HOST_TESTS_PROBEHANDLER_H
#define HOST_TESTS_PROBEHANDLER_H

// A minimal serial handler for the host's own tests: 3-byte packets, first byte bit 7 set
// starts a packet, bit 0 of it is "down", x and y are the next two bytes.

#include <vector>

#include "contract/TouchHandler.h"

class ProbeHandler : public ZorlanTouchHandler {
 public:
  explicit ProbeHandler(const char* device, unsigned int cflag = 0x8B0,
                        unsigned int speed = B9600, int packetLength = 3, int* destroyed = nullptr)
      : ZorlanTouchHandler(device, cflag, speed, packetLength, 3), m_destroyed(destroyed) {}
  ~ProbeHandler() override {
    if (m_destroyed) ++*m_destroyed;
  }

  bool isTouchDown(const unsigned char* packet) override { return packet[0] & 1; }
  GfPoint extractPosition(const unsigned char* packet) override {
    return GfPoint(packet[1], packet[2]);
  }
  // With syncOnBit7 clear the framework's inSync (every byte starts a packet) is used.
  bool inSync(const unsigned char* packet) override {
    return syncOnBit7 ? (packet[0] & 0x80) != 0 : ZorlanTouchHandler::inSync(packet);
  }
  void timerDone(int timer) override { fired.push_back(timer); }

  std::vector<int> fired;
  bool syncOnBit7 = true;

  using ZorlanTouchHandler::m_cflag;
  using ZorlanTouchHandler::m_deviceReady;
  using ZorlanTouchHandler::m_fd;
  using ZorlanTouchHandler::m_packet;
  using ZorlanTouchHandler::m_passFd;
  using ZorlanTouchHandler::m_speed;
  using ZorlanTouchHandler::m_thinPassthru;

 private:
  int* m_destroyed;
};

#endif
