#ifndef REGISTRY_ZORLANSUPPORTEDTOUCHDRIVERS_H
#define REGISTRY_ZORLANSUPPORTEDTOUCHDRIVERS_H

// The table of supported USB touch controllers. The host loads this library when a USB
// device is attached, creates a table object with getSupportedTouchDrivers(), classifies
// each interface with checkQuirks() and asks for the driver (plug-in name) of each touch
// controller by vendor id, product id and, when it has them, the device descriptor and
// the interface (or configuration) descriptor bytes. The first matching row wins; the
// last row is the default driver.
//
// The host reaches the object only through its virtual operations, whose order is the
// vtable layout it was built against.

#include <stdint.h>

#include <boost/shared_ptr.hpp>

#include "contract/PHUB_DEVICEPORT.h"

class ZorlanRawUSBDevice;

#define TP_REGISTRY_EXPORT __attribute__((visibility("default")))

struct SupportedTouchDevice {
  uint32_t vendorId;
  uint32_t productId;
  int32_t touchEnabled;  // 1 = enabled
  int32_t reportSize;    // bytes per input report
  unsigned char deviceDescriptor[PHUB_DEVICE_DESC_SIZE];  // as on the bus
  unsigned char ifSpec[PHUB_INTERFACE_DESC_SIZE];  // first 9 bytes of the interface or configuration descriptor
  const char* driver;       // plug-in name
  const char* description;
};

class ZorlanSupportedTouchDrivers {
 public:
  enum { NUM_DEVICES = 34 };

  ZorlanSupportedTouchDrivers();
  virtual ~ZorlanSupportedTouchDrivers();

  virtual bool isTouchEnabled(int row);
  virtual bool isTouchEnabled(unsigned short vendor, unsigned short product,
                              const unsigned char* dd, const unsigned char* ifs);
  virtual int getReportSize(int row);
  virtual int getReportSize(unsigned short vendor, unsigned short product,
                            const unsigned char* dd, const unsigned char* ifs);
  virtual const char* getDesc(int row);
  virtual const char* getDesc(unsigned short vendor, unsigned short product,
                              const unsigned char* dd, const unsigned char* ifs);
  virtual const char* getDriver(int row);
  virtual const char* getDriver(unsigned short vendor, unsigned short product,
                                const unsigned char* dd, const unsigned char* ifs);
  virtual const char* getDefaultDriver();
  // Row index of the device, or -1. dd: 18 bytes, ifs: 9 bytes; either may be null.
  virtual int findDevice(unsigned short vendor, unsigned short product,
                         const unsigned char* dd, const unsigned char* ifs);
  // Classifies one interface of an attached device into the port record.
  virtual bool checkQuirks(boost::shared_ptr<__PHUB_DEVICEPORT__> port, __INTERFACE__* pif);
  virtual void setParent(ZorlanRawUSBDevice* parent);
  virtual ZorlanRawUSBDevice* getParent();

  int numDevices() const { return m_numDevices; }

  // The rows, shared by every table object. Writable: the report size of a row is learnt
  // from the device for some controllers.
  TP_REGISTRY_EXPORT static SupportedTouchDevice m_supportedDevices[NUM_DEVICES];

 private:
  ZorlanSupportedTouchDrivers(const ZorlanSupportedTouchDrivers&) = delete;
  ZorlanSupportedTouchDrivers& operator=(const ZorlanSupportedTouchDrivers&) = delete;

  const SupportedTouchDevice& defaultRow() const;
  const SupportedTouchDevice* rowAt(int row) const;
  const SupportedTouchDevice* rowFor(unsigned short vendor, unsigned short product,
                                     const unsigned char* dd, const unsigned char* ifs,
                                     const char* notFoundFormat);

  int m_numDevices;
  ZorlanRawUSBDevice* m_parent;
};

// The library's entry points, looked up by the host with dlsym.
extern "C" {
// A new table object (34 rows, no parent); the caller deletes it.
TP_REGISTRY_EXPORT ZorlanSupportedTouchDrivers* getSupportedTouchDrivers();
TP_REGISTRY_EXPORT const char* getSupportedTouchDriversVersion();

typedef ZorlanSupportedTouchDrivers* (*GetSupportedTouchDriversFn)();
typedef const char* (*GetSupportedTouchDriversVersionFn)();
}

// Mangled name of the row array, for hosts that list the rows after dlopen.
#define TP_SUPPORTED_DEVICES_SYMBOL "_ZN27ZorlanSupportedTouchDrivers18m_supportedDevicesE"

#endif
