#ifndef HOST_TESTS_PTY_H
#define HOST_TESTS_PTY_H

// A pseudo-terminal for the host's tests: the handler opens slave(), the test plays the
// controller on the master side.

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <vector>

class Pty {
 public:
  Pty() {
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master >= 0 && grantpt(m_master) == 0 && unlockpt(m_master) == 0) {
      const char* name = ptsname(m_master);
      if (name) m_slave = name;
    }
  }
  ~Pty() { hangUp(); }

  bool ok() const { return m_master >= 0 && !m_slave.empty(); }
  const char* slave() const { return m_slave.c_str(); }
  int master() const { return m_master; }

  bool send(const std::vector<unsigned char>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = write(m_master, bytes.data() + done, bytes.size() - done);
      if (n <= 0) return false;
      done += static_cast<size_t>(n);
    }
    return true;
  }

  // What the handler wrote, waiting at most `ms` milliseconds for each byte.
  std::vector<unsigned char> receive(size_t count, int ms) {
    std::vector<unsigned char> got;
    while (got.size() < count) {
      pollfd p = {m_master, POLLIN, 0};
      if (poll(&p, 1, ms) != 1) break;
      unsigned char byte;
      if (read(m_master, &byte, 1) != 1) break;
      got.push_back(byte);
    }
    return got;
  }

  void hangUp() {
    if (m_master >= 0) close(m_master);
    m_master = -1;
  }

 private:
  int m_master = -1;
  std::string m_slave;
};

#endif
