#include "contract/EventLogger.h"

#include <stdarg.h>
#include <stdio.h>

#include <mutex>

#include "util/Logger.h"

namespace {
// Serialises formatting and delivery, so a subscriber never sees two lines at once and
// can be swapped while other threads log.
std::mutex& eventLock() {
  static std::mutex lock;
  return lock;
}
}  // namespace

EventLogger::EventLogger() : m_subscriber(nullptr) {}

EventLogger* EventLogger::Instance() {
  static EventLogger instance;  // thread-safe first use; never destroyed before exit
  return &instance;
}

void EventLogger::subscribe(EventLoggerSubscriber* subscriber) {
  std::lock_guard<std::mutex> hold(eventLock());
  m_subscriber = subscriber;
}

void EventLogger::LogEvent(int category, const char* format, ...) {
  if (!format) return;
  char line[MAX_LINE];
  va_list args;
  va_start(args, format);
  vsnprintf(line, sizeof line, format, args);
  va_end(args);

  Logger::Instance()->DiagnosticString(category, 1, "%s", line);
  std::lock_guard<std::mutex> hold(eventLock());
  if (m_subscriber) m_subscriber->eventLine(category, line);
}
