#ifndef HOST_RECORDINGTOUCHSINK_H
#define HOST_RECORDINGTOUCHSINK_H

// A sink that keeps every touch, for tests:
//
//   host::RecordingTouchSink sink;           // installs itself, removes itself at the end
//   ... feed the controller ...
//   ASSERT_TRUE(sink.waitFor(1, 2000));      // at most 2 s for the first report
//   EXPECT_EQ(sink.reports()[0].raw, GfPoint(0x1234, 0x5678));

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "host/TouchSink.h"

namespace host {

class RecordingTouchSink : public TouchSink {
 public:
  RecordingTouchSink() { m_previous = setTouchSink(this); }
  ~RecordingTouchSink() override { setTouchSink(m_previous); }

  void touch(const TouchReport& report) override {
    std::lock_guard<std::mutex> hold(m_lock);
    m_reports.push_back(report);
    m_changed.notify_all();
  }

  // True once at least `count` reports came, waiting at most `ms` milliseconds.
  bool waitFor(size_t count, long ms) {
    std::unique_lock<std::mutex> hold(m_lock);
    return m_changed.wait_for(hold, std::chrono::milliseconds(ms),
                              [&] { return m_reports.size() >= count; });
  }

  std::vector<TouchReport> reports() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_reports;
  }

  size_t count() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_reports.size();
  }

  void clear() {
    std::lock_guard<std::mutex> hold(m_lock);
    m_reports.clear();
  }

 private:
  RecordingTouchSink(const RecordingTouchSink&) = delete;
  RecordingTouchSink& operator=(const RecordingTouchSink&) = delete;

  TouchSink* m_previous;
  mutable std::mutex m_lock;
  std::condition_variable m_changed;
  std::vector<TouchReport> m_reports;
};

}  // namespace host

#endif
