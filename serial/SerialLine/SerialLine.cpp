#include "serial/SerialLine/SerialLine.h"

#include "serial/SerialLine/InputLog.h"

#include <cerrno>
#include <poll.h>
#include <sys/select.h>
#include <sys/time.h>
#include <time.h>
#include <unistd.h>

namespace serial_line {

void mdelay(int ms) {
  if (ms <= 0) return;
  struct timeval tv;
  tv.tv_sec = 0;
  tv.tv_usec = ms * 1000;
  select(0, nullptr, nullptr, nullptr, &tv);
}

namespace {

long long nowMs() {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// poll rather than select: the descriptor may lie above FD_SETSIZE in a busy process.
int waitFor(int fd, short events, int ms) {
  const long long deadline = nowMs() + ms;
  for (;;) {
    struct pollfd p;
    p.fd = fd;
    p.events = events;
    p.revents = 0;
    const long long left = deadline - nowMs();
    const int r = poll(&p, 1, left > 0 ? static_cast<int>(left) : 0);
    if (r > 0) {
      if (p.revents & POLLNVAL) {
        errno = EBADF;
        return -1;
      }
      return 1;
    }
    if (r == 0) return 0;
    if (errno != EINTR) return -1;
  }
}

}  // namespace

int waitReadable(int fd, int ms) { return waitFor(fd, POLLIN, ms); }
int waitWritable(int fd, int ms) { return waitFor(fd, POLLOUT, ms); }

Reply readReply(int fd, unsigned char* buf, size_t want, int firstWaitMs, int nextWaitMs,
                unsigned char terminator) {
  Reply reply;
  while (reply.count < want) {
    const int ready = waitReadable(fd, reply.count == 0 ? firstWaitMs : nextWaitMs);
    if (ready <= 0) {
      if (reply.count == 0) {
        if (ready == 0) reply.silent = true;
        else reply.readErrno = errno;
      }
      break;
    }
    const ssize_t n = read(fd, buf + reply.count, want - reply.count);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (reply.count == 0) reply.readErrno = n < 0 ? errno : EIO;
      break;
    }
    const size_t start = reply.count;
    reply.count += static_cast<size_t>(n);
    bool ended = false;
    for (size_t i = start; i < reply.count; ++i) {
      if (i > 0 && buf[i] == terminator) ended = true;
    }
    if (ended) break;
  }
  return reply;
}

void logRawFailure(RawResult result, const char* className) {
  if (result == RawResult::GetFailed)
    input_log::write(2, "%s::Switch Baud Rate - tcgetattr failed", className);
  else if (result == RawResult::SetFailed)
    input_log::write(2, "%s::Switch Baud Rate - tcsetattr failed", className);
}

}  // namespace serial_line
