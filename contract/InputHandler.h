#ifndef CONTRACT_INPUTHANDLER_H
#define CONTRACT_INPUTHANDLER_H

#include "contract/Visibility.h"

class Event;

// Root of every input handler. The virtual operations below, together with those of
// CalibratedTouchHandler and ZorlanTouchHandler, form one table whose order is fixed for
// every serial and USB plug-in: never reorder, insert or remove one.
//
// Defaults written here are compiled into each plug-in; the others are the host's.
class TP_FRAMEWORK InputHandler {
 public:
  InputHandler();
  // Frees m_packet.
  virtual ~InputHandler();

  // Handles one packet from the controller; 1 when input was consumed, 0 when no packet
  // could be obtained at all (read error, end of file, sync lost).
  virtual int readData() = 0;
  virtual void enable() { m_disabled = false; }
  virtual void disable() { m_disabled = true; }
  virtual bool isDisabled() { return m_disabled; }
  // Opens `device` for the handler; returns the new descriptor, -1 on failure.
  virtual int openDevice(const char* device);
  virtual int reset() { return 1; }
  virtual void init() {}
  // Opens `device` and configures it raw with the termios c_cflag bits `cflag` and the
  // speed `speed` (a termios speed code such as B9600; a plain rate such as 9600 is taken
  // as that rate). Returns the descriptor, -1 on failure (errno set).
  virtual int openSerialPort(const char* device, unsigned int cflag, unsigned int speed);
  // Consumes the packet in m_packet: asks isTouchDown, then extractPosition, calibrates
  // and reports the touch or release. Returns 1.
  virtual int processData() = 0;
  // Hands an event to the host, which owns it from then on (also when it drops it).
  virtual void postEvent(Event* event);
  // Reads `count` bytes from fd, blocking until they came. Returns the number read, fewer
  // only at end of file (0 when nothing came before it), -1 on error with errno set.
  virtual int readn(int fd, void* buffer, unsigned int count) = 0;
  // Writes `count` bytes to fd; returns count when all were written, -1 on error with
  // errno set.
  virtual int writen(int fd, void* buffer, unsigned int count);

 protected:
  unsigned char* m_packet;  // the packet buffer: at least 32 bytes and a whole packet
  bool m_disabled;          // set by disable(); a disabled handler reports no touches

 private:
  InputHandler(const InputHandler&) = delete;
  InputHandler& operator=(const InputHandler&) = delete;
};

#endif
