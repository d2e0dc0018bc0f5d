#ifndef CONTRACT_PHUB_DEVICEPORT_H
#define CONTRACT_PHUB_DEVICEPORT_H

// The USB device layer's records of one attached device: the port record, with the
// device's descriptors and the touch and mouse classification, and one record per
// interface. The device layer fills the descriptor pointers when the device is
// enumerated; the driver table classifies each interface into the port record, and the
// USB touch handlers later take their endpoint, report descriptor and report size from it.
//
// Every descriptor is pointed at, not copied; the device layer owns the bytes and keeps
// them alive as long as the record. A pointer left null means the descriptor was not
// fetched, and readers must cope with that.

#include <stdint.h>

// Sizes of the standard USB descriptors the records point at.
enum {
  PHUB_DEVICE_DESC_SIZE = 18,
  PHUB_INTERFACE_DESC_SIZE = 9,
  PHUB_ENDPOINT_DESC_SIZE = 7,
};

// Endpoint numbers are four bits on the bus; an interface number is a byte, but the
// devices a panel meets have a handful.
enum {
  PHUB_MAX_ENDPOINTS = 16,
  PHUB_MAX_INTERFACES = 16,
};

// Interface classification written into __INTERFACE__::type.
enum {
  PHUB_IF_UNKNOWN = 0,
  PHUB_IF_MOUSE = 2,
  PHUB_IF_TOUCH = 3,
};

// Byte offsets inside the standard descriptors that the device layer and its users read.
enum {
  PHUB_DD_VENDOR = 8,          // idVendor, little-endian, 2 bytes
  PHUB_DD_PRODUCT = 10,        // idProduct, little-endian, 2 bytes
  PHUB_DD_MANUFACTURER = 14,   // iManufacturer string index
  PHUB_DD_PRODUCT_STRING = 15, // iProduct string index
  PHUB_DD_SERIAL = 16,         // iSerialNumber string index
  PHUB_IF_NUMBER = 2,          // bInterfaceNumber
  PHUB_IF_CLASS = 5,           // bInterfaceClass
  PHUB_IF_SUBCLASS = 6,        // bInterfaceSubClass
  PHUB_IF_PROTOCOL = 7,        // bInterfaceProtocol
  PHUB_EP_MAX_PACKET = 4,      // wMaxPacketSize, low byte
};

// One interface of the device, as the device layer hands it to the driver table.
struct __INTERFACE__ {
  unsigned char* if_desc = nullptr;          // 9-byte standard interface descriptor
  int32_t type = PHUB_IF_UNKNOWN;            // PHUB_IF_MOUSE or PHUB_IF_TOUCH once classified
  int32_t if_eps[PHUB_MAX_ENDPOINTS] = {};   // the interface's endpoint numbers, first one first
};

typedef struct __PHUB_DEVICEPORT__ {
  unsigned char* dev_desc = nullptr;   // 18-byte device descriptor
  unsigned char* dev_desc2 = nullptr;  // the device layer's second copy of it
  unsigned char* ep_desc[PHUB_MAX_ENDPOINTS] = {};  // 7-byte endpoint descriptor per endpoint number

  // HID report descriptor of each interface, by interface number (null when it has none).
  unsigned char* report_desc[PHUB_MAX_INTERFACES] = {};
  uint32_t report_desc_len[PHUB_MAX_INTERFACES] = {};

  int32_t mouse_present = 0;
  int32_t mouse_boot = 0;
  int32_t mouse_ep = 0;
  int32_t mouse_size = 0;
  int32_t touch_present = 0;
  int32_t touch_ep = 0;   // endpoint number of the touch interface
  int32_t touch_if = 0;   // interface number of the touch interface
  int32_t touch_size = 0; // bytes per touch report

  // The endpoint descriptor of endpoint number ep, or null when it is out of range or
  // was not fetched.
  const unsigned char* endpoint(int32_t ep) const {
    return ep >= 0 && ep < PHUB_MAX_ENDPOINTS ? ep_desc[ep] : nullptr;
  }

  // wMaxPacketSize (low byte) of endpoint ep; -1 when its descriptor is missing.
  int32_t endpointPacketSize(int32_t ep) const {
    const unsigned char* d = endpoint(ep);
    return d ? d[PHUB_EP_MAX_PACKET] : -1;
  }

  // The report descriptor of interface number iface and its length; null when missing.
  const unsigned char* reportDescriptor(int32_t iface, uint32_t* length) const {
    const bool known = iface >= 0 && iface < PHUB_MAX_INTERFACES && report_desc[iface] &&
                       report_desc_len[iface] > 0;
    if (length) *length = known ? report_desc_len[iface] : 0;
    return known ? report_desc[iface] : nullptr;
  }
} PHUB_DEVICEPORT;

#endif
