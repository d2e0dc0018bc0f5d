// sdk-feed TOUCHHOST PLUGIN_DIR: runs "TOUCHHOST --plugin-dir PLUGIN_DIR SdkExampleHandler
// <pty>", plays a short stroke as the example controller, hangs up, and checks that
// touchhost printed exactly the stroke's touches and exited with status 0.

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

bool waitFor(int fd, const std::string& wanted, std::string* got, int ms) {
  while (got->find(wanted) == std::string::npos) {
    pollfd p = {fd, POLLIN, 0};
    if (poll(&p, 1, ms) != 1) return false;
    char buffer[256];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) return false;
    got->append(buffer, static_cast<size_t>(n));
  }
  return true;
}

void packet(std::vector<unsigned char>* out, bool down, int x, int y) {
  const unsigned char p[] = {static_cast<unsigned char>(0x80 | (down ? 1 : 0)),
                             static_cast<unsigned char>(x), static_cast<unsigned char>(x >> 8),
                             static_cast<unsigned char>(y), static_cast<unsigned char>(y >> 8)};
  out->insert(out->end(), p, p + sizeof p);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: sdk-feed TOUCHHOST PLUGIN_DIR\n");
    return 2;
  }
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
    fprintf(stderr, "sdk-feed: no pty: %s\n", strerror(errno));
    return 1;
  }
  const std::string slave = ptsname(master);
  int out[2];
  if (pipe(out) != 0) return 1;

  const pid_t child = fork();
  if (child == 0) {
    dup2(out[1], 1);
    close(out[0]);
    close(out[1]);
    close(master);
    execl(argv[1], argv[1], "--plugin-dir", argv[2], "SdkExampleHandler", slave.c_str(),
          static_cast<char*>(nullptr));
    fprintf(stderr, "sdk-feed: cannot run %s: %s\n", argv[1], strerror(errno));
    _exit(127);
  }
  close(out[1]);

  // The handler's start command shows that the port is open and set up.
  std::string fromHandler;
  if (!waitFor(master, "R\r", &fromHandler, 10000)) {
    fprintf(stderr, "sdk-feed: the handler never sent its start command\n");
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return 1;
  }

  std::vector<unsigned char> stroke = {0x13, 0x37};  // line noise before the first packet
  packet(&stroke, true, 100, 200);
  packet(&stroke, true, 0x1234, 0x0456);
  packet(&stroke, false, 0x1234, 0x0456);
  if (write(master, stroke.data(), stroke.size()) != static_cast<ssize_t>(stroke.size())) return 1;

  const std::string expected = "down 100 200\ndown 4660 1110\nup 4660 1110\n";
  std::string printed;
  const bool complete = waitFor(out[0], "up 4660 1110\n", &printed, 10000);
  close(master);  // hang up: touchhost must finish on its own
  int status = 0;
  waitpid(child, &status, 0);
  char rest[256];
  ssize_t n;
  while ((n = read(out[0], rest, sizeof rest)) > 0) printed.append(rest, static_cast<size_t>(n));

  if (!complete || printed != expected) {
    fprintf(stderr, "sdk-feed: touchhost printed:\n%s---\nexpected:\n%s---\n", printed.c_str(),
            expected.c_str());
    return 1;
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    fprintf(stderr, "sdk-feed: touchhost did not exit with status 0 after the hang-up (%d)\n",
            status);
    return 1;
  }
  printf("sdk-feed: touchhost printed the stroke from the out-of-tree plug-in and exited 0\n");
  return 0;
}
