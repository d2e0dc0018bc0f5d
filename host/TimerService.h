#ifndef HOST_TIMERSERVICE_H
#define HOST_TIMERSERVICE_H

// The host's timer service behind TimerInterface. Normally timers run on real time and
// fire on a service thread of their own. Tests switch it to manual time and drive it:
//
//   host::TimerService& timers = host::TimerService::instance();
//   timers.setManual(true);
//   handler->timerStart(500, false, 7);
//   timers.advance(499);   // nothing yet
//   timers.advance(1);     // timerDone(7) runs here, on the calling thread
//   timers.setManual(false);
//
// Switching the mode keeps the timers that run, with the time they have left.

#include <stddef.h>

class TimerInterface;

namespace host {

class TimerService {
 public:
  static TimerService& instance();

  bool start(TimerInterface* target, int id, long ms, bool repeat);
  void stop(TimerInterface* target, int id);
  bool isRunning(const TimerInterface* target, int id) const;
  // Stops every timer of `target` and waits for its timerDone running on another thread.
  void cancelAll(TimerInterface* target);

  void setManual(bool manual);
  bool isManual() const;
  // Manual time only: moves the clock `ms` milliseconds on, firing every timer that falls
  // due, in deadline order, on the calling thread.
  void advance(long ms);
  // Milliseconds on the service's clock (manual or monotonic).
  long long now() const;
  // Timers running, of all targets.
  size_t pending() const;

 private:
  TimerService();
  struct Impl;
  Impl* m_impl;
};

}  // namespace host

#endif
