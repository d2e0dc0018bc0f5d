#ifndef HOST_TOUCHSINK_H
#define HOST_TOUCHSINK_H

// Where the host sends what handlers report. touchhost and tests install a sink; without
// one, touches are dropped and posted events deleted.
//
//   struct Printer : host::TouchSink {
//     void touch(const host::TouchReport& t) override {
//       printf("%s %d %d\n", t.down ? "down" : "up", t.raw.x, t.raw.y);
//     }
//   } printer;
//   host::setTouchSink(&printer);     // ... host::setTouchSink(nullptr) before it dies
//
// Sinks are called on the thread that reported (a reader or a timer thread), one call at
// a time: delivery is serialised, so a sink needs no lock of its own for its state.

#include <memory>

#include "contract/GfPoint.h"

class CalibratedTouchHandler;
class Event;
class InputHandler;

namespace host {

struct TouchReport {
  const CalibratedTouchHandler* handler;  // who reported it
  bool down;                              // touch (true) or release (false)
  GfPoint raw;                            // controller units, before calibration
  GfPoint screen;                         // after calibration
};

class TouchSink {
 public:
  virtual ~TouchSink();
  virtual void touch(const TouchReport& report) = 0;
};

// Receives the events handlers post; the sink owns each one.
class EventSink {
 public:
  virtual ~EventSink();
  virtual void posted(InputHandler* from, std::unique_ptr<Event> event) = 0;
};

// Installs the process-wide sink (null removes it); returns the previous one. When this
// returns, no call of the previous sink is still running.
TouchSink* setTouchSink(TouchSink* sink);
EventSink* setEventSink(EventSink* sink);

// Called by the framework: delivers one report / event to the installed sink.
void deliverTouch(const TouchReport& report);
void deliverEvent(InputHandler* from, Event* event);

}  // namespace host

#endif
