#include "tools/touchdrivers/DriverTableLibrary.h"

#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

namespace {
const char kLibraryFile[] = "libsupported-touch-drivers.so";

// <folder of this program>/../lib/<library>, or the bare name for the loader's search.
std::string defaultPath() {
  char self[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return kLibraryFile;
  std::string exe(self, static_cast<size_t>(n));
  const size_t slash = exe.rfind('/');
  if (slash == std::string::npos) return kLibraryFile;
  return exe.substr(0, slash) + "/../lib/" + kLibraryFile;
}

// dlsym answers void*; the entry points are functions.
template <typename Fn>
Fn symbol(void* handle, const char* name) {
  Fn fn = nullptr;
  void* p = dlsym(handle, name);
  static_assert(sizeof fn == sizeof p, "function and data pointers differ in size");
  __builtin_memcpy(&fn, &p, sizeof fn);
  return fn;
}
}  // namespace

DriverTableLibrary::DriverTableLibrary(const std::string& path)
    : m_path(path), m_handle(nullptr), m_create(nullptr), m_version(nullptr) {
  if (m_path.empty()) {
    const char* env = getenv("TP_TOUCH_DRIVERS_LIB");
    m_path = env && *env ? env : defaultPath();
  }
  m_handle = dlopen(m_path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!m_handle) {
    const char* why = dlerror();
    m_error = why ? why : "cannot load " + m_path;
    return;
  }
  m_create = symbol<GetSupportedTouchDriversFn>(m_handle, "getSupportedTouchDrivers");
  m_version = symbol<GetSupportedTouchDriversVersionFn>(m_handle, "getSupportedTouchDriversVersion");
  if (!m_create) m_error = m_path + ": no getSupportedTouchDrivers";
}

DriverTableLibrary::~DriverTableLibrary() {
  if (m_handle) dlclose(m_handle);
}

ZorlanSupportedTouchDrivers* DriverTableLibrary::create() const {
  return m_create ? m_create() : nullptr;
}

const char* DriverTableLibrary::version() const { return m_version ? m_version() : nullptr; }

const SupportedTouchDevice* DriverTableLibrary::rows() const {
  return m_handle ? static_cast<const SupportedTouchDevice*>(
                        dlsym(m_handle, TP_SUPPORTED_DEVICES_SYMBOL))
                  : nullptr;
}
