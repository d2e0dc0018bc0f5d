#include "host/TouchSink.h"

#include <mutex>

#include "contract/Event.h"

namespace host {

namespace {

// One lock for installing and calling: delivery is serialised, and once setTouchSink
// returns the previous sink is no longer in use. Recursive, so a sink may swap sinks.
std::recursive_mutex& sinkLock() {
  static std::recursive_mutex lock;
  return lock;
}

TouchSink* g_touchSink = nullptr;
EventSink* g_eventSink = nullptr;

}  // namespace

TouchSink::~TouchSink() {}
EventSink::~EventSink() {}

TouchSink* setTouchSink(TouchSink* sink) {
  std::lock_guard<std::recursive_mutex> hold(sinkLock());
  TouchSink* previous = g_touchSink;
  g_touchSink = sink;
  return previous;
}

EventSink* setEventSink(EventSink* sink) {
  std::lock_guard<std::recursive_mutex> hold(sinkLock());
  EventSink* previous = g_eventSink;
  g_eventSink = sink;
  return previous;
}

void deliverTouch(const TouchReport& report) {
  std::lock_guard<std::recursive_mutex> hold(sinkLock());
  if (g_touchSink) g_touchSink->touch(report);
}

void deliverEvent(InputHandler* from, Event* event) {
  std::unique_ptr<Event> owned(event);  // the host owns posted events, kept or not
  if (!owned) return;
  std::lock_guard<std::recursive_mutex> hold(sinkLock());
  if (g_eventSink) g_eventSink->posted(from, std::move(owned));
}

}  // namespace host
