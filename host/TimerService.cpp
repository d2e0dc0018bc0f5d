#include "host/TimerService.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "contract/TimerInterface.h"

namespace host {

namespace {

long long monotonicMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

struct Timer {
  TimerInterface* target;
  int id;
  long long deadline;  // on the service's clock
  long period;         // > 0: repeating
  unsigned long long serial;  // start order, breaks deadline ties
};

}  // namespace

struct TimerService::Impl {
  mutable std::mutex lock;
  std::condition_variable changed;  // timers added or removed, a callback finished
  std::vector<Timer> timers;
  bool manual = false;
  long long manualNow = 0;
  bool threadStarted = false;
  std::thread::id worker;
  unsigned long long nextSerial = 0;

  // The callback running now, if any.
  TimerInterface* firingTarget = nullptr;
  std::thread::id firingThread;

  long long nowLocked() const { return manual ? manualNow : monotonicMs(); }

  // Index of the earliest timer, -1 when none.
  int earliestLocked() const {
    int best = -1;
    for (size_t i = 0; i < timers.size(); ++i) {
      const Timer& t = timers[i];
      if (best < 0 || t.deadline < timers[best].deadline ||
          (t.deadline == timers[best].deadline && t.serial < timers[best].serial)) {
        best = static_cast<int>(i);
      }
    }
    return best;
  }

  // Removes the due timer at `index` (or reschedules a repeating one), then runs its
  // callback with the lock released.
  void fireLocked(std::unique_lock<std::mutex>& hold, int index) {
    Timer t = timers[index];
    if (t.period > 0) {
      timers[index].deadline = t.deadline + t.period;
    } else {
      timers.erase(timers.begin() + index);
    }
    firingTarget = t.target;
    firingThread = std::this_thread::get_id();
    hold.unlock();
    t.target->timerDone(t.id);
    hold.lock();
    firingTarget = nullptr;
    changed.notify_all();
  }

  void run() {
    std::unique_lock<std::mutex> hold(lock);
    for (;;) {
      if (manual) {
        changed.wait(hold);
        continue;
      }
      const int i = earliestLocked();
      if (i < 0) {
        changed.wait(hold);
        continue;
      }
      const long long wait = timers[i].deadline - monotonicMs();
      if (wait > 0) {
        changed.wait_for(hold, std::chrono::milliseconds(wait));
        continue;  // the set may have changed meanwhile
      }
      fireLocked(hold, i);
    }
  }

  void ensureThreadLocked() {
    if (threadStarted) return;
    threadStarted = true;
    std::thread t([this] { run(); });
    worker = t.get_id();
    t.detach();  // lives as long as the process
  }

  void removeLocked(const TimerInterface* target, int id, bool allIds) {
    for (size_t i = 0; i < timers.size();) {
      if (timers[i].target == target && (allIds || timers[i].id == id)) {
        timers.erase(timers.begin() + i);
      } else {
        ++i;
      }
    }
  }
};

TimerService::TimerService() : m_impl(new Impl) {}

TimerService& TimerService::instance() {
  // Never destroyed: plug-ins and static objects may stop timers while the process exits.
  static TimerService* service = new TimerService;
  return *service;
}

bool TimerService::start(TimerInterface* target, int id, long ms, bool repeat) {
  if (!target) return false;
  std::lock_guard<std::mutex> hold(m_impl->lock);
  m_impl->removeLocked(target, id, false);
  const long delay = ms > 0 ? ms : 0;
  // A repeating timer needs a period of at least 1 ms, or it would never let time move.
  const long period = repeat ? (delay > 0 ? delay : 1) : 0;
  m_impl->timers.push_back(
      Timer{target, id, m_impl->nowLocked() + delay, period, m_impl->nextSerial++});
  if (!m_impl->manual) m_impl->ensureThreadLocked();
  m_impl->changed.notify_all();
  return true;
}

void TimerService::stop(TimerInterface* target, int id) {
  std::lock_guard<std::mutex> hold(m_impl->lock);
  m_impl->removeLocked(target, id, false);
  m_impl->changed.notify_all();
}

bool TimerService::isRunning(const TimerInterface* target, int id) const {
  std::lock_guard<std::mutex> hold(m_impl->lock);
  for (const Timer& t : m_impl->timers) {
    if (t.target == target && t.id == id) return true;
  }
  return false;
}

void TimerService::cancelAll(TimerInterface* target) {
  std::unique_lock<std::mutex> hold(m_impl->lock);
  m_impl->removeLocked(target, 0, true);
  m_impl->changed.notify_all();
  // A callback of this target on another thread must end before the object goes; one on
  // this thread is the caller itself (a handler deleted from its own timerDone).
  m_impl->changed.wait(hold, [&] {
    return m_impl->firingTarget != target ||
           m_impl->firingThread == std::this_thread::get_id();
  });
}

void TimerService::setManual(bool manual) {
  std::lock_guard<std::mutex> hold(m_impl->lock);
  if (manual == m_impl->manual) return;
  const long long before = m_impl->nowLocked();
  if (manual) m_impl->manualNow = 0;
  m_impl->manual = manual;
  const long long after = m_impl->nowLocked();
  for (Timer& t : m_impl->timers) t.deadline = t.deadline - before + after;
  if (!manual && !m_impl->timers.empty()) m_impl->ensureThreadLocked();
  m_impl->changed.notify_all();
}

bool TimerService::isManual() const {
  std::lock_guard<std::mutex> hold(m_impl->lock);
  return m_impl->manual;
}

void TimerService::advance(long ms) {
  std::unique_lock<std::mutex> hold(m_impl->lock);
  if (!m_impl->manual) return;
  const long long end = m_impl->manualNow + (ms > 0 ? ms : 0);
  for (;;) {
    const int i = m_impl->earliestLocked();
    if (i < 0 || m_impl->timers[i].deadline > end || !m_impl->manual) break;
    if (m_impl->timers[i].deadline > m_impl->manualNow) m_impl->manualNow = m_impl->timers[i].deadline;
    m_impl->fireLocked(hold, i);
  }
  if (m_impl->manual) m_impl->manualNow = end;
}

long long TimerService::now() const {
  std::lock_guard<std::mutex> hold(m_impl->lock);
  return m_impl->nowLocked();
}

size_t TimerService::pending() const {
  std::lock_guard<std::mutex> hold(m_impl->lock);
  return m_impl->timers.size();
}

}  // namespace host
