// Interface classification of newly attached USB devices. The host runs checkQuirks once
// per interface; it marks touch and mouse interfaces of known controllers and writes the
// touch endpoint, interface and report size into the port record, from which the touch
// handler is later bound.
//
// The vendor rules are one table, tried in order; the first rule whose vendor and
// condition hold is applied. A vendor that has rules but none whose condition holds is
// left alone (result true); only vendors without rules get the generic classification.

#include <stdio.h>

#include "contract/ZorlanRawUSBDevice.h"
#include "registry/RegistryLog.h"
#include "registry/ZorlanSupportedTouchDrivers.h"
#include "util/Logger.h"

namespace {

// What a rule does once its message is logged.
enum class Action {
  None,            // message only
  Mouse,           // boot mouse on if_eps[0]
  Touch,           // touch on if_eps[0]
  TouchLearnSize,  // touch, and the table learns the report size from the endpoint
  TouchSecondEp,   // touch on if_eps[1], interface 0
  TakenOver,       // touch through endpoint 0; the host must not bind a driver (false)
  IlitekTakenOver, // interface descriptor rewritten, then taken over
};

const int kDebugLine = -1;  // message goes to the Logger's debug line, not a level

struct QuirkInput {
  uint16_t vendor;
  uint16_t product;
  int ifNumber;
  int ifSubclass;
  int ifProtocol;
  int ep;  // if_eps[0]
};

struct QuirkRule {
  uint16_t vendor;
  bool (*when)(const QuirkInput&);
  int level;            // message level, or kDebugLine
  const char* message;  // null: no message
  bool showsEndpoint;   // the message takes if_eps[0] as its argument
  Action action;
};

bool any(const QuirkInput&) { return true; }
bool msMouseEp1(const QuirkInput& q) { return q.product == 0x00F9 && q.ep == 1; }
bool msOther(const QuirkInput& q) { return q.product == 0x00F9; }
bool extraInterfaceEp(const QuirkInput& q) { return q.ep > 0 && q.ifNumber != 0; }
bool crystal(const QuirkInput& q) { return q.product == 0x3556; }
bool wacomDtu(const QuirkInput& q) {
  return (q.product == 0x00CE || q.product == 0x00F0) && q.ep == 0;
}
bool wacomDtuFirst(const QuirkInput& q) { return wacomDtu(q) && q.ifNumber == 0; }
bool cintiq(const QuirkInput& q) { return q.product == 0x00C5 || q.product == 0x003F; }
bool product0001(const QuirkInput& q) { return q.product == 0x0001; }
bool sympodium(const QuirkInput& q) { return q.ep == 2 && q.ifNumber == 1; }
bool utouchLowEp(const QuirkInput& q) { return q.product == 0x0003 && q.ep < 2; }
bool utouch(const QuirkInput& q) { return q.product == 0x0003; }  // after utouchLowEp
bool product2121(const QuirkInput& q) { return q.product == 0x2121; }
bool firstInterfaceEp0(const QuirkInput& q) { return q.ep == 0 && q.ifNumber == 0; }

const QuirkRule kRules[] = {
    {0x045E, msMouseEp1, 0, "MS wls mouse/keyboard found", false, Action::Mouse},
    {0x045E, msOther, kDebugLine, "Hid ep #(%d)", true, Action::None},
    {0x0461, extraInterfaceEp, 0, "this endpoint is not supported", false, Action::None},
    {0x04D9, extraInterfaceEp, 0, "this endpoint is not supported", false, Action::None},
    {0x059D, extraInterfaceEp, 0, "this endpoint is not supported", false, Action::None},
    {0x04E7, any, 0, "ELO HID touch screen found", false, Action::Touch},
    {0x0556, crystal, 1, "CrystalTouch USB touch found", false, Action::Touch},
    {0x056A, wacomDtuFirst, 0, "Wacom-Dtu touch screen found", false, Action::TakenOver},
    {0x056A, wacomDtu, 0, "sorry, but this interface not supported", false, Action::None},
    {0x056A, cintiq, 1, "Wacom cintiq touch found", false, Action::Touch},
    {0x07DD, product0001, 1, "Tsharc 17 inch usb found", false, Action::TouchLearnSize},
    {0x0B8C, sympodium, 0, "Sympodium touch screen found", false, Action::TakenOver},
    {0x1926, utouchLowEp, 0, "sorry, but only ep2 is a touch %d", true, Action::None},
    {0x1926, utouch, 1, "utouch usb found", false, Action::TouchLearnSize},
    {0x2149, product2121, 0, nullptr, false, Action::TouchSecondEp},
    {0x222A, firstInterfaceEp0, 0, "Ilitek usb touch found", false, Action::IlitekTakenOver},
    {0x595A, product0001, 1, "IRTouch USB touch found", false, Action::Touch},
    {0x6615, product0001, 1, "IRTouch USB touch found", false, Action::Touch},
};

// The generic rule for vendors without rules of their own.
bool genericTouch(const QuirkInput& q) {
  return q.ifProtocol == 0 || q.vendor == 0x0EEF || q.vendor == 0x04DD;
}

uint16_t le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// wMaxPacketSize of endpoint ep, 0 (with a warning) when the device layer has no
// descriptor for it.
int32_t packetSize(const PHUB_DEVICEPORT& port, int32_t ep) {
  const int32_t size = port.endpointPacketSize(ep);
  if (size >= 0) return size;
  Logger::Instance()->DiagnosticString(kRegistryLog, 2,
                                       "checkQuirks: no descriptor for endpoint %d", ep);
  return 0;
}

void setTouch(PHUB_DEVICEPORT& port, __INTERFACE__& pif, int32_t ep) {
  pif.type = PHUB_IF_TOUCH;
  port.touch_present = 1;
  port.touch_ep = ep;
  port.touch_size = packetSize(port, ep);
}

void clearStringIndices(unsigned char* dd) {
  if (!dd) return;
  dd[PHUB_DD_MANUFACTURER] = 0;
  dd[PHUB_DD_PRODUCT_STRING] = 0;
  dd[PHUB_DD_SERIAL] = 0;
}

// The report size of the first row with these ids becomes the endpoint's packet size.
// An unknown size (0) is not learnt: a row must never ask for empty reads.
void learnReportSize(uint16_t vendor, uint16_t product, int32_t size) {
  if (size <= 0) return;
  for (SupportedTouchDevice& row : ZorlanSupportedTouchDrivers::m_supportedDevices) {
    if (row.vendorId == vendor && row.productId == product) {
      row.reportSize = size;
      return;
    }
  }
}

bool apply(Action action, const QuirkInput& q, PHUB_DEVICEPORT& port, __INTERFACE__& pif) {
  switch (action) {
    case Action::None:
      return true;
    case Action::Mouse:
      pif.if_desc[PHUB_IF_CLASS] = 3;
      pif.if_desc[PHUB_IF_PROTOCOL] = 2;
      pif.type = PHUB_IF_MOUSE;
      port.mouse_present = 1;
      if (q.ifSubclass == 1) port.mouse_boot = 1;
      port.mouse_ep = q.ep;
      port.mouse_size = packetSize(port, q.ep);
      Logger::Instance()->DebugString("Mouse EP is %d, reportd size(%d)", port.mouse_ep,
                                      port.mouse_size);
      return true;
    case Action::Touch:
      setTouch(port, pif, q.ep);
      return true;
    case Action::TouchLearnSize:
      setTouch(port, pif, q.ep);
      learnReportSize(q.vendor, q.product, port.touch_size);
      return true;
    case Action::TouchSecondEp:
      setTouch(port, pif, pif.if_eps[1]);
      port.touch_if = 0;
      return true;
    case Action::IlitekTakenOver:
      pif.if_desc[PHUB_IF_CLASS] = 0;
      pif.if_desc[PHUB_IF_PROTOCOL] = 3;
      // fall through
    case Action::TakenOver:
      setTouch(port, pif, 0);
      clearStringIndices(port.dev_desc);
      clearStringIndices(port.dev_desc2);
      return false;
  }
  return true;
}

void logRule(const QuirkRule& rule, int ep) {
  if (!rule.message) return;
  Logger* log = Logger::Instance();
  if (rule.level == kDebugLine) {
    if (rule.showsEndpoint)
      log->DebugString(rule.message, ep);
    else
      log->DebugString("%s", rule.message);
  } else if (rule.showsEndpoint) {
    log->DiagnosticString(kRegistryLog, rule.level, rule.message, ep);
  } else {
    log->DiagnosticString(kRegistryLog, rule.level, "%s", rule.message);
  }
}

// A string descriptor is usable when it was fetched, holds more than its 2-byte header
// and has the string descriptor type.
const unsigned char* stringDescriptor(const ZorlanRawUSBDevice& dev, int index) {
  const unsigned char* d = dev.stringDesc[index];
  return dev.stringPresent[index] && d[0] > 2 && d[1] == 3 ? d : nullptr;
}

// English strings: string 0 lists US English (0x0409) first. The whole LANGID must be
// inside the descriptor, so it is at least 4 bytes long.
bool hasEnglishStrings(const ZorlanRawUSBDevice& dev) {
  const unsigned char* d = dev.stringDesc[0];
  return dev.stringPresent[0] && d[0] >= 4 && d[1] == 3 && d[2] == 0x09 && d[3] == 0x04;
}

// Logs the manufacturer, product and serial-number strings named by the device
// descriptor, as printable ASCII (the low bytes of the UTF-16 characters).
void logStrings(const ZorlanRawUSBDevice& dev, const unsigned char* dd) {
  if (!hasEnglishStrings(dev)) return;
  static const struct {
    int offset;
    const char* label;
  } kStrings[] = {
      {PHUB_DD_MANUFACTURER, "mfg"}, {PHUB_DD_PRODUCT_STRING, "prod"}, {PHUB_DD_SERIAL, "s/n"}};
  for (const auto& s : kStrings) {
    const int index = dd[s.offset];
    if (index == 0) continue;
    const unsigned char* d = stringDescriptor(dev, index);
    if (!d) continue;
    char text[ZorlanRawUSBDevice::STRING_SIZE / 2 + 1];
    size_t n = 0;
    for (int i = 2; i < d[0]; i += 2)
      if (d[i] >= 0x20 && d[i] < 0x7F) text[n++] = static_cast<char>(d[i]);
    text[n] = '\0';
    Logger::Instance()->DebugString("USB Device String Descriptor [%s: %s]", s.label, text);
  }
}

}  // namespace

bool ZorlanSupportedTouchDrivers::checkQuirks(boost::shared_ptr<__PHUB_DEVICEPORT__> port,
                                              __INTERFACE__* pif) {
  Logger* log = Logger::Instance();
  log->DiagnosticString(kRegistryLog, 0, "checkQuirks function start");
  log->DiagnosticString(kRegistryLog, 0, "Here -1");
  // Without its records an interface cannot be classified; say so and leave it alone.
  if (!port || !port->dev_desc || !pif || !pif->if_desc) {
    log->DiagnosticString(kRegistryLog, 3, "checkQuirks: %s missing",
                          !port             ? "port record"
                          : !port->dev_desc ? "device descriptor"
                          : !pif            ? "interface record"
                                            : "interface descriptor");
    return false;
  }

  const unsigned char* dd = port->dev_desc;
  QuirkInput q;
  q.vendor = le16(dd + PHUB_DD_VENDOR);
  q.product = le16(dd + PHUB_DD_PRODUCT);
  q.ifNumber = pif->if_desc[PHUB_IF_NUMBER];
  q.ifSubclass = pif->if_desc[PHUB_IF_SUBCLASS];
  q.ifProtocol = pif->if_desc[PHUB_IF_PROTOCOL];
  q.ep = pif->if_eps[0];

  if (m_parent) logStrings(*m_parent, dd);

  log->DiagnosticString(kRegistryLog, 0, "Checking for quirks for vendor(%04X) product(%04X)",
                        q.vendor, q.product);
  log->DiagnosticString(kRegistryLog, 0, "pif->type = %d, pif->if_eps[0] = %d", pif->type,
                        pif->if_eps[0]);

  bool result = true;
  bool vendorHasRules = false;
  for (const QuirkRule& rule : kRules) {
    if (rule.vendor != q.vendor) continue;
    vendorHasRules = true;
    if (!rule.when(q)) continue;
    logRule(rule, q.ep);
    result = apply(rule.action, q, *port, *pif);
    break;
  }
  if (!vendorHasRules) {
    if (genericTouch(q)) {
      log->DiagnosticString(kRegistryLog, 1, "Custom driver not found, but Touch is present %d",
                            q.vendor);
      setTouch(*port, *pif, q.ep);
    } else {
      log->DiagnosticString(kRegistryLog, 1, "No custom driver found, but not Touch");
    }
  }

  log->DiagnosticString(kRegistryLog, 0, "smart return %d", result ? 1 : 0);
  return result;
}
