#ifndef CONTRACT_DEVICEINFOPTR_H
#define CONTRACT_DEVICEINFOPTR_H

#include <boost/shared_ptr.hpp>

// The host's record of an attached USB device, shared between the host and the handler
// bound to it (InitTouchHandler). Its reference count is thread-safe.
class ZorlanRawUSBDevice;
typedef boost::shared_ptr<ZorlanRawUSBDevice> DeviceInfoPtr;

#endif
