#include "host/SerialPort.h"

#include <errno.h>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace host {

namespace {

struct Rate {
  unsigned int bps;
  speed_t code;
};

const Rate kRates[] = {
    {50, B50},         {75, B75},         {110, B110},         {134, B134},
    {150, B150},       {200, B200},       {300, B300},         {600, B600},
    {1200, B1200},     {1800, B1800},     {2400, B2400},       {4800, B4800},
    {9600, B9600},     {19200, B19200},   {38400, B38400},     {57600, B57600},
    {115200, B115200}, {230400, B230400}, {460800, B460800},   {500000, B500000},
    {576000, B576000}, {921600, B921600}, {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000},
};

}  // namespace

long speedCode(unsigned int speed) {
  if (speed == B0) return B0;
  for (const Rate& r : kRates) {
    if (speed == r.code) return static_cast<long>(r.code);
  }
  for (const Rate& r : kRates) {
    if (speed == r.bps) return static_cast<long>(r.code);
  }
  return -1;
}

int openRawPort(const char* device, unsigned int cflag, unsigned int speed) {
  if (!device) {
    errno = EINVAL;
    return -1;
  }
  const long code = speedCode(speed);
  if (code < 0) {
    errno = EINVAL;
    return -1;
  }
  // Non-blocking open: a port whose carrier is down must not hang the open.
  int fd = open(device, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  const int flags = fcntl(fd, F_GETFL);
  if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0) {
    const int saved = errno;
    close(fd);
    errno = saved;
    return -1;
  }

  termios tio;
  if (tcgetattr(fd, &tio) < 0) {
    if (errno == ENOTTY || errno == EINVAL) return fd;  // not a terminal: no line settings
    const int saved = errno;
    close(fd);
    errno = saved;
    return -1;
  }
  cfmakeraw(&tio);
  tio.c_cflag = cflag;
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  if (cfsetispeed(&tio, static_cast<speed_t>(code)) < 0 ||
      cfsetospeed(&tio, static_cast<speed_t>(code)) < 0 || tcsetattr(fd, TCSANOW, &tio) < 0) {
    const int saved = errno;
    close(fd);
    errno = saved;
    return -1;
  }
  tcflush(fd, TCIOFLUSH);
  return fd;
}

}  // namespace host
