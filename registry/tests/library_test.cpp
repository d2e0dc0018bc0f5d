// The library as the host meets it: entry points, the table object and its vtable.

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "contract/ZorlanRawUSBDevice.h"
#include "registry/tests/TableFixture.h"

namespace tabletest {
namespace {

TEST_F(TableTest, EntryPointsCreateAFullTableAndNameTheVersion) {
  ZorlanSupportedTouchDrivers* second = nullptr;
  const std::string log = logOf([&] { second = create(); });
  ASSERT_NE(second, nullptr);
  EXPECT_TRUE(has(log, "Diag :Number of supported devices in table (including default driver): 34"))
      << log;
  EXPECT_EQ(second->numDevices(), 34);
  EXPECT_EQ(second->getParent(), nullptr);
  delete second;  // through the virtual destructor, as the host does

  const GetSupportedTouchDriversVersionFn version =
      entry<GetSupportedTouchDriversVersionFn>("getSupportedTouchDriversVersion");
  ASSERT_NE(version, nullptr);
  EXPECT_STREQ(version(), "v2.1.1");
}

TEST_F(TableTest, ParentIsKeptPerObject) {
  ZorlanRawUSBDevice device;
  table->setParent(&device);
  EXPECT_EQ(table->getParent(), &device);
  std::unique_ptr<ZorlanSupportedTouchDrivers> other(create());
  EXPECT_EQ(other->getParent(), nullptr);
}

TEST_F(TableTest, OnlyTheEntryPointsAndRowsAreExported) {
  EXPECT_NE(dlsym(library(), TP_SUPPORTED_DEVICES_SYMBOL), nullptr);
  // Internals stay inside the library.
  EXPECT_EQ(dlsym(library(), "_ZN27ZorlanSupportedTouchDrivers10findDeviceEttPKhS1_"), nullptr);
  EXPECT_EQ(dlsym(library(), "_ZTV27ZorlanSupportedTouchDrivers"), nullptr);
}

// On the Itanium C++ ABI a pointer to a virtual member holds 1 + its slot's byte offset;
// where code addresses may be odd (MIPS) it holds the plain offset and marks itself
// virtual in bit 0 of the adjustment instead.
template <typename Member>
ptrdiff_t slotOf(Member member) {
  struct {
    uintptr_t ptr;
    ptrdiff_t adj;
  } raw;
  static_assert(sizeof raw == sizeof member, "Itanium member pointer");
  memcpy(&raw, &member, sizeof raw);
  const uintptr_t offset = (raw.adj & 1) ? raw.ptr : raw.ptr - 1;
  return static_cast<ptrdiff_t>(offset / sizeof(void*));
}

typedef ZorlanSupportedTouchDrivers T;
typedef unsigned short Id;
typedef const unsigned char* Bytes;

TEST(TableVtable, OperationsKeepTheHostsSlotOrder) {
  // Slots 0 and 1 are the two destructor entries.
  EXPECT_EQ(slotOf(static_cast<bool (T::*)(int)>(&T::isTouchEnabled)), 2);
  EXPECT_EQ(slotOf(static_cast<bool (T::*)(Id, Id, Bytes, Bytes)>(&T::isTouchEnabled)), 3);
  EXPECT_EQ(slotOf(static_cast<int (T::*)(int)>(&T::getReportSize)), 4);
  EXPECT_EQ(slotOf(static_cast<int (T::*)(Id, Id, Bytes, Bytes)>(&T::getReportSize)), 5);
  EXPECT_EQ(slotOf(static_cast<const char* (T::*)(int)>(&T::getDesc)), 6);
  EXPECT_EQ(slotOf(static_cast<const char* (T::*)(Id, Id, Bytes, Bytes)>(&T::getDesc)), 7);
  EXPECT_EQ(slotOf(static_cast<const char* (T::*)(int)>(&T::getDriver)), 8);
  EXPECT_EQ(slotOf(static_cast<const char* (T::*)(Id, Id, Bytes, Bytes)>(&T::getDriver)), 9);
  EXPECT_EQ(slotOf(&T::getDefaultDriver), 10);
  EXPECT_EQ(slotOf(&T::findDevice), 11);
  EXPECT_EQ(slotOf(&T::checkQuirks), 12);
  EXPECT_EQ(slotOf(&T::setParent), 13);
  EXPECT_EQ(slotOf(&T::getParent), 14);
}

}  // namespace
}  // namespace tabletest
