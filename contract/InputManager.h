#ifndef CONTRACT_INPUTMANAGER_H
#define CONTRACT_INPUTMANAGER_H

#include <stddef.h>

#include "contract/Visibility.h"

class InputHandler;

// The panel's input manager: decides whose touches reach the panel and whether raw USB
// reports are forwarded to the external PC. Reached through PHALKeeper::Instance().
// Thread-safe.
class TP_FRAMEWORK InputManager {
 public:
  InputManager();
  virtual ~InputManager();

  // Touch reporting for `handler` stops: its processData reports nothing until
  // resumeTouch. Returns 1 (0 for a null handler).
  int stopTouch(InputHandler* handler);
  // Touch reporting for `handler` resumes. Returns 1 (0 for a null handler).
  int resumeTouch(InputHandler* handler);
  bool isTouchStopped(const InputHandler* handler) const;

  // The report-forwarding flag: while set, USB handlers post their raw reports for the PC.
  bool getForwardReports() const;
  void setForwardReports(bool forward);

  // Calls recorded so far, oldest first (for tests and diagnostics).
  enum CallKind { CALL_STOP, CALL_RESUME };
  struct Call {
    CallKind kind;
    const InputHandler* handler;
  };
  size_t callCount() const;
  Call call(size_t index) const;  // index below callCount()
  void clearCalls();

 private:
  InputManager(const InputManager&) = delete;
  InputManager& operator=(const InputManager&) = delete;

  struct State;
  State* m_state;
};

// The panel's own input manager type.
class TP_FRAMEWORK ZorlanInputManager : public InputManager {
 public:
  ZorlanInputManager();
  virtual ~ZorlanInputManager();
};

#endif
