// The framework side of a serial handler: opening the port, the default framing, the
// path from processData to the touch sink with calibration, and the bookkeeping that
// handlers call into.

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "host/RecordingTouchSink.h"
#include "host/tests/ProbeHandler.h"
#include "host/tests/Pty.h"

namespace {

using Bytes = std::vector<unsigned char>;

// --- opening and configuring the controller port ---

struct PortCase {
  unsigned int cflag;
  unsigned int speed;     // as a handler passes it
  speed_t expectedSpeed;  // what the port runs at
};

class PortSettings : public ::testing::TestWithParam<PortCase> {};

TEST_P(PortSettings, ConstructorOpensTheDeviceRawWithTheGivenLine) {
  const PortCase c = GetParam();
  Pty pty;
  ASSERT_TRUE(pty.ok());
  ProbeHandler h(pty.slave(), c.cflag, c.speed);
  ASSERT_GE(h.m_fd, 0);
  EXPECT_EQ(h.m_cflag, c.cflag);
  EXPECT_EQ(h.m_speed, c.speed);
  EXPECT_EQ(h.m_passFd, -1);

  termios tio;
  ASSERT_EQ(tcgetattr(h.m_fd, &tio), 0);
  const tcflag_t line = CSIZE | CSTOPB | PARENB | CREAD | CLOCAL | CRTSCTS;
  EXPECT_EQ(tio.c_cflag & line, c.cflag & line);
  EXPECT_EQ(cfgetispeed(&tio), c.expectedSpeed);
  EXPECT_EQ(cfgetospeed(&tio), c.expectedSpeed);
  EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u) << "raw";
  EXPECT_EQ(tio.c_cc[VMIN], 1);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, PortSettings,
    ::testing::Values(PortCase{CS8 | CREAD | CLOCAL, B9600, B9600},
                      PortCase{CS8 | CSTOPB | CREAD | CLOCAL, B38400, B38400},
                      PortCase{CS8 | CREAD | CLOCAL | CRTSCTS, B115200, B115200},
                      // (a pty always keeps 8 data bits, so 7-bit lines are not tried here)
                      PortCase{CS8 | CSTOPB | CREAD | CLOCAL | CRTSCTS, B2400, B2400},
                      // a plain rate, as LocalInfo::getBaudRateBps() gives it
                      PortCase{CS8 | CREAD | CLOCAL | CRTSCTS, 19200, B19200}));

TEST(PacketBuffer, HoldsAtLeast32BytesAndAWholePacket) {
  const struct {
    int packetLength;
    int capacity;
  } cases[] = {{1, 32}, {8, 32}, {32, 32}, {40, 40}, {0, 32}, {-5, 32}};
  for (const auto& c : cases) {
    ProbeHandler h("/dev/null", CS8 | CREAD | CLOCAL, B9600, c.packetLength);
    EXPECT_EQ(h.packetCapacity(), c.capacity) << c.packetLength;
    EXPECT_GE(h.packetLength(), 1);
    EXPECT_NE(h.m_packet, nullptr);
  }
}

TEST(SerialPort, MissingDeviceLeavesNoDescriptorAndReadingFails) {
  ProbeHandler h("/nonexistent/tty");
  EXPECT_EQ(h.m_fd, -1);
  EXPECT_EQ(h.readData(), 0);
  EXPECT_EQ(h.openSerialPort("/nonexistent/tty", CS8 | CREAD, B9600), -1);
  EXPECT_EQ(h.openSerialPort("/dev/null", CS8 | CREAD, 12345), -1) << "no such speed";
  EXPECT_EQ(errno, EINVAL);
}

// --- the default framing ---

struct Touch {
  bool down;
  int x, y;
};

struct FramingCase {
  const char* name;
  bool syncOnBit7;
  Bytes stream;
  std::vector<Touch> touches;
};

class DefaultFraming : public ::testing::TestWithParam<FramingCase> {};

TEST_P(DefaultFraming, ReportsEachPacketOnce) {
  const FramingCase& c = GetParam();
  Pty pty;
  ASSERT_TRUE(pty.ok());
  host::RecordingTouchSink sink;
  ProbeHandler h(pty.slave());
  h.syncOnBit7 = c.syncOnBit7;
  ASSERT_TRUE(pty.send(c.stream));
  for (size_t i = 0; i < c.touches.size(); ++i) ASSERT_EQ(h.readData(), 1) << i;

  const auto reports = sink.reports();
  ASSERT_EQ(reports.size(), c.touches.size());
  for (size_t i = 0; i < reports.size(); ++i) {
    EXPECT_EQ(reports[i].down, c.touches[i].down) << i;
    EXPECT_EQ(reports[i].raw, GfPoint(c.touches[i].x, c.touches[i].y)) << i;
    EXPECT_EQ(reports[i].handler, &h);
  }
  // Nothing is left over: a hang-up now ends reading.
  pty.hangUp();
  EXPECT_EQ(h.readData(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Streams, DefaultFraming,
    ::testing::Values(
        FramingCase{"Clean", true, {0x81, 10, 20}, {{true, 10, 20}}},
        FramingCase{"LeadingNoiseIsSkipped", true, {0x01, 0x7F, 0x00, 0x81, 10, 20},
                    {{true, 10, 20}}},
        FramingCase{"TouchThenRelease", true, {0x81, 1, 2, 0x80, 3, 4},
                    {{true, 1, 2}, {false, 3, 4}}},
        FramingCase{"NoiseBetweenPackets", true, {0x81, 1, 2, 0x05, 0x80, 3, 4},
                    {{true, 1, 2}, {false, 3, 4}}},
        // the inline inSync takes every byte as a start: each three bytes are a packet
        FramingCase{"EveryByteStartsWithoutSync", false, {0x01, 7, 8, 0x00, 9, 10},
                    {{true, 7, 8}, {false, 9, 10}}}),
    [](const ::testing::TestParamInfo<FramingCase>& info) { return info.param.name; });

TEST(DefaultFramingEdge, APacketLongerThan32BytesFitsTheBuffer) {
  Pty pty;
  ASSERT_TRUE(pty.ok());
  host::RecordingTouchSink sink;
  ProbeHandler h(pty.slave(), CS8 | CREAD | CLOCAL, B9600, 40);
  Bytes packet(40, 0x11);
  packet[0] = 0x81;
  ASSERT_TRUE(pty.send(packet));
  EXPECT_EQ(h.readData(), 1);
  ASSERT_EQ(sink.count(), 1u);
  EXPECT_EQ(h.packet()[39], 0x11);
}

TEST(DefaultFramingEdge, HangUpInsideAPacketReportsNothing) {
  Pty pty;
  ASSERT_TRUE(pty.ok());
  host::RecordingTouchSink sink;
  ProbeHandler h(pty.slave());
  ASSERT_TRUE(pty.send({0x81, 1}));
  std::thread hangUp([&] {
    usleep(50 * 1000);
    pty.hangUp();
  });
  EXPECT_EQ(h.readData(), 0);
  hangUp.join();
  EXPECT_EQ(sink.count(), 0u);
}

// --- readn and writen ---

class Pipe {
 public:
  Pipe() { ok = pipe(fds) == 0; }
  ~Pipe() {
    closeRead();
    closeWrite();
  }
  void closeRead() {
    if (fds[0] >= 0) close(fds[0]);
    fds[0] = -1;
  }
  void closeWrite() {
    if (fds[1] >= 0) close(fds[1]);
    fds[1] = -1;
  }
  int fds[2] = {-1, -1};
  bool ok = false;
};

TEST(Readn, WaitsForTheWholeCountAcrossPieces) {
  Pipe p;
  ASSERT_TRUE(p.ok);
  ProbeHandler h("/dev/null");
  std::thread writer([&] {
    const unsigned char a[] = {1, 2}, b[] = {3, 4, 5};
    EXPECT_EQ(write(p.fds[1], a, sizeof a), 2);
    usleep(20 * 1000);
    EXPECT_EQ(write(p.fds[1], b, sizeof b), 3);
  });
  unsigned char got[5] = {};
  EXPECT_EQ(h.readn(p.fds[0], got, 5), 5);
  writer.join();
  EXPECT_EQ(got[4], 5);
}

TEST(Readn, EndOfFileGivesWhatCameThenZero) {
  Pipe p;
  ASSERT_TRUE(p.ok);
  ProbeHandler h("/dev/null");
  const unsigned char a[] = {9, 8};
  ASSERT_EQ(write(p.fds[1], a, sizeof a), 2);
  p.closeWrite();
  unsigned char got[4] = {};
  EXPECT_EQ(h.readn(p.fds[0], got, 4), 2);
  EXPECT_EQ(h.readn(p.fds[0], got, 4), 0);
}

TEST(Readn, ErrorsAreMinusOneWithErrno) {
  ProbeHandler h("/dev/null");
  unsigned char byte;
  errno = 0;
  EXPECT_EQ(h.readn(-1, &byte, 1), -1);
  EXPECT_EQ(errno, EBADF);
}

TEST(Writen, WritesEverythingOrFailsWithErrno) {
  signal(SIGPIPE, SIG_IGN);
  Pipe p;
  ASSERT_TRUE(p.ok);
  ProbeHandler h("/dev/null");
  unsigned char data[] = {1, 2, 3};
  EXPECT_EQ(h.writen(p.fds[1], data, sizeof data), 3);
  unsigned char back[3];
  EXPECT_EQ(read(p.fds[0], back, 3), 3);
  p.closeRead();
  errno = 0;
  EXPECT_EQ(h.writen(p.fds[1], data, sizeof data), -1);
  EXPECT_EQ(errno, EPIPE);
}

// --- processData, calibration and the sink ---

class Reporting : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.ok());
    h.reset(new ProbeHandler(pty.slave()));
  }
  // Feeds one packet and returns what reached the sink for it (false when nothing did).
  bool feed(bool down, int x, int y, host::TouchReport* out) {
    const size_t before = sink.count();
    if (!pty.send({static_cast<unsigned char>(0x80 | (down ? 1 : 0)),
                   static_cast<unsigned char>(x), static_cast<unsigned char>(y)}) ||
        h->readData() != 1) {
      return false;
    }
    const auto reports = sink.reports();
    if (reports.size() == before) return false;
    if (out) *out = reports.back();
    return true;
  }

  Pty pty;
  host::RecordingTouchSink sink;
  std::unique_ptr<ProbeHandler> h;
};

TEST_F(Reporting, IdentityUntilACalibrationIsSet) {
  host::TouchReport r;
  ASSERT_TRUE(feed(true, 100, 50, &r));
  EXPECT_EQ(r.screen, GfPoint(100, 50));

  // screen = (2x + 10, 3y - 5)
  CalibratedTouchHandler::CalibrationData data;
  data.raw[0] = GfPoint(0, 0), data.screen[0] = GfPoint(10, -5);
  data.raw[1] = GfPoint(100, 0), data.screen[1] = GfPoint(210, -5);
  data.raw[2] = GfPoint(0, 100), data.screen[2] = GfPoint(10, 295);
  ASSERT_TRUE(h->calculateCalibration(&data));
  ASSERT_TRUE(feed(false, 20, 30, &r));
  EXPECT_FALSE(r.down);
  EXPECT_EQ(r.raw, GfPoint(20, 30)) << "raw stays in controller units";
  EXPECT_EQ(r.screen, GfPoint(50, 85));

  h->clearCalibration();
  EXPECT_EQ(h->calibratePos(GfPoint(20, 30)), GfPoint(20, 30));
}

TEST_F(Reporting, DegenerateReferencePointsAreRefused) {
  CalibratedTouchHandler::CalibrationData line;  // three points on one line
  line.raw[0] = GfPoint(0, 0), line.raw[1] = GfPoint(10, 10), line.raw[2] = GfPoint(20, 20);
  line.screen[1] = GfPoint(5, 5);
  EXPECT_FALSE(h->calculateCalibration(&line));
  EXPECT_FALSE(h->calculateCalibration(nullptr));
  EXPECT_EQ(h->calibratePos(GfPoint(7, 9)), GfPoint(7, 9));
}

TEST_F(Reporting, DisabledOrStoppedHandlersReportNothing) {
  InputManager* manager = PHALKeeper::Instance()->getInputManager();
  manager->clearCalls();

  h->disable();
  EXPECT_FALSE(feed(true, 1, 1, nullptr));
  h->enable();
  EXPECT_TRUE(feed(true, 1, 1, nullptr));

  EXPECT_EQ(manager->stopTouch(h.get()), 1);
  EXPECT_FALSE(feed(true, 2, 2, nullptr));
  EXPECT_EQ(manager->resumeTouch(h.get()), 1);
  EXPECT_TRUE(feed(true, 3, 3, nullptr));

  ASSERT_EQ(manager->callCount(), 2u);
  EXPECT_EQ(manager->call(0).kind, InputManager::CALL_STOP);
  EXPECT_EQ(manager->call(1).kind, InputManager::CALL_RESUME);
  EXPECT_EQ(manager->call(1).handler, h.get());
}

TEST_F(Reporting, CalibrationModeLearnsThreeTouchesAndAppliesThem) {
  LocalInfo::Instance()->setResolution(1000, 800);
  h->enterCalibrationMode();
  // Targets sit at (100, 80), (900, 400), (500, 720); the controller reports half of that.
  const GfPoint raw[3] = {GfPoint(50, 40), GfPoint(450, 200), GfPoint(250, 360)};
  for (const GfPoint& p : raw) {
    EXPECT_FALSE(feed(true, p.x / 2, p.y / 2, nullptr)) << "calibration touches stay local";
    EXPECT_FALSE(feed(false, 0, 0, nullptr));
  }
  EXPECT_EQ(h->calibrationPoints(), 3);
  h->exitCalibrationMode(true);
  EXPECT_FALSE(h->inCalibrationMode());

  host::TouchReport r;
  ASSERT_TRUE(feed(true, 25, 20, &r));
  EXPECT_EQ(r.screen, GfPoint(100, 80));

  // A handler created later picks the written calibration up.
  ProbeHandler later("/dev/null");
  later.readCalibration();
  EXPECT_EQ(later.calibratePos(GfPoint(225, 100)), GfPoint(900, 400));
  LocalInfo::Instance()->setResolution(1024, 768);
}

// --- pass-through port, modem lines, port flags ---

TEST(PassThrough, AttachOpensAndDetachCloses) {
  Pty controller, pc;
  ASSERT_TRUE(controller.ok() && pc.ok());
  ProbeHandler h(controller.slave());
  EXPECT_EQ(h.attachPassThrough("/nonexistent/pc"), 0);
  EXPECT_EQ(h.m_passFd, -1);

  EXPECT_EQ(h.attachPassThrough(pc.slave()), 1);
  EXPECT_GT(h.m_passFd, 0);
  const int first = h.m_passFd;
  EXPECT_EQ(h.attachPassThrough(pc.slave()), 1);
  EXPECT_EQ(fcntl(first, F_GETFD), -1) << "the earlier port is closed, not leaked";

  const int attached = h.m_passFd;
  EXPECT_EQ(h.detachPassThrough(), 1);
  EXPECT_EQ(h.m_passFd, -1);
  EXPECT_EQ(fcntl(attached, F_GETFD), -1);
  EXPECT_EQ(h.detachPassThrough(), 1) << "detaching twice is harmless";
}

TEST(PassThrough, DestroyingTheHandlerClosesBothPorts) {
  Pty controller, pc;
  ASSERT_TRUE(controller.ok() && pc.ok());
  auto* h = new ProbeHandler(controller.slave());
  ASSERT_EQ(h->attachPassThrough(pc.slave()), 1);
  const int fd = h->m_fd, passFd = h->m_passFd;
  delete static_cast<InputHandler*>(h);
  EXPECT_EQ(fcntl(fd, F_GETFD), -1);
  EXPECT_EQ(fcntl(passFd, F_GETFD), -1);
}

TEST(Bookkeeping, LineChangesAndPresenceQueriesAreRecorded) {
  ProbeHandler h("/dev/null");
  h.lineControlChange(TIOCM_CTS, 1);
  h.lineControlChange(TIOCM_CAR, 0);
  EXPECT_EQ(h.lineChanges(), 2);
  EXPECT_EQ(h.lastLines(), TIOCM_CAR);
  EXPECT_EQ(h.lastLineState(), 0);
  EXPECT_TRUE(h.controllerIsPresent(0)) << "assumed present unless a handler can tell";
  EXPECT_EQ(h.presenceQueries(), 1);
}

TEST(Bookkeeping, DeviceReadyAnswersPerPortAndRefusesOthers) {
  ProbeHandler h("/dev/null");
  h.setDeviceReady(2, true);
  h.setDeviceReady(7, true);  // ignored
  const bool expected[4] = {false, false, true, false};
  for (int port = 0; port < 4; ++port) EXPECT_EQ(h.deviceReady(port), expected[port]) << port;
  EXPECT_FALSE(h.deviceReady(-1));
  EXPECT_FALSE(h.deviceReady(4));
  EXPECT_FALSE(h.thinPassthruMode());
  h.setThinPassthru(true);
  EXPECT_TRUE(h.thinPassthruMode());
}

}  // namespace
