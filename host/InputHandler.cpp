#include "contract/InputHandler.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "contract/Event.h"
#include "host/SerialPort.h"
#include "host/TouchSink.h"

InputHandler::InputHandler() : m_packet(nullptr), m_disabled(false) {}

InputHandler::~InputHandler() {
  delete[] m_packet;
}

int InputHandler::openDevice(const char* device) {
  if (!device) {
    errno = EINVAL;
    return -1;
  }
  return open(device, O_RDWR | O_NOCTTY | O_CLOEXEC);
}

int InputHandler::openSerialPort(const char* device, unsigned int cflag, unsigned int speed) {
  return host::openRawPort(device, cflag, speed);
}

void InputHandler::postEvent(Event* event) {
  host::deliverEvent(this, event);
}

int InputHandler::writen(int fd, void* buffer, unsigned int count) {
  const unsigned char* bytes = static_cast<const unsigned char*>(buffer);
  unsigned int done = 0;
  while (done < count) {
    const ssize_t n = write(fd, bytes + done, count - done);
    if (n > 0) {
      done += static_cast<unsigned int>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      pollfd p = {fd, POLLOUT, 0};
      poll(&p, 1, -1);
    } else {
      if (n == 0) errno = EIO;
      return -1;
    }
  }
  return static_cast<int>(count);
}
