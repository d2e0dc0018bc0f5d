#pragma once
// Small line helpers shared by the serial handlers that talk to their controller directly
// during set-up: the millisecond delay, bounded waits for a reply, and the raw
// reconfiguration used when a controller is moved to another speed.
#include <cstddef>
#include <termios.h>

namespace serial_line {

// Waits ms milliseconds (select on no descriptors); 0 returns at once.
void mdelay(int ms);

// Waits up to ms milliseconds for fd to become readable (or writable).
// Returns 1 when it is, 0 on time-out, -1 on error (errno set). Safe for any descriptor value.
int waitReadable(int fd, int ms);
int waitWritable(int fd, int ms);

struct Reply {
  size_t count = 0;       // bytes stored
  bool silent = false;    // nothing arrived within the first wait
  int readErrno = 0;      // errno of a failed first read (count is then 0)
};

// Collects a reply of at most want bytes into buf. The first piece must arrive within
// firstWaitMs; each further piece within nextWaitMs. Reading stops early once the
// terminator byte has been stored at an index above 0, or when a wait expires, or when
// the line reports end of data. A reply that the controller splits into several writes is
// therefore read whole, and a controller that stops half-way cannot hold the caller for
// longer than the waits allow.
Reply readReply(int fd, unsigned char* buf, size_t want, int firstWaitMs, int nextWaitMs,
                unsigned char terminator);

enum class RawResult { GetFailed, SetFailed, Done };

// The raw reconfiguration: tcgetattr, cfmakeraw, no input/output processing, c_cflag set to
// cflag (speed code ORed with the line bits), no local modes, VMIN 1 / VTIME 1,
// tcsetattr(TCSADRAIN) and, when that worked, tcflush of both directions.
// beforeSet runs once the settings are made, just before they are applied (callers log
// the new speed there).
template <class F>
RawResult makeRaw(int fd, tcflag_t cflag, F beforeSet) {
  struct termios t;
  if (tcgetattr(fd, &t) != 0) return RawResult::GetFailed;
  cfmakeraw(&t);
  t.c_iflag = 0;
  t.c_oflag = 0;
  t.c_cflag = cflag;
  beforeSet();
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 1;
  t.c_lflag = 0;
  if (tcsetattr(fd, TCSADRAIN, &t) != 0) return RawResult::SetFailed;
  tcflush(fd, TCIOFLUSH);
  return RawResult::Done;
}

// Logs a failed reconfiguration as "<className>::Switch Baud Rate - tcgetattr failed" (or
// tcsetattr) at level 2; nothing for Done.
void logRawFailure(RawResult result, const char* className);

}  // namespace serial_line
