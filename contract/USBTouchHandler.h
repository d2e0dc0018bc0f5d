#ifndef CONTRACT_USBTOUCHHANDLER_H
#define CONTRACT_USBTOUCHHANDLER_H

// Everything a USB touch plug-in builds on: the serial contract, the USB handler base,
// the request blocks and the raw device it is bound to.
//
//   class MyUsbHandler : public ZorlanUSBTouchHandler { ... };
//   TP_USB_TOUCH_HANDLER_FACTORY { ...; return new MyUsbHandler(name); }

#include "contract/DeviceInfoPtr.h"
#include "contract/LECB.h"
#include "contract/TouchHandler.h"
#include "contract/USBControlBlock.h"
#include "contract/ZorlanRawUSBDevice.h"
#include "contract/ZorlanUSBTouchHandler.h"

#endif
