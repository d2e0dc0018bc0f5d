// Small host services that handlers call: speed codes, the host heap behind GfString,
// LocalInfo and the posted-event path.

#include <termios.h>

#include <gtest/gtest.h>

#include <memory>

#include "contract/TimeoutLabels.h"
#include "contract/TouchHandler.h"
#include "host/SerialPort.h"
#include "host/TouchSink.h"
#include "host/tests/ProbeHandler.h"

namespace {

TEST(SpeedCode, CodesPassAndRatesMap) {
  const struct {
    unsigned int given;
    long code;
  } cases[] = {
      {B2400, B2400},   {B9600, B9600},   {B38400, B38400}, {B57600, B57600},
      {B115200, B115200}, {2400, B2400},  {9600, B9600},    {19200, B19200},
      {57600, B57600},  {115200, B115200}, {12345, -1},     {0x100F + 1, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(host::speedCode(c.given), c.code) << c.given;
}

TEST(GfString, CopiesAreDeepAndAllStorageReturnsToTheHeap) {
  CHeap* heap = CHeap::Instance();
  const long before = heap->liveBlocks();
  {
    GfString a("2 Hours"), empty, null(nullptr);
    EXPECT_STREQ(a.c_str(), "2 Hours");
    EXPECT_EQ(a.length(), 7u);
    EXPECT_STREQ(empty.c_str(), "");
    EXPECT_TRUE(null == "");
    GfString b(a);
    a = GfString("NEVER");
    EXPECT_TRUE(b == "2 Hours");
    EXPECT_TRUE(a == "NEVER");
    b = b;  // self-assignment keeps the text
    EXPECT_TRUE(b == "2 Hours");
    b = empty;
    EXPECT_EQ(b.length(), 0u);
  }
  EXPECT_EQ(heap->liveBlocks(), before);
  void* block = heap->New(0, CHeap::ZERO_FILL);
  EXPECT_NE(block, nullptr) << "even an empty block is a block";
  heap->Delete(block);
  heap->Delete(nullptr);
  EXPECT_EQ(heap->liveBlocks(), before);
}

TEST(GfString, TheTimeoutTableHoldsSixLabels) {
  const char* expected[] = {"NEVER", "2 Hours", "8 Hours", "1 Day", "2 Days", "5 Days"};
  ASSERT_EQ(sizeof kTimeoutLabels / sizeof kTimeoutLabels[0], 6u);
  for (int i = 0; i < 6; ++i) EXPECT_TRUE(kTimeoutLabels[i] == expected[i]) << i;
}

TEST(LocalInfo, AnswersWhatTheHostSet) {
  LocalInfo* info = LocalInfo::Instance();
  EXPECT_EQ(info, LocalInfo::Instance());
  EXPECT_EQ(info->getBaudRateBps(), 9600u);
  info->setBaudRateBps(115200);
  info->setResolution(800, 480);
  EXPECT_EQ(info->getBaudRateBps(), 115200u);
  EXPECT_EQ(info->getHorizontalResolution(), 800);
  EXPECT_EQ(info->getVerticalResolution(), 480);
  info->setBaudRateBps(9600);
  info->setResolution(1024, 768);
}

TEST(InputManager, ForwardingFlagAndNullHandlers) {
  InputManager* manager = PHALKeeper::Instance()->getInputManager();
  EXPECT_FALSE(manager->getForwardReports());
  manager->setForwardReports(true);
  EXPECT_TRUE(manager->getForwardReports());
  manager->setForwardReports(false);
  EXPECT_EQ(manager->stopTouch(nullptr), 0);
  EXPECT_EQ(manager->resumeTouch(nullptr), 0);
}

struct CountingEvent : Event {
  explicit CountingEvent(int* alive) : Event(Event::USB_REPORT), alive(alive) { ++*alive; }
  ~CountingEvent() override { --*alive; }
  int* alive;
};

struct KeepingSink : host::EventSink {
  void posted(InputHandler* from, std::unique_ptr<Event> event) override {
    lastFrom = from;
    kept = std::move(event);
  }
  InputHandler* lastFrom = nullptr;
  std::unique_ptr<Event> kept;
};

TEST(PostEvent, TheHostOwnsEveryPostedEvent) {
  int alive = 0;
  ProbeHandler h("/dev/null");
  h.postEvent(new CountingEvent(&alive));  // no sink: deleted at once
  EXPECT_EQ(alive, 0);
  h.postEvent(nullptr);

  KeepingSink sink;
  host::EventSink* previous = host::setEventSink(&sink);
  h.postEvent(new CountingEvent(&alive));
  host::setEventSink(previous);
  EXPECT_EQ(alive, 1);
  EXPECT_EQ(sink.lastFrom, &h);
  ASSERT_TRUE(sink.kept);
  EXPECT_EQ(sink.kept->getType(), 0x400000u);
  sink.kept.reset();
  EXPECT_EQ(alive, 0);
}

}  // namespace
