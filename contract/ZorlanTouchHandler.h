#ifndef CONTRACT_ZORLANTOUCHHANDLER_H
#define CONTRACT_ZORLANTOUCHHANDLER_H

#include <stdint.h>

#include <boost/shared_ptr.hpp>

#include "contract/CalibratedTouchHandler.h"
#include "contract/DeviceInfoPtr.h"
#include "contract/HandlerRecord.h"
#include "contract/LECB.h"
#include "contract/Visibility.h"

// The base of every serial handler (and, through ZorlanUSBTouchHandler, of every USB
// handler). The constructor opens and configures the controller port, so a handler may
// write commands to m_fd from its own constructor on.
//
// The last five operations of the handler table are declared here; a plug-in class that
// adds virtual operations of its own appends them after thinPassthruMode.
class TP_FRAMEWORK ZorlanTouchHandler : public CalibratedTouchHandler, public HandlerRecord {
 public:
  enum {
    PORT_COUNT = 4,            // pass-through ports 0 to 3
    MIN_PACKET_SIZE = 32,      // m_packet always holds at least this many bytes
    USB_PACKET_SIZE = 1024,    // m_packet of a USB handler: room for any report
  };

  // Opens `device` raw with c_cflag `cflag` and speed `speed`,
  // keeps the descriptor in m_fd and allocates m_packet of
  // max(32, packetLength) bytes. `packetLength` is the packet size of the default
  // readData; `fifth` is kept by the host. A port that cannot be opened leaves m_fd at -1
  // with one log line; construction itself never fails.
  ZorlanTouchHandler(const char* device, unsigned int cflag, unsigned int speed,
                     int packetLength, int fifth);
  virtual ~ZorlanTouchHandler();

  // Default framing: reads one byte at a time until inSync(m_packet) accepts the first
  // byte, then the rest of packetLength bytes, then processData. 1 after a packet, 0 when
  // reading fails or the port reached end of file.
  int readData() override;
  void exitHandler() override {}
  void sendUnfiltered(const GfPoint& point, bool touched) override;

  // --- the last operations of the table ---
  // Serial handlers: true when the controller port is open. The argument is not used.
  virtual bool InitTouchHandler(boost::shared_ptr<ZorlanRawUSBDevice>& device);
  // Whether the PC-side touch driver on pass-through port `port` is ready; false for a
  // port outside 0 to 3.
  virtual bool deviceReady(int port) {
    return port >= 0 && port < PORT_COUNT && m_deviceReady[port];
  }
  // A control request from the PC on pass-through port `port`: 0, left to the host.
  virtual int local_handler(__LE_command_buffer* request, int* fds, int port);
  // A request bound for the real device: 0, left to the host.
  virtual int passthru_handler(__LE_command_buffer* request, int* fds, unsigned char* buffer);
  virtual bool thinPassthruMode() { return m_thinPassthru; }

  // --- host-side access (not part of the table) ---
  const char* deviceName() const { return m_deviceName; }
  int packetLength() const { return m_packetLength; }
  int packetCapacity() const { return m_packetCapacity; }
  const unsigned char* packet() const { return m_packet; }
  int fifth() const { return m_fifth; }
  void setDeviceReady(int port, bool ready);
  void setThinPassthru(bool thin) { m_thinPassthru = thin; }

 protected:
  // For USB handlers: opens the device node `name` for reading and writing (no line
  // settings) and allocates m_packet of USB_PACKET_SIZE bytes.
  explicit ZorlanTouchHandler(const char* name);

  // Copy of a raw report; reset() with a new[] array frees the previous copy.
  typedef boost::shared_ptr<unsigned char[]> ReportCopy;

  ReportCopy m_lastReport;          // last raw report posted to the host
  uint32_t m_reportSize = 0;        // bytes per input report
  DeviceInfoPtr m_device;           // the bound raw device
  int32_t m_device_id = 0;          // the device's id
  int32_t m_device_ep = 0;          // endpoint number of the touch interface
  uint8_t m_stateFlags[3] = {};     // host bookkeeping; USB constructors clear them
  int32_t m_stateCounters[2] = {};  // host bookkeeping; USB constructors clear them
  int32_t m_readLen = 0;            // result of the last report read
  bool m_deviceReady[PORT_COUNT] = {};
  bool m_thinPassthru = false;

 private:
  void allocatePacket(int bytes);
  void keepName(const char* device);

  char* m_deviceName = nullptr;
  int m_packetLength;
  int m_packetCapacity = 0;
  int m_fifth;
};

#endif
