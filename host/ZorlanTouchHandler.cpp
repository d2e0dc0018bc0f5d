#include "contract/ZorlanTouchHandler.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>

#include "util/Logger.h"

void ZorlanTouchHandler::keepName(const char* device) {
  const char* name = device ? device : "";
  m_deviceName = new char[strlen(name) + 1];
  strcpy(m_deviceName, name);
}

void ZorlanTouchHandler::allocatePacket(int bytes) {
  m_packetCapacity = std::max(bytes, static_cast<int>(MIN_PACKET_SIZE));
  m_packet = new unsigned char[m_packetCapacity]();
}

ZorlanTouchHandler::ZorlanTouchHandler(const char* device, unsigned int cflag,
                                       unsigned int speed, int packetLength, int fifth)
    : m_packetLength(std::max(packetLength, 1)),  // a packet is at least one byte
      m_fifth(fifth) {
  keepName(device);
  allocatePacket(m_packetLength);
  m_cflag = cflag;
  m_speed = speed;
  m_fd = openSerialPort(device, cflag, speed);
  if (m_fd < 0) {
    Logger::Instance()->DiagnosticString(oidInput, 3, "ZorlanTouchHandler: cannot open %s: %s",
                                         m_deviceName, strerror(errno));
  }
}

ZorlanTouchHandler::ZorlanTouchHandler(const char* name)
    : m_packetLength(USB_PACKET_SIZE), m_fifth(0) {
  keepName(name);
  allocatePacket(USB_PACKET_SIZE);
  m_fd = name ? open(name, O_RDWR | O_NOCTTY | O_CLOEXEC) : -1;
  if (m_fd < 0) {
    Logger::Instance()->DiagnosticString(oidInput, 0, "ZorlanTouchHandler: no device node %s: %s",
                                         m_deviceName, strerror(errno));
  }
}

ZorlanTouchHandler::~ZorlanTouchHandler() {
  delete[] m_deviceName;
}

int ZorlanTouchHandler::readData() {
  // Hunt for a byte that can start a packet.
  for (;;) {
    if (readn(m_fd, m_packet, 1) != 1) return 0;
    if (inSync(m_packet)) break;
  }
  const unsigned int rest = static_cast<unsigned int>(m_packetLength - 1);
  if (rest > 0 && readn(m_fd, m_packet + 1, rest) != static_cast<int>(rest)) return 0;
  processData();
  return 1;
}

void ZorlanTouchHandler::sendUnfiltered(const GfPoint& point, bool touched) {
  CalibratedTouchHandler::sendUnfiltered(point, touched);
}

bool ZorlanTouchHandler::InitTouchHandler(boost::shared_ptr<ZorlanRawUSBDevice>&) {
  return m_fd >= 0;
}

int ZorlanTouchHandler::local_handler(__LE_command_buffer*, int*, int) {
  return 0;
}

int ZorlanTouchHandler::passthru_handler(__LE_command_buffer*, int*, unsigned char*) {
  return 0;
}

void ZorlanTouchHandler::setDeviceReady(int port, bool ready) {
  if (port >= 0 && port < PORT_COUNT) m_deviceReady[port] = ready;
}
