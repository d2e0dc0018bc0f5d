#ifndef CONTRACT_TIMERINTERFACE_H
#define CONTRACT_TIMERINTERFACE_H

#include "contract/Visibility.h"

// Timers of a handler, run by the host's timer service. A handler starts a timer with an
// id of its choice; when it expires the service calls timerDone(id) on one of the host's
// threads (not the reader's). The object's own table holds the destructor and timerDone,
// in that order.
//
// Timers are per object: the same id on two handlers names two timers. Starting a timer
// that runs restarts it with the new duration. Destroying the object stops its timers and
// waits for a timerDone that is running on another thread.
class TP_FRAMEWORK TimerInterface {
 public:
  TimerInterface();
  virtual ~TimerInterface();

  // The timer `timer` expired. Does nothing unless overridden.
  virtual void timerDone(int timer);

  // Starts timer `id` for `duration` milliseconds (0 or less: as soon as possible). With
  // `repeat` the timer fires every `duration` ms until stopped; handlers pass false and
  // get one timerDone(id) per start. Returns true when the timer was started.
  bool timerStart(long duration, bool repeat, int id);
  // Stops timer `id`; nothing happens when it does not run.
  void timerStop(int id);
  // True while timer `id` is started and has not yet expired (a one-shot timer no longer
  // runs while its timerDone is being called).
  bool isTimerRunning(int id);

 private:
  TimerInterface(const TimerInterface&) = delete;
  TimerInterface& operator=(const TimerInterface&) = delete;
};

#endif
