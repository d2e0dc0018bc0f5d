#include "contract/InputManager.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

#include "contract/PHALKeeper.h"

struct InputManager::State {
  mutable std::mutex lock;
  std::vector<const InputHandler*> stopped;
  std::vector<Call> calls;
  std::atomic<bool> forward{false};
};

InputManager::InputManager() : m_state(new State) {}

InputManager::~InputManager() {
  delete m_state;
}

int InputManager::stopTouch(InputHandler* handler) {
  if (!handler) return 0;
  std::lock_guard<std::mutex> hold(m_state->lock);
  m_state->calls.push_back(Call{CALL_STOP, handler});
  if (std::find(m_state->stopped.begin(), m_state->stopped.end(), handler) ==
      m_state->stopped.end()) {
    m_state->stopped.push_back(handler);
  }
  return 1;
}

int InputManager::resumeTouch(InputHandler* handler) {
  if (!handler) return 0;
  std::lock_guard<std::mutex> hold(m_state->lock);
  m_state->calls.push_back(Call{CALL_RESUME, handler});
  auto& s = m_state->stopped;
  s.erase(std::remove(s.begin(), s.end(), handler), s.end());
  return 1;
}

bool InputManager::isTouchStopped(const InputHandler* handler) const {
  std::lock_guard<std::mutex> hold(m_state->lock);
  const auto& s = m_state->stopped;
  return std::find(s.begin(), s.end(), handler) != s.end();
}

bool InputManager::getForwardReports() const {
  return m_state->forward.load();
}

void InputManager::setForwardReports(bool forward) {
  m_state->forward.store(forward);
}

size_t InputManager::callCount() const {
  std::lock_guard<std::mutex> hold(m_state->lock);
  return m_state->calls.size();
}

InputManager::Call InputManager::call(size_t index) const {
  std::lock_guard<std::mutex> hold(m_state->lock);
  if (index >= m_state->calls.size()) return Call{CALL_STOP, nullptr};
  return m_state->calls[index];
}

void InputManager::clearCalls() {
  std::lock_guard<std::mutex> hold(m_state->lock);
  m_state->calls.clear();
}

ZorlanInputManager::ZorlanInputManager() {}

ZorlanInputManager::~ZorlanInputManager() {}

PHALKeeper::PHALKeeper() : m_inputManager(new ZorlanInputManager) {}

PHALKeeper* PHALKeeper::Instance() {
  static PHALKeeper* keeper = new PHALKeeper;  // never destroyed, like the panel's
  return keeper;
}

ZorlanInputManager* PHALKeeper::getInputManager() {
  return m_inputManager;
}
