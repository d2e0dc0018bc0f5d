#ifndef CONTRACT_USBCONTROLBLOCK_H
#define CONTRACT_USBCONTROLBLOCK_H

// One control transfer on a USB touch device, run by ioctl request
// USB_CONTROL_TRANSFER_IOCTL on the device's descriptor.
//
//   offset  width  field
//        0      4  count: after the call, bytes transferred or a negative error number
//        4      8  the setup packet (bmRequestType, bRequest, wValue, wIndex, wLength)
//       12   1024  data: OUT data before the call, IN data after it
//
// Little-endian, as on the bus.

#include <stdint.h>

enum {
  USB_CONTROL_TRANSFER_IOCTL = 1,
  USB_CONTROL_DATA_SIZE = 1024,
};

struct USBControlBlock {
  int32_t count;
  uint8_t bmRequestType;
  uint8_t bRequest;
  uint16_t wValue;
  uint16_t wIndex;
  uint16_t wLength;
  uint8_t data[USB_CONTROL_DATA_SIZE];
};

static_assert(sizeof(USBControlBlock) == 1036, "the device driver reads 1036 bytes");

#endif
