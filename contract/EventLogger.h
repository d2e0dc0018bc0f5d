#ifndef CONTRACT_EVENTLOGGER_H
#define CONTRACT_EVENTLOGGER_H

// The host's event log: one line per noteworthy event of the panel (a USB device bound to
// a touch driver, ...), tagged with an event category. Lines go to the diagnostic Logger
// at level Info under the event's category, so they reach standard error and the
// Logger's entry store, and to the one subscriber, if any.

#include "contract/Visibility.h"

class TP_FRAMEWORK EventLoggerSubscriber {
 public:
  virtual ~EventLoggerSubscriber() {}
  // Called on the logging thread with the category and the formatted line (no newline);
  // it must not log events itself.
  virtual void eventLine(int category, const char* line) = 0;
};

class TP_FRAMEWORK EventLogger {
 public:
  enum {
    evUsbDevice = 0x1000,  // USB devices attached and bound to drivers
  };
  enum { MAX_LINE = 512 };  // longer lines are cut to MAX_LINE - 1 characters

  static EventLogger* Instance();

  void LogEvent(int category, const char* format, ...) __attribute__((format(printf, 3, 4)));

  // Installs the one subscriber (null removes it).
  void subscribe(EventLoggerSubscriber* subscriber);

 private:
  EventLogger();
  EventLogger(const EventLogger&) = delete;
  EventLogger& operator=(const EventLogger&) = delete;

  EventLoggerSubscriber* m_subscriber;
};

#endif
