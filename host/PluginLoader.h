#ifndef HOST_PLUGINLOADER_H
#define HOST_PLUGINLOADER_H

// Loads touch plug-ins the way the panel's host does: PLUGIN.so from a folder, its factory
// looked up by name.
//
//   std::string error;
//   auto plugin = host::Plugin::load("EloTouchHandler", host::defaultPluginDir(), &error);
//   if (!plugin) { fprintf(stderr, "%s\n", error.c_str()); return 1; }
//   host::SerialHandlerPtr h = plugin->createTouchHandler("/dev/ttyS0", &error);
//   ...
//   h.reset();        // deletes the handler through its virtual destructor
//   plugin.reset();   // unloads, once no handler of it is left
//
// Each handler keeps its plug-in loaded for as long as it lives, so the order of the two
// resets does not matter.

#include <memory>
#include <string>

class CalibratedTouchHandler;
class ZorlanTouchHandler;

namespace host {

class Plugin;

// Deletes a handler the safe way: its timers are stopped, and a timerDone running on the
// timer thread has finished, before any part of the object is destroyed. Use it for every
// handler that may run timers (a plain delete stops them only once the handler's own
// members are gone).
struct HandlerDeleter {
  std::shared_ptr<const Plugin> plugin;
  void operator()(CalibratedTouchHandler* handler) const;
};
typedef std::unique_ptr<ZorlanTouchHandler, HandlerDeleter> SerialHandlerPtr;
typedef std::unique_ptr<CalibratedTouchHandler, HandlerDeleter> UsbHandlerPtr;

class Plugin : public std::enable_shared_from_this<Plugin> {
 public:
  // `name` is a plug-in name ("EloTouchHandler": DIR/EloTouchHandler.so) or, when it
  // holds a '/', a path to the library. Returns null with one line of text in *error
  // when the library cannot be loaded or has neither factory.
  static std::shared_ptr<Plugin> load(const std::string& name, const std::string& dir,
                                      std::string* error);
  ~Plugin();

  const std::string& name() const { return m_name; }
  const std::string& path() const { return m_path; }
  bool isSerial() const { return m_serial != nullptr; }
  bool isUsb() const { return m_usb != nullptr; }

  // A new handler from the plug-in's factory; null with *error for a plug-in of the other
  // kind or a factory that returned null.
  SerialHandlerPtr createTouchHandler(const char* device, std::string* error) const;
  UsbHandlerPtr createUSBTouchHandler(const char* name, std::string* error) const;

 private:
  Plugin() = default;
  template <class Ptr, class Factory>
  Ptr create(Factory factory, const char* kind, const char* factoryName, const char* arg,
             std::string* error) const;
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;

  std::string m_name;
  std::string m_path;
  void* m_library = nullptr;
  ZorlanTouchHandler* (*m_serial)(const char*) = nullptr;
  CalibratedTouchHandler* (*m_usb)(const char*) = nullptr;
};

// The folder plug-ins are installed in next to the running program: $TP_PLUGIN_DIR when
// set, else <program dir>/../lib/touchpanel/plugins.
std::string defaultPluginDir();

}  // namespace host

#endif
