#ifndef CONTRACT_HANDLERRECORD_H
#define CONTRACT_HANDLERRECORD_H

#include "contract/Visibility.h"

// The host's count of live touch handlers: every ZorlanTouchHandler is one record for as
// long as it exists. Its table holds the destructor alone.
class TP_FRAMEWORK HandlerRecord {
 public:
  HandlerRecord();
  virtual ~HandlerRecord();

  // Handlers constructed and not yet destroyed, in this process.
  static int liveHandlers();

 private:
  HandlerRecord(const HandlerRecord&) = delete;
  HandlerRecord& operator=(const HandlerRecord&) = delete;
};

#endif
