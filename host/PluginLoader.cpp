#include "host/PluginLoader.h"

#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include "contract/CalibratedTouchHandler.h"
#include "contract/ZorlanTouchHandler.h"
#include "host/TimerService.h"

namespace host {

namespace {

void setError(std::string* error, const std::string& text) {
  if (error) *error = text;
}

}  // namespace

void HandlerDeleter::operator()(CalibratedTouchHandler* handler) const {
  // The handler's own members go before the framework's destructor could stop its timers:
  // stop them (and wait for a timerDone running elsewhere) while the object is whole.
  if (handler) TimerService::instance().cancelAll(handler);
  delete handler;
}

std::shared_ptr<Plugin> Plugin::load(const std::string& name, const std::string& dir,
                                     std::string* error) {
  if (name.empty()) {
    setError(error, "cannot load plug-in: no name given");
    return nullptr;
  }
  const std::string path =
      name.find('/') != std::string::npos ? name : (dir.empty() ? "." : dir) + "/" + name + ".so";
  dlerror();
  // Symbols resolved at once: a plug-in that needs something the host lacks fails here,
  // with the linker's reason, not later in the middle of a touch.
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    const char* why = dlerror();
    setError(error, "cannot load plug-in " + name + ": " + (why ? why : "unknown error"));
    return nullptr;
  }
  std::shared_ptr<Plugin> plugin(new Plugin);
  plugin->m_name = name;
  plugin->m_path = path;
  plugin->m_library = library;
  plugin->m_serial =
      reinterpret_cast<ZorlanTouchHandler* (*)(const char*)>(dlsym(library, "CreateTouchHandler"));
  plugin->m_usb = reinterpret_cast<CalibratedTouchHandler* (*)(const char*)>(
      dlsym(library, "CreateUSBTouchHandler"));
  if (!plugin->m_serial && !plugin->m_usb) {
    setError(error, "plug-in " + name + " (" + path +
                        ") exports neither CreateTouchHandler nor CreateUSBTouchHandler");
    return nullptr;  // ~Plugin unloads it
  }
  return plugin;
}

Plugin::~Plugin() {
  if (m_library) dlclose(m_library);
}

SerialHandlerPtr Plugin::createTouchHandler(const char* device, std::string* error) const {
  return create<SerialHandlerPtr>(m_serial, "serial", "CreateTouchHandler", device, error);
}

UsbHandlerPtr Plugin::createUSBTouchHandler(const char* name, std::string* error) const {
  return create<UsbHandlerPtr>(m_usb, "USB", "CreateUSBTouchHandler", name, error);
}

template <class Ptr, class Factory>
Ptr Plugin::create(Factory factory, const char* kind, const char* factoryName, const char* arg,
                   std::string* error) const {
  if (!factory) {
    setError(error, "plug-in " + m_name + " is not a " + kind + " plug-in (no " + factoryName + ")");
    return Ptr(nullptr, HandlerDeleter());
  }
  auto* handler = factory(arg ? arg : "");
  if (!handler) setError(error, "plug-in " + m_name + ": " + factoryName + " returned no handler");
  return Ptr(handler, HandlerDeleter{shared_from_this()});
}

std::string defaultPluginDir() {
  const char* env = getenv("TP_PLUGIN_DIR");
  if (env && *env) return env;
  char exe[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n <= 0) return "lib/touchpanel/plugins";
  exe[n] = '\0';
  std::string dir(exe);
  const size_t slash = dir.rfind('/');
  dir = slash == std::string::npos ? "." : dir.substr(0, slash);
  return dir + "/../lib/touchpanel/plugins";
}

}  // namespace host
