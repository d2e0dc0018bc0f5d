#include "contract/Event.h"

const Event::EventType Event::USB_REPORT;

Event::Event(EventType type) : m_type(type) {}

Event::~Event() {}
