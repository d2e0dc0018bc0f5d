#ifndef CONTRACT_EVENT_H
#define CONTRACT_EVENT_H

#include "contract/Visibility.h"

// Base of everything posted to the host through InputHandler::postEvent. The host owns a
// posted event and deletes it through this virtual destructor.
class TP_FRAMEWORK Event {
 public:
  // Event types are bit values; a USB handler posts raw reports as USB_REPORT.
  typedef unsigned int EventType;
  static const EventType USB_REPORT = 0x400000;

  explicit Event(EventType type);
  virtual ~Event();

  EventType getType() const { return m_type; }

 private:
  EventType m_type;
};

#endif
