// The handler table is the binary contract between the host and every plug-in: each
// operation must sit in its fixed slot. On the Itanium C++ ABI a pointer to a virtual
// member function holds 1 + the byte offset of its slot, which pins the layout without
// calling anything. MIPS (like ARM) keeps code addresses free to be odd, so there the
// pointer holds the plain byte offset and the "virtual" mark is bit 0 of the adjustment.

#include <gtest/gtest.h>
#include <stdint.h>
#include <string.h>

#include <new>

#include "contract/USBTouchHandler.h"
#include "host/tests/ProbeHandler.h"

namespace {

template <class F>
long slotOf(F member) {
  static_assert(sizeof(F) == 2 * sizeof(void*), "Itanium member function pointer");
  struct Representation {
    uintptr_t ptr;
    ptrdiff_t adj;
  } r;
  memcpy(&r, &member, sizeof r);
#if defined(__mips__) || defined(__arm__) || defined(__aarch64__)
  if ((r.adj & 1) == 0) return -1;  // not a virtual function
  return static_cast<long>(r.ptr / sizeof(void*));
#else
  if ((r.ptr & 1) == 0) return -1;
  return static_cast<long>((r.ptr - 1) / sizeof(void*));
#endif
}

struct Slot {
  const char* name;
  long actual;
  long expected;
};

#define SLOT(fn, index) Slot{#fn, slotOf(&ZorlanUSBTouchHandler::fn), index}

TEST(HandlerTable, EveryOperationSitsInItsSlot) {
  // Slots 0 and 1 are the two destructor entries (complete object, deleting).
  const Slot slots[] = {
      SLOT(readData, 2),
      SLOT(enable, 3),
      SLOT(disable, 4),
      SLOT(isDisabled, 5),
      SLOT(openDevice, 6),
      SLOT(reset, 7),
      SLOT(init, 8),
      SLOT(openSerialPort, 9),
      SLOT(processData, 10),
      SLOT(postEvent, 11),
      SLOT(readn, 12),
      SLOT(writen, 13),
      SLOT(timerDone, 14),
      SLOT(waitForReply, 15),
      SLOT(sendPacket, 16),
      SLOT(sendExtendedPacket, 17),
      SLOT(queryPacket, 18),
      SLOT(queryExtendedPacket, 19),
      SLOT(enterCalibrationMode, 20),
      SLOT(enterCalibrationAdjust, 21),
      SLOT(exitCalibrationMode, 22),
      SLOT(attachPassThrough, 23),
      SLOT(detachPassThrough, 24),
      SLOT(changeBaud, 25),
      SLOT(isTouchDown, 26),
      SLOT(getTouchedOnWake, 27),
      SLOT(readCalibration, 28),
      SLOT(burnPSOCFile, 29),
      SLOT(handleOffscreenTouch, 30),
      SLOT(exitHandler, 31),
      SLOT(inSync, 32),
      SLOT(inPassPCSync, 33),
      SLOT(inPassSync, 34),
      SLOT(extractPosition, 35),
      SLOT(calibratePos, 36),
      SLOT(sendFiltered, 37),
      SLOT(sendUnfiltered, 38),
      SLOT(calibrationTouch, 39),
      SLOT(clearCalibration, 40),
      SLOT(calculateCalibration, 41),
      SLOT(writeCalibration, 42),
      SLOT(lineControlChange, 43),
      SLOT(controllerIsPresent, 44),
      SLOT(InitTouchHandler, 45),
      SLOT(deviceReady, 46),
      SLOT(local_handler, 47),
      SLOT(passthru_handler, 48),
      SLOT(thinPassthruMode, 49),
  };
  EXPECT_EQ(sizeof slots / sizeof slots[0], 48u) << "48 named operations + 2 destructor entries";
  for (const Slot& s : slots) EXPECT_EQ(s.actual, s.expected) << s.name;
}

TEST(HandlerTable, TimerInterfaceKeepsItsOwnTable) {
  EXPECT_EQ(slotOf(&TimerInterface::timerDone), 2);  // after its two destructor entries
}

// The slots seen from an object: calling the entries directly must land in the handler.
using Destructor = void (*)(void*);
using TimerEntry = void (*)(void*, int);

void** tableOf(const void* object) {
  void** table;
  memcpy(&table, object, sizeof table);
  return table;
}

TEST(HandlerTable, DestructorEntriesComeFirst) {
  int destroyed = 0;
  const int live = HandlerRecord::liveHandlers();

  // Entry 0 destroys without freeing: run it on an object in our own storage.
  alignas(ProbeHandler) unsigned char storage[sizeof(ProbeHandler)];
  ProbeHandler* inPlace = new (storage) ProbeHandler("/dev/null", 0x8B0, B9600, 3, &destroyed);
  EXPECT_EQ(HandlerRecord::liveHandlers(), live + 1);
  reinterpret_cast<Destructor>(tableOf(inPlace)[0])(inPlace);
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(HandlerRecord::liveHandlers(), live);

  // Entry 1 destroys and frees (the allocator checks the pairing under the sanitizers).
  ProbeHandler* onHeap = new ProbeHandler("/dev/null", 0x8B0, B9600, 3, &destroyed);
  InputHandler* asInput = onHeap;
  reinterpret_cast<Destructor>(tableOf(asInput)[1])(asInput);
  EXPECT_EQ(destroyed, 2);
  EXPECT_EQ(HandlerRecord::liveHandlers(), live);
}

TEST(HandlerTable, SecondaryTablesForwardToTheHandler) {
  int destroyed = 0;
  ProbeHandler* handler = new ProbeHandler("/dev/null", 0x8B0, B9600, 3, &destroyed);

  TimerInterface* timer = handler;
  ASSERT_NE(static_cast<void*>(timer), static_cast<void*>(handler)) << "a second base";
  reinterpret_cast<TimerEntry>(tableOf(timer)[2])(timer, 686);
  ASSERT_EQ(handler->fired.size(), 1u);
  EXPECT_EQ(handler->fired[0], 686);

  // The further base has the destructor alone; deleting through it deletes the handler.
  HandlerRecord* record = handler;
  reinterpret_cast<Destructor>(tableOf(record)[1])(record);
  EXPECT_EQ(destroyed, 1);
}

TEST(HandlerTable, FirstBasesShareTheObjectAddress) {
  ProbeHandler handler("/dev/null");
  const void* at = &handler;
  EXPECT_EQ(static_cast<const void*>(static_cast<ZorlanTouchHandler*>(&handler)), at);
  EXPECT_EQ(static_cast<const void*>(static_cast<CalibratedTouchHandler*>(&handler)), at);
  EXPECT_EQ(static_cast<const void*>(static_cast<InputHandler*>(&handler)), at);
}

}  // namespace
