#ifndef REGISTRY_TESTS_TABLEFIXTURE_H
#define REGISTRY_TESTS_TABLEFIXTURE_H

// The test program plays the host: it loads the table library with dlopen, creates a
// table through getSupportedTouchDrivers and watches what reaches standard error (the
// Logger's lines, debug lines included) and the EventLogger.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "contract/EventLogger.h"
#include "registry/ZorlanSupportedTouchDrivers.h"
#include "util/Logger.h"

namespace tabletest {

inline void* library() {
  static void* handle =
      dlopen(TP_BINARY_DIR "/lib/libsupported-touch-drivers.so", RTLD_NOW | RTLD_LOCAL);
  return handle;
}

template <typename Fn>
Fn entry(const char* name) {
  Fn fn = nullptr;
  void* p = library() ? dlsym(library(), name) : nullptr;
  __builtin_memcpy(&fn, &p, sizeof fn);
  return fn;
}

class EventLines : public EventLoggerSubscriber {
 public:
  void eventLine(int category, const char* line) override {
    lines.push_back(std::to_string(category) + " " + line);
  }
  std::vector<std::string> lines;
};

inline std::vector<unsigned char> hex(const char* text) {
  std::vector<unsigned char> bytes;
  for (const char* p = text; p[0] && p[1];) {
    if (*p == ' ') {
      ++p;
      continue;
    }
    bytes.push_back(static_cast<unsigned char>(std::stoi(std::string(p, 2), nullptr, 16)));
    p += 2;
  }
  return bytes;
}

class TableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(library(), nullptr) << dlerror();
    create = entry<GetSupportedTouchDriversFn>("getSupportedTouchDrivers");
    ASSERT_NE(create, nullptr);
    Logger::Instance()->setMask(0x4000000);  // level-0 lines of the input category too
    table.reset(create());
    ASSERT_NE(table, nullptr);
    EventLogger::Instance()->subscribe(&events);
  }
  void TearDown() override { EventLogger::Instance()->subscribe(nullptr); }

  // Runs fn and returns everything it wrote to standard error.
  template <typename Fn>
  std::string logOf(Fn fn) {
    events.lines.clear();
    ::testing::internal::CaptureStderr();
    fn();
    return ::testing::internal::GetCapturedStderr();
  }

  static bool has(const std::string& log, const std::string& text) {
    return log.find(text) != std::string::npos;
  }

  GetSupportedTouchDriversFn create = nullptr;
  std::unique_ptr<ZorlanSupportedTouchDrivers> table;
  EventLines events;
};

}  // namespace tabletest

#endif
