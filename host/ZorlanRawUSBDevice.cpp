#include "contract/ZorlanRawUSBDevice.h"

#include <errno.h>
#include <string.h>
#include <sys/ioctl.h>

#include "contract/USBControlBlock.h"

ZorlanRawUSBDevice::ZorlanRawUSBDevice(int32_t deviceId,
                                       const boost::shared_ptr<PHUB_DEVICEPORT>& port, int fd)
    : m_deviceId(deviceId), m_port(port), m_fd(fd) {
  memset(stringPresent, 0, sizeof stringPresent);
  memset(stringDesc, 0, sizeof stringDesc);
}

unsigned int ZorlanRawUSBDevice::touch_report_size() const {
  if (!m_port) return 0;
  if (!m_port->reportDescriptor(m_port->touch_if, nullptr)) return 0;
  return m_port->touch_size > 0 ? static_cast<unsigned int>(m_port->touch_size) : 0;
}

int ZorlanRawUSBDevice::Send_Setup(LECB const* request, unsigned char* reply) {
  if (!request) {
    errno = EINVAL;
    return -1;
  }
  const size_t length = request->wLength;
  const bool in = (request->bmRequestType & LECB_DIR_IN) != 0;
  // One control block carries at most 1024 data bytes; an IN request needs a buffer.
  if (length > USB_CONTROL_DATA_SIZE || (in && length > 0 && !reply)) {
    errno = EINVAL;
    return -1;
  }

  USBControlBlock block;
  memset(&block, 0, sizeof block);
  block.bmRequestType = request->bmRequestType;
  block.bRequest = request->bRequest;
  block.wValue = request->wValue;
  block.wIndex = request->wIndex;
  block.wLength = request->wLength;
  if (!in) memcpy(block.data, request->data, length);
  block.count = static_cast<int32_t>(length);

  if (ioctl(m_fd, USB_CONTROL_TRANSFER_IOCTL, &block) < 0) return -1;
  if (block.count < 0) {
    errno = -block.count;
    return -1;
  }
  if (!in) return block.count;
  // Never more than was asked for, whatever the driver claims.
  const size_t got = static_cast<size_t>(block.count) < length ? block.count : length;
  if (got > 0) memcpy(reply, block.data, got);
  return static_cast<int>(got);
}

bool ZorlanRawUSBDevice::setStringDescriptor(int index, const unsigned char* desc,
                                             size_t length) {
  if (index < 0 || index >= STRING_COUNT || !desc || length == 0 || length > STRING_SIZE - 1)
    return false;
  memset(stringDesc[index], 0, STRING_SIZE);
  memcpy(stringDesc[index], desc, length);
  stringPresent[index] = 1;
  return true;
}
