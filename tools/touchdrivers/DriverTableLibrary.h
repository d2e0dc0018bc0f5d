#ifndef TOOLS_TOUCHDRIVERS_DRIVERTABLELIBRARY_H
#define TOOLS_TOUCHDRIVERS_DRIVERTABLELIBRARY_H

// Loads the supported touch-driver table the way the host does: dlopen, then the
// library's getSupportedTouchDrivers entry point.

#include <string>

#include "registry/ZorlanSupportedTouchDrivers.h"

class DriverTableLibrary {
 public:
  // path: the library file; empty picks TP_TOUCH_DRIVERS_LIB from the environment, else
  // ../lib/libsupported-touch-drivers.so next to this program, else the loader's search.
  explicit DriverTableLibrary(const std::string& path);
  ~DriverTableLibrary();

  bool ok() const { return m_handle && m_create; }
  const std::string& error() const { return m_error; }
  const std::string& path() const { return m_path; }

  // A new table object, owned by the caller; null when the library gave none.
  ZorlanSupportedTouchDrivers* create() const;
  const char* version() const;
  // The library's rows (numDevices() of them), or null when it does not export them.
  const SupportedTouchDevice* rows() const;

 private:
  DriverTableLibrary(const DriverTableLibrary&) = delete;
  DriverTableLibrary& operator=(const DriverTableLibrary&) = delete;

  std::string m_path;
  std::string m_error;
  void* m_handle;
  GetSupportedTouchDriversFn m_create;
  GetSupportedTouchDriversVersionFn m_version;
};

#endif
