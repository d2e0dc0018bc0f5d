#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "serial/SerialLine/SerialLine.h"

namespace {

// A raw pty: the test writes on master what a controller would send.
struct Line {
  int master = -1, slave = -1;
  Line() {
    EXPECT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    struct termios t;
    tcgetattr(slave, &t);
    cfmakeraw(&t);
    tcsetattr(slave, TCSANOW, &t);
  }
  ~Line() {
    close(master);
    close(slave);
  }
  void send(const std::string& s) const { ASSERT_EQ(write(master, s.data(), s.size()), (ssize_t)s.size()); }
};

long long msSince(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
}

TEST(ReadReply, CollectsPiecesUntilTerminatorOrLength) {
  const struct {
    const char* name;
    std::string first, later;  // later arrives 50 ms after first
    size_t want;
    std::string got;
  } cases[] = {
      {"whole", "\x01Q10123\r", "", 8, "\x01Q10123\r"},
      {"split", "\x01Q1", "0123\r", 8, "\x01Q10123\r"},
      {"short reply ends at CR", "\x01" "0\r", "", 8, "\x01" "0\r"},
      {"leading CR is data", "\r", "AB", 3, "\rAB"},
      {"stops at length", "\x01" "0\rXYZ", "", 3, "\x01" "0\r"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Line line;
    line.send(c.first);
    std::thread later([&] {
      if (c.later.empty()) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      line.send(c.later);
    });
    unsigned char buf[16];
    memset(buf, 0xEE, sizeof buf);
    const auto r = serial_line::readReply(line.slave, buf, c.want, 1000, 1000, '\r');
    later.join();
    EXPECT_FALSE(r.silent);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), r.count), c.got);
    EXPECT_EQ(buf[c.want], 0xEE) << "wrote past the requested length";
  }
}

TEST(ReadReply, SilentAndStalledLinesEndWithinTheirWaits) {
  Line line;
  unsigned char buf[8];
  auto t0 = std::chrono::steady_clock::now();
  auto r = serial_line::readReply(line.slave, buf, 8, 100, 100, '\r');
  EXPECT_TRUE(r.silent);
  EXPECT_EQ(r.count, 0u);
  EXPECT_LT(msSince(t0), 1000);

  line.send("\x01Q1");
  t0 = std::chrono::steady_clock::now();
  r = serial_line::readReply(line.slave, buf, 8, 100, 100, '\r');
  EXPECT_FALSE(r.silent);
  EXPECT_EQ(r.count, 3u);
  EXPECT_LT(msSince(t0), 1000);
}

TEST(ReadReply, HungUpLineIsAReadFailure) {
  Line line;
  close(line.master);
  line.master = open("/dev/null", O_RDONLY);
  unsigned char buf[8];
  const auto r = serial_line::readReply(line.slave, buf, 8, 100, 100, '\r');
  EXPECT_EQ(r.count, 0u);
  EXPECT_NE(r.readErrno, 0);
}

TEST(MakeRaw, AppliesSpeedAndLineBits) {
  Line line;
  bool called = false;
  const tcflag_t cflag = B19200 | CS8 | CSTOPB | CREAD | CLOCAL;
  EXPECT_EQ(serial_line::makeRaw(line.slave, cflag, [&] { called = true; }), serial_line::RawResult::Done);
  EXPECT_TRUE(called);
  struct termios t;
  ASSERT_EQ(tcgetattr(line.slave, &t), 0);
  EXPECT_EQ(cfgetospeed(&t), (speed_t)B19200);
  EXPECT_EQ(t.c_cflag & (CSIZE | CSTOPB | CREAD | CLOCAL), (tcflag_t)(CS8 | CSTOPB | CREAD | CLOCAL));
  EXPECT_EQ(t.c_lflag, 0u);
  EXPECT_EQ(t.c_iflag, 0u);
  EXPECT_EQ(t.c_cc[VMIN], 1);
  EXPECT_EQ(t.c_cc[VTIME], 1);

  int pipefd[2];
  ASSERT_EQ(pipe(pipefd), 0);
  EXPECT_EQ(serial_line::makeRaw(pipefd[0], cflag, [] {}), serial_line::RawResult::GetFailed);
  close(pipefd[0]);
  close(pipefd[1]);
}

}  // namespace
