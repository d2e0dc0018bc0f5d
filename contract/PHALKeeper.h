#ifndef CONTRACT_PHALKEEPER_H
#define CONTRACT_PHALKEEPER_H

#include "contract/InputManager.h"
#include "contract/Visibility.h"

// Keeper of the panel's hardware services; handlers reach the input manager through it:
//   PHALKeeper::Instance()->getInputManager()->stopTouch(this);
class TP_FRAMEWORK PHALKeeper {
 public:
  static PHALKeeper* Instance();

  // Never null; lives as long as the process.
  ZorlanInputManager* getInputManager();

 private:
  PHALKeeper();
  PHALKeeper(const PHALKeeper&) = delete;
  PHALKeeper& operator=(const PHALKeeper&) = delete;

  ZorlanInputManager* m_inputManager;
};

#endif
