#pragma once
// Every touch handler logs under the "input" category. Formatting here keeps printf
// checking on every message of the handlers.
#include <cstdarg>
#include <cstdio>

#include "util/Logger.h"

namespace input_log {

constexpr int kInput = oidInput;

__attribute__((format(printf, 2, 3))) inline void write(int level, const char* format, ...) {
  char text[512];
  va_list ap;
  va_start(ap, format);
  vsnprintf(text, sizeof text, format, ap);
  va_end(ap);
  Logger::Instance()->DiagnosticString(kInput, level, "%s", text);
}

}  // namespace input_log
