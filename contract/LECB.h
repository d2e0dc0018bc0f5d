#ifndef CONTRACT_LECB_H
#define CONTRACT_LECB_H

// The block in which a USB control request travels between the pass-through port to the
// external PC, the host and a USB handler, and in which the request is answered. The
// pass-through port's driver reads it exactly as laid out here (little-endian):
//
//   offset  width  field
//        0      1  bmRequestType  direction (bit 7), type (bits 5-6), recipient
//        1      1  bRequest
//        2      2  wValue         GET_DESCRIPTOR: descriptor type in the high byte (offset 3)
//        4      2  wIndex
//        6      2  wLength
//        8      8  (driver's own)
//       16      4  requestWord    driver's word; handlers only log it
//       20      4  replyLength    data bytes returned to the PC
//       24      8  (driver's own)
//       32      4  requestStatus  LECB_STATUS_ACK or LECB_STATUS_STALL
//       36      4  (driver's own)
//       40   1024  data           OUT data from the PC, or the IN data returned to it
//
// A handler answers a request by filling replyLength, requestStatus and (IN) data, then
// issuing ioctl LECB_ANSWER_IOCTL on the port's first descriptor with the block.

#include <stddef.h>
#include <stdint.h>

enum {
  LECB_DATA_SIZE = 1024,
  LECB_ANSWER_IOCTL = 0x747113,
  LECB_STATUS_ACK = 1,    // send the data, or a zero-length status stage
  LECB_STATUS_STALL = 2,  // refuse the request
};

// Setup-packet values the handlers test.
enum {
  LECB_DIR_IN = 0x80,               // bmRequestType bit 7: device to host
  LECB_TYPE_MASK = 0x60,            // bmRequestType bits 5-6
  LECB_TYPE_STANDARD = 0x00,
  LECB_TYPE_CLASS = 0x20,
  LECB_TYPE_VENDOR = 0x40,
  LECB_REQ_GET_DESCRIPTOR = 6,
  LECB_DESC_HID_REPORT = 0x22,      // high byte of wValue
};

struct __LE_command_buffer {
  uint8_t bmRequestType;
  uint8_t bRequest;
  uint16_t wValue;
  uint16_t wIndex;
  uint16_t wLength;
  uint8_t reserved0[8];
  uint32_t requestWord;
  uint32_t replyLength;
  uint8_t reserved1[8];
  uint32_t requestStatus;
  uint32_t reserved2;
  uint8_t data[LECB_DATA_SIZE];
};

typedef __LE_command_buffer LECB;

static_assert(sizeof(LECB) == 1064, "the pass-through driver reads 1064 bytes");
static_assert(offsetof(LECB, bmRequestType) == 0, "setup packet first");
static_assert(offsetof(LECB, bRequest) == 1, "bRequest");
static_assert(offsetof(LECB, wValue) == 2, "wValue");
static_assert(offsetof(LECB, wIndex) == 4, "wIndex");
static_assert(offsetof(LECB, wLength) == 6, "wLength");
static_assert(offsetof(LECB, requestWord) == 16, "driver word");
static_assert(offsetof(LECB, replyLength) == 20, "replyLength");
static_assert(offsetof(LECB, requestStatus) == 32, "requestStatus");
static_assert(offsetof(LECB, data) == 40, "data stage");

// The descriptor type a GET_DESCRIPTOR request asks for (high byte of wValue).
inline uint8_t lecbDescriptorType(const LECB& block) {
  return static_cast<uint8_t>(block.wValue >> 8);
}

#endif
