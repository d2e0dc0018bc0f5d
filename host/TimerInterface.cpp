#include "contract/TimerInterface.h"

#include "host/TimerService.h"

TimerInterface::TimerInterface() {}

TimerInterface::~TimerInterface() {
  host::TimerService::instance().cancelAll(this);
}

void TimerInterface::timerDone(int) {}

bool TimerInterface::timerStart(long duration, bool repeat, int id) {
  return host::TimerService::instance().start(this, id, duration, repeat);
}

void TimerInterface::timerStop(int id) {
  host::TimerService::instance().stop(this, id);
}

bool TimerInterface::isTimerRunning(int id) {
  return host::TimerService::instance().isRunning(this, id);
}
