#ifndef CONTRACT_ZORLANRAWUSBDEVICE_H
#define CONTRACT_ZORLANRAWUSBDEVICE_H

// The host's record of one attached USB touch device, shared with the handler bound to
// it (DeviceInfoPtr). It carries the device's id, its port record, the descriptor of its
// device node and the string descriptors the device layer fetched at enumeration.

#include <stddef.h>
#include <stdint.h>

#include <boost/shared_ptr.hpp>

#include "contract/LECB.h"
#include "contract/PHUB_DEVICEPORT.h"
#include "contract/Visibility.h"

class TP_FRAMEWORK ZorlanRawUSBDevice {
 public:
  enum {
    STRING_COUNT = 256,  // one slot per string index (indices are bytes)
    STRING_SIZE = 256,   // a string descriptor is at most 255 bytes (bLength is a byte)
  };

  explicit ZorlanRawUSBDevice(int32_t deviceId = 0,
                              const boost::shared_ptr<PHUB_DEVICEPORT>& port =
                                  boost::shared_ptr<PHUB_DEVICEPORT>(),
                              int fd = -1);

  int32_t getDeviceId() const { return m_deviceId; }
  const boost::shared_ptr<PHUB_DEVICEPORT>& getDevicePort() const { return m_port; }
  int getFd() const { return m_fd; }
  void setFd(int fd) { m_fd = fd; }

  // Bytes per input report of the touch interface; 0 when the device has no port record
  // or its touch interface has no HID report descriptor.
  unsigned int touch_report_size() const;

  // Runs one control request on the device (ioctl USB_CONTROL_TRANSFER_IOCTL on getFd()):
  // the setup packet and, for OUT requests, wLength bytes of data from the block's data
  // field; IN data (at most wLength bytes) lands in reply, which may be null for requests
  // without data. Returns the number of bytes transferred, below 0 on failure.
  int Send_Setup(LECB const* request, unsigned char* reply);

  // Stores string descriptor `index` as fetched from the device (bytes as on the bus).
  // Returns false, storing nothing, for an index out of range, a null pointer or a length
  // of 0 or more than STRING_SIZE - 1 bytes.
  bool setStringDescriptor(int index, const unsigned char* desc, size_t length);

  // Per string index: nonzero once that string descriptor was fetched.
  int32_t stringPresent[STRING_COUNT];
  // The fetched string descriptors, STRING_SIZE bytes per index, zero beyond bLength.
  unsigned char stringDesc[STRING_COUNT][STRING_SIZE];

 private:
  int32_t m_deviceId;
  boost::shared_ptr<PHUB_DEVICEPORT> m_port;
  int m_fd;
};

#endif
