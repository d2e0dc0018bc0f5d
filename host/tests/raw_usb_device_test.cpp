// The host's raw USB device record: control transfers through the device node, string
// descriptor slots and the touch report size.

#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <string.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "contract/USBControlBlock.h"
#include "contract/ZorlanRawUSBDevice.h"

namespace {

// The simulated device node: ioctl on this descriptor is a control transfer answered
// from here; every other descriptor reaches the real call.
struct FakeNode {
  int fd = -1;
  int calls = 0;
  USBControlBlock seen;       // what the device got
  int32_t answerCount = 0;    // count written back
  unsigned char answer[USB_CONTROL_DATA_SIZE];
  int failWith = 0;           // nonzero: the ioctl itself fails with this errno
} node;

}  // namespace

extern "C" int ioctl(int fd, unsigned long request, ...) {
  va_list args;
  va_start(args, request);
  void* arg = va_arg(args, void*);
  va_end(args);
  if (fd == node.fd && node.fd >= 0 && request == USB_CONTROL_TRANSFER_IOCTL) {
    ++node.calls;
    if (node.failWith) {
      errno = node.failWith;
      return -1;
    }
    USBControlBlock* block = static_cast<USBControlBlock*>(arg);
    node.seen = *block;
    block->count = node.answerCount;
    memcpy(block->data, node.answer, sizeof block->data);
    return 0;
  }
  typedef int (*RealIoctl)(int, unsigned long, void*);
  static RealIoctl real = reinterpret_cast<RealIoctl>(dlsym(RTLD_NEXT, "ioctl"));
  return real(fd, request, arg);
}

namespace {

class RawDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    node = FakeNode();
    node.fd = open("/dev/null", O_RDWR);
    ASSERT_GE(node.fd, 0);
    for (size_t i = 0; i < sizeof node.answer; ++i) node.answer[i] = static_cast<unsigned char>(i);
    device.setFd(node.fd);
    memset(&request, 0, sizeof request);
    memset(reply, 0xA5, sizeof reply);
  }
  void TearDown() override { close(node.fd); }

  void setup(uint8_t type, uint8_t req, uint16_t value, uint16_t index, uint16_t length) {
    request.bmRequestType = type;
    request.bRequest = req;
    request.wValue = value;
    request.wIndex = index;
    request.wLength = length;
  }

  ZorlanRawUSBDevice device;
  LECB request;
  unsigned char reply[2 * USB_CONTROL_DATA_SIZE];
};

TEST_F(RawDevice, InTransferFillsAtMostTheRequestedBytes) {
  setup(0x80, 6, 0x0100, 0, 18);  // GET_DESCRIPTOR, device
  for (int32_t count : {18, 64, 4}) {
    SCOPED_TRACE(count);
    memset(reply, 0xA5, sizeof reply);
    node.answerCount = count;
    const int expected = count < 18 ? count : 18;
    EXPECT_EQ(device.Send_Setup(&request, reply), expected);
    EXPECT_EQ(memcmp(reply, node.answer, expected), 0);
    EXPECT_EQ(reply[expected], 0xA5);  // nothing beyond what arrived or was asked for
  }
  EXPECT_EQ(node.seen.bmRequestType, 0x80);
  EXPECT_EQ(node.seen.bRequest, 6);
  EXPECT_EQ(node.seen.wValue, 0x0100);
  EXPECT_EQ(node.seen.wLength, 18);
  EXPECT_EQ(node.seen.count, 18);
}

TEST_F(RawDevice, OutTransferCarriesTheBlocksData) {
  setup(0x21, 9, 0x0302, 1, 3);  // SET_REPORT
  request.data[0] = 0x02;
  request.data[1] = 0x04;
  request.data[2] = 0x01;
  request.data[3] = 0x77;  // beyond wLength: not sent
  node.answerCount = 3;
  EXPECT_EQ(device.Send_Setup(&request, nullptr), 3);
  const unsigned char sent[4] = {0x02, 0x04, 0x01, 0x00};
  EXPECT_EQ(memcmp(node.seen.data, sent, sizeof sent), 0);
  EXPECT_EQ(node.seen.wIndex, 1);
}

TEST_F(RawDevice, FailuresAreNegativeWithErrno) {
  setup(0x80, 6, 0x0100, 0, 18);
  node.answerCount = -EPIPE;  // the device stalled
  errno = 0;
  EXPECT_LT(device.Send_Setup(&request, reply), 0);
  EXPECT_EQ(errno, EPIPE);
  EXPECT_EQ(reply[0], 0xA5);

  node.failWith = ENODEV;
  EXPECT_LT(device.Send_Setup(&request, reply), 0);
  EXPECT_EQ(errno, ENODEV);

  // Refused before reaching the device.
  const int calls = node.calls;
  EXPECT_LT(device.Send_Setup(nullptr, reply), 0);
  EXPECT_LT(device.Send_Setup(&request, nullptr), 0);  // IN data with nowhere to go
  setup(0x00, 7, 0, 0, USB_CONTROL_DATA_SIZE + 1);
  EXPECT_LT(device.Send_Setup(&request, reply), 0);
  EXPECT_EQ(errno, EINVAL);
  EXPECT_EQ(node.calls, calls);
}

TEST(RawDeviceRecord, StringSlotsTakeOnlyWholeDescriptors) {
  ZorlanRawUSBDevice device;
  const unsigned char text[255] = {0x04, 0x03, 0x09, 0x04};
  EXPECT_FALSE(device.setStringDescriptor(-1, text, 4));
  EXPECT_FALSE(device.setStringDescriptor(ZorlanRawUSBDevice::STRING_COUNT, text, 4));
  EXPECT_FALSE(device.setStringDescriptor(1, nullptr, 4));
  EXPECT_FALSE(device.setStringDescriptor(1, text, 0));
  EXPECT_FALSE(device.setStringDescriptor(1, text, 256));
  EXPECT_EQ(device.stringPresent[1], 0);
  EXPECT_TRUE(device.setStringDescriptor(255, text, sizeof text));
  EXPECT_NE(device.stringPresent[255], 0);
  EXPECT_EQ(device.stringDesc[255][ZorlanRawUSBDevice::STRING_SIZE - 1], 0);
}

TEST(RawDeviceRecord, TouchReportSizeNeedsAReportDescriptor) {
  EXPECT_EQ(ZorlanRawUSBDevice().touch_report_size(), 0u);
  boost::shared_ptr<PHUB_DEVICEPORT> port(new PHUB_DEVICEPORT);
  ZorlanRawUSBDevice device(7, port);
  port->touch_if = 1;
  port->touch_size = 16;
  EXPECT_EQ(device.touch_report_size(), 0u);  // interface 1 has no report descriptor
  unsigned char report[] = {0x05, 0x0D, 0x09, 0x04};
  port->report_desc[1] = report;
  port->report_desc_len[1] = sizeof report;
  EXPECT_EQ(device.touch_report_size(), 16u);
  port->touch_if = PHUB_MAX_INTERFACES;
  EXPECT_EQ(device.touch_report_size(), 0u);
  EXPECT_EQ(device.getDeviceId(), 7);
}

}  // namespace
