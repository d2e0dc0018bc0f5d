#ifndef CONTRACT_ZORLANUSBTOUCHHANDLER_H
#define CONTRACT_ZORLANUSBTOUCHHANDLER_H

#include "contract/LECB.h"
#include "contract/Visibility.h"
#include "contract/ZorlanTouchHandler.h"

// The host's base of every USB handler; a USB plug-in class derives from it alone. It adds
// no data members.
class TP_FRAMEWORK ZorlanUSBTouchHandler : public ZorlanTouchHandler {
 public:
  // `name` is the device node the host chose for the controller; it is not kept.
  explicit ZorlanUSBTouchHandler(const char* name);
  virtual ~ZorlanUSBTouchHandler();

  // Marks the handler as finishing (exiting()); reading is the handler's to end.
  void exitHandler() override;
  void sendUnfiltered(const GfPoint& point, bool touched) override;

  // Logs a request block (category input, level 0): setup fields, reply length, status
  // and the first data bytes.
  void DebugUsbPkt(LECB* request);

  bool exiting() const { return m_stateFlags[0] != 0; }
};

#endif
