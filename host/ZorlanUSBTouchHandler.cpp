#include "contract/ZorlanUSBTouchHandler.h"

#include <stdio.h>

#include "util/Logger.h"

ZorlanUSBTouchHandler::ZorlanUSBTouchHandler(const char* name) : ZorlanTouchHandler(name) {}

ZorlanUSBTouchHandler::~ZorlanUSBTouchHandler() {}

void ZorlanUSBTouchHandler::exitHandler() {
  m_stateFlags[0] = 1;
}

void ZorlanUSBTouchHandler::sendUnfiltered(const GfPoint& point, bool touched) {
  ZorlanTouchHandler::sendUnfiltered(point, touched);
}

void ZorlanUSBTouchHandler::DebugUsbPkt(LECB* request) {
  Logger* log = Logger::Instance();
  if (!request) {
    log->DiagnosticString(oidInput, 0, "USB request: (none)");
    return;
  }
  log->DiagnosticString(oidInput, 0,
                        "USB request: type 0x%02x req 0x%02x value 0x%04x index 0x%04x "
                        "length %u reply %u status %u",
                        request->bmRequestType, request->bRequest, request->wValue,
                        request->wIndex, request->wLength,
                        static_cast<unsigned>(request->replyLength),
                        static_cast<unsigned>(request->requestStatus));
  // The data stage, 16 bytes a line, as far as the request or the reply reaches.
  unsigned int shown = request->wLength > request->replyLength ? request->wLength
                                                                 : request->replyLength;
  if (shown > LECB_DATA_SIZE) shown = LECB_DATA_SIZE;
  for (unsigned int at = 0; at < shown; at += 16) {
    char line[16 * 3 + 1];
    int used = 0;
    for (unsigned int i = at; i < shown && i < at + 16; ++i) {
      used += snprintf(line + used, sizeof line - used, " %02x", request->data[i]);
    }
    log->DiagnosticString(oidInput, 0, "USB data %04x:%s", at, line);
  }
}
