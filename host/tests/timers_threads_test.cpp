// The timer service: manual time for exact deadlines, real time on the service thread for
// delivery and for the guarantee that a destroyed handler gets no late timerDone.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "host/PluginLoader.h"
#include "host/TimerService.h"
#include "host/tests/ProbeHandler.h"

namespace {

class ManualTimers : public ::testing::Test {
 protected:
  void SetUp() override { timers.setManual(true); }
  void TearDown() override { timers.setManual(false); }
  host::TimerService& timers = host::TimerService::instance();
};

TEST_F(ManualTimers, OneShotFiresOnceAtItsDeadline) {
  ProbeHandler h("/dev/null");
  ASSERT_TRUE(h.timerStart(500, false, 7));
  EXPECT_TRUE(h.isTimerRunning(7));
  timers.advance(499);
  EXPECT_TRUE(h.fired.empty());
  timers.advance(1);
  EXPECT_EQ(h.fired, std::vector<int>{7});
  EXPECT_FALSE(h.isTimerRunning(7));
  timers.advance(10000);
  EXPECT_EQ(h.fired.size(), 1u);
}

TEST_F(ManualTimers, StopRestartAndRepeat) {
  ProbeHandler h("/dev/null");
  h.timerStart(100, false, 1);
  h.timerStop(1);
  h.timerStop(99);  // not running: nothing happens
  timers.advance(200);
  EXPECT_TRUE(h.fired.empty());

  h.timerStart(100, false, 2);
  timers.advance(60);
  h.timerStart(100, false, 2);  // restarts with the full duration
  timers.advance(60);
  EXPECT_TRUE(h.fired.empty());
  timers.advance(40);
  EXPECT_EQ(h.fired, std::vector<int>{2});

  h.fired.clear();
  h.timerStart(300, true, 3);
  timers.advance(1000);
  EXPECT_EQ(h.fired, (std::vector<int>{3, 3, 3}));
  EXPECT_TRUE(h.isTimerRunning(3));
  h.timerStop(3);
  EXPECT_FALSE(h.isTimerRunning(3));
}

TEST_F(ManualTimers, TimersFireInDeadlineOrderAndAreKeptPerHandler) {
  ProbeHandler a("/dev/null"), b("/dev/null");
  a.timerStart(30, false, 5);
  b.timerStart(10, false, 5);  // same id, other handler: its own timer
  a.timerStart(20, false, 6);
  timers.advance(15);
  EXPECT_TRUE(a.fired.empty());
  EXPECT_EQ(b.fired, std::vector<int>{5});
  timers.advance(15);
  EXPECT_EQ(a.fired, (std::vector<int>{6, 5}));
  EXPECT_EQ(timers.pending(), 0u);
}

TEST_F(ManualTimers, DestroyingAHandlerDropsItsTimers) {
  const size_t before = timers.pending();
  {
    ProbeHandler h("/dev/null");
    h.timerStart(10, false, 1);
    h.timerStart(20, true, 2);
    EXPECT_EQ(timers.pending(), before + 2);
  }
  EXPECT_EQ(timers.pending(), before);
  timers.advance(100);  // nothing left to call into
}

// --- real time ---

class SignallingHandler : public ProbeHandler {
 public:
  using ProbeHandler::ProbeHandler;
  void timerDone(int timer) override {
    std::unique_lock<std::mutex> hold(lock);
    firedOn = std::this_thread::get_id();
    ++count;
    lastTimer = timer;
    changed.notify_all();
    if (holdMs > 0) {
      // Stay inside timerDone for a while; only the test's flag is touched afterwards,
      // since the handler's own members may be gone by then.
      const int ms = holdMs;
      std::atomic<bool>* done = finished;
      entered = true;
      changed.notify_all();
      hold.unlock();
      std::this_thread::sleep_for(std::chrono::milliseconds(ms));
      done->store(true);
    }
  }
  bool waitCount(int n, long ms) {
    std::unique_lock<std::mutex> hold(lock);
    return changed.wait_for(hold, std::chrono::milliseconds(ms), [&] { return count >= n; });
  }
  bool waitEntered(long ms) {
    std::unique_lock<std::mutex> hold(lock);
    return changed.wait_for(hold, std::chrono::milliseconds(ms), [&] { return entered; });
  }

  std::mutex lock;
  std::condition_variable changed;
  std::thread::id firedOn;
  int count = 0;
  int lastTimer = -1;
  int holdMs = 0;
  bool entered = false;
  std::atomic<bool>* finished = nullptr;
};

TEST(RealTimers, FireOnTheServiceThread) {
  SignallingHandler h("/dev/null");
  ASSERT_TRUE(h.timerStart(20, false, 686));
  ASSERT_TRUE(h.waitCount(1, 5000));
  std::lock_guard<std::mutex> hold(h.lock);
  EXPECT_EQ(h.lastTimer, 686);
  EXPECT_NE(h.firedOn, std::this_thread::get_id());
}

TEST(RealTimers, DestructionWaitsForARunningTimerDone) {
  std::atomic<bool> finished{false};
  auto* h = new SignallingHandler("/dev/null");
  h->holdMs = 100;
  h->finished = &finished;
  ASSERT_TRUE(h->timerStart(1, false, 1));
  ASSERT_TRUE(h->waitEntered(5000));
  host::HandlerDeleter()(h);
  EXPECT_TRUE(finished.load()) << "delete returned while timerDone still ran";
}

TEST(RealTimers, AStoppedOrDestroyedTimerNeverFires) {
  std::atomic<bool> unused{false};
  SignallingHandler keeper("/dev/null");
  for (int i = 0; i < 20; ++i) {
    auto* h = new SignallingHandler("/dev/null");
    h->finished = &unused;
    h->timerStart(i % 3, false, i);  // due now or within 2 ms
    host::HandlerDeleter()(h);       // must win against the service thread or wait for it
  }
  keeper.timerStart(30, false, 1);
  keeper.timerStop(1);
  keeper.timerStart(40, false, 2);
  ASSERT_TRUE(keeper.waitCount(1, 5000));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  std::lock_guard<std::mutex> hold(keeper.lock);
  EXPECT_EQ(keeper.count, 1);
  EXPECT_EQ(keeper.lastTimer, 2);
}

TEST(RealTimers, ModeSwitchKeepsTheTimeLeft) {
  host::TimerService& timers = host::TimerService::instance();
  SignallingHandler h("/dev/null");
  timers.setManual(true);
  h.timerStart(50, false, 4);
  timers.advance(40);
  timers.setManual(false);  // 10 ms left, now on real time
  EXPECT_TRUE(h.waitCount(1, 5000));
}

}  // namespace
