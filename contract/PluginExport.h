#ifndef CONTRACT_PLUGINEXPORT_H
#define CONTRACT_PLUGINEXPORT_H

// The one entry point of a touch plug-in, exported under its plain name. The host loads
// the plug-in, looks the factory up by that name and owns the returned handler, which it
// deletes through the virtual destructor.
//
// Serial plug-in, in its one source file:
//   TP_EXPORT_TOUCH_HANDLER(EloTouchHandler)
// USB plug-in (its factory logs a creation line first):
//   TP_USB_TOUCH_HANDLER_FACTORY {
//     Logger::Instance()->DiagnosticString(oidInput, 0, "[%s] Creating ...", kTag);
//     return new MyUsbHandler(name);
//   }
// Nothing may throw across the boundary: the macros turn an exception (memory exhausted)
// into a null handler, which the host reports.

class CalibratedTouchHandler;
class ZorlanTouchHandler;

#define TP_PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))

typedef ZorlanTouchHandler* (*CreateTouchHandlerFn)(const char* device);
typedef CalibratedTouchHandler* (*CreateUSBTouchHandlerFn)(const char* name);

#define TP_EXPORT_TOUCH_HANDLER(Class)                                 \
  TP_PLUGIN_EXPORT ZorlanTouchHandler* CreateTouchHandler(const char* device) { \
    try {                                                              \
      return new Class(device);                                        \
    } catch (...) {                                                    \
      return nullptr;                                                  \
    }                                                                  \
  }

// Opens the definition of the USB factory; the body follows in braces and must not throw.
#define TP_USB_TOUCH_HANDLER_FACTORY \
  TP_PLUGIN_EXPORT CalibratedTouchHandler* CreateUSBTouchHandler(const char* name)

#endif
