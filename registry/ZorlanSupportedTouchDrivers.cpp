#include "registry/ZorlanSupportedTouchDrivers.h"

#include <stdio.h>
#include <string.h>

#include <new>

#include "contract/EventLogger.h"
#include "registry/RegistryLog.h"
#include "util/Logger.h"

namespace {
// "%02x/%02x " per byte: the caller's byte, then the row's.
const size_t kCompareItem = 6;

void describeDescriptorCompare(const unsigned char* given, const unsigned char* row,
                               char (&text)[PHUB_DEVICE_DESC_SIZE * kCompareItem + 1]) {
  for (int i = 0; i < PHUB_DEVICE_DESC_SIZE; ++i)
    snprintf(text + i * kCompareItem, kCompareItem + 1, "%02x/%02x ", given[i], row[i]);
}

bool matches(const unsigned char* given, const unsigned char* row, size_t size) {
  return !given || memcmp(given, row, size) == 0;
}

// The match message names what the caller gave.
const char* matchMessage(const unsigned char* dd, const unsigned char* ifs) {
  if (dd && ifs) return "Exact device VID(0x%04X)/PID(0x%04X) found";
  if (dd) return "Specific device VID(0x%04X)/PID(0x%04X) found with DD";
  return "Specific device VID(0x%04X)/PID(0x%04X) found with IF";
}
}  // namespace

ZorlanSupportedTouchDrivers::ZorlanSupportedTouchDrivers()
    : m_numDevices(NUM_DEVICES), m_parent(nullptr) {}

ZorlanSupportedTouchDrivers::~ZorlanSupportedTouchDrivers() {}

const SupportedTouchDevice& ZorlanSupportedTouchDrivers::defaultRow() const {
  return m_supportedDevices[NUM_DEVICES - 1];
}

const SupportedTouchDevice* ZorlanSupportedTouchDrivers::rowAt(int row) const {
  if (row < 0 || row >= m_numDevices) {
    Logger::Instance()->DiagnosticString(kRegistryLog, 3, "Device %d out of range %d", row,
                                         m_numDevices);
    return nullptr;
  }
  return &m_supportedDevices[row];
}

const SupportedTouchDevice* ZorlanSupportedTouchDrivers::rowFor(unsigned short vendor,
                                                                unsigned short product,
                                                                const unsigned char* dd,
                                                                const unsigned char* ifs,
                                                                const char* notFoundFormat) {
  const int row = findDevice(vendor, product, dd, ifs);
  if (row >= 0 && row < m_numDevices) return &m_supportedDevices[row];
  Logger::Instance()->DiagnosticString(kRegistryLog, 3, notFoundFormat, vendor, product);
  return nullptr;
}

bool ZorlanSupportedTouchDrivers::isTouchEnabled(int row) {
  const SupportedTouchDevice* r = rowAt(row);
  return r && r->touchEnabled == 1;
}

bool ZorlanSupportedTouchDrivers::isTouchEnabled(unsigned short vendor, unsigned short product,
                                                 const unsigned char* dd,
                                                 const unsigned char* ifs) {
  const SupportedTouchDevice* r =
      rowFor(vendor, product, dd, ifs, "Device not found for VID(0x%04X)/PID(0x%04X)");
  return r && r->touchEnabled == 1;
}

int ZorlanSupportedTouchDrivers::getReportSize(int row) {
  const SupportedTouchDevice* r = rowAt(row);
  return (r ? *r : defaultRow()).reportSize;
}

int ZorlanSupportedTouchDrivers::getReportSize(unsigned short vendor, unsigned short product,
                                               const unsigned char* dd,
                                               const unsigned char* ifs) {
  const SupportedTouchDevice* r =
      rowFor(vendor, product, dd, ifs, "Device not found for VID(0x%04X)/PID(0x%04X)");
  return (r ? *r : defaultRow()).reportSize;
}

const char* ZorlanSupportedTouchDrivers::getDesc(int row) {
  const SupportedTouchDevice* r = rowAt(row);
  return (r ? *r : defaultRow()).description;
}

const char* ZorlanSupportedTouchDrivers::getDesc(unsigned short vendor, unsigned short product,
                                                 const unsigned char* dd,
                                                 const unsigned char* ifs) {
  const SupportedTouchDevice* r =
      rowFor(vendor, product, dd, ifs, "Device not found for VID(0x%04X)/PID(0x%04X)");
  return (r ? *r : defaultRow()).description;
}

const char* ZorlanSupportedTouchDrivers::getDriver(int row) {
  const SupportedTouchDevice* r = rowAt(row);
  return (r ? *r : defaultRow()).driver;
}

const char* ZorlanSupportedTouchDrivers::getDriver(unsigned short vendor, unsigned short product,
                                                   const unsigned char* dd,
                                                   const unsigned char* ifs) {
  const SupportedTouchDevice* r = rowFor(
      vendor, product, dd, ifs,
      "Driver not found for VID(0x%04X)/PID(0x%04X), attemping default driver");
  return (r ? *r : defaultRow()).driver;
}

const char* ZorlanSupportedTouchDrivers::getDefaultDriver() { return defaultRow().driver; }

int ZorlanSupportedTouchDrivers::findDevice(unsigned short vendor, unsigned short product,
                                            const unsigned char* dd, const unsigned char* ifs) {
  Logger* log = Logger::Instance();
  bool familyFound = false;
  for (int i = 0; i < m_numDevices; ++i) {
    const SupportedTouchDevice& row = m_supportedDevices[i];
    if (row.vendorId != vendor || row.productId != product) continue;
    familyFound = true;
    if (!dd && !ifs) {
      log->DiagnosticString(kRegistryLog, 0,
                            "Supported family VID(0x%04X)/PID(0x%04X), no DD/ID requested",
                            vendor, product);
      return i;
    }
    if (dd) {
      char text[PHUB_DEVICE_DESC_SIZE * kCompareItem + 1];
      describeDescriptorCompare(dd, row.deviceDescriptor, text);
      log->DebugString("Checking DD: %s", text);
    }
    if (matches(dd, row.deviceDescriptor, sizeof row.deviceDescriptor) &&
        matches(ifs, row.ifSpec, sizeof row.ifSpec)) {
      EventLogger::Instance()->LogEvent(EventLogger::evUsbDevice,
                                        "Device VID(0x%04X)/PID(0x%04X), using touch driver: %s",
                                        vendor, product, row.driver);
      log->DiagnosticString(kRegistryLog, 0, matchMessage(dd, ifs), vendor, product);
      return i;
    }
  }
  if (familyFound)
    log->DiagnosticString(kRegistryLog, 2,
                          "Device VID(0x%04X)/PID(0x%04X) found, but dd/if spec not matched",
                          vendor, product);
  log->DiagnosticString(kRegistryLog, 2, "Supported device VID(0x%04X)/PID(0x%04X) not found",
                        vendor, product);
  return -1;
}

void ZorlanSupportedTouchDrivers::setParent(ZorlanRawUSBDevice* parent) { m_parent = parent; }

ZorlanRawUSBDevice* ZorlanSupportedTouchDrivers::getParent() { return m_parent; }

extern "C" ZorlanSupportedTouchDrivers* getSupportedTouchDrivers() {
  // Nothing may throw into the host: an exhausted heap gives a null table.
  ZorlanSupportedTouchDrivers* table = new (std::nothrow) ZorlanSupportedTouchDrivers();
  if (!table) return nullptr;
  Logger::Instance()->DiagnosticString(
      kRegistryLog, 0, "Number of supported devices in table (including default driver): %d",
      table->numDevices());
  return table;
}

extern "C" const char* getSupportedTouchDriversVersion() { return "v2.1.1"; }
