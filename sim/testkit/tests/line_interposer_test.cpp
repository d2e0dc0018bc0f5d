// The interposer serves modem lines and records line settings for registered devices only;
// every other descriptor reaches the real calls.

#include "sim/controllers/PtyLine.h"
#include "sim/testkit/LineInterposer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <iterator>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

using tp::testkit::InterposedLine;
using tp::testkit::LineInterposer;

struct Fd {
    int fd;
    explicit Fd(const std::string& path) : fd(::open(path.c_str(), O_RDWR | O_NOCTTY)) {}
    ~Fd() { ::close(fd); }
};

TEST(LineInterposer, ModemRequestsOnARegisteredLineAreServedFromItsTable)
{
    tp::sim::PtyLine pty;
    InterposedLine lines(pty.slavePath());
    Fd port(pty.slavePath());
    ASSERT_GE(port.fd, 0);
    LineInterposer::setInputLines(pty.slavePath(), TIOCM_CTS | TIOCM_CAR);

    struct Step {
        unsigned long request;
        int arg;
        int linesAfter;
    } steps[] = {
        {TIOCMBIS, TIOCM_DTR, TIOCM_DTR | TIOCM_CTS | TIOCM_CAR},
        {TIOCMBIS, TIOCM_RTS, TIOCM_DTR | TIOCM_RTS | TIOCM_CTS | TIOCM_CAR},
        {TIOCMBIC, TIOCM_DTR, TIOCM_RTS | TIOCM_CTS | TIOCM_CAR},
        {TIOCMBIS, TIOCM_CTS, TIOCM_RTS | TIOCM_CTS | TIOCM_CAR},  // inputs are not the handler's
        {TIOCMSET, TIOCM_DTR, TIOCM_DTR | TIOCM_CTS | TIOCM_CAR},
    };
    for (const Step& s : steps) {
        int arg = s.arg;
        ASSERT_EQ(ioctl(port.fd, s.request, &arg), 0);
        int got = 0;
        ASSERT_EQ(ioctl(port.fd, TIOCMGET, &got), 0);
        EXPECT_EQ(got, s.linesAfter) << "after request " << s.request;
    }
    auto calls = LineInterposer::modemCalls(pty.slavePath());
    ASSERT_EQ(calls.size(), 2 * std::size(steps));
    EXPECT_EQ(calls[0].request, static_cast<unsigned long>(TIOCMBIS));
    EXPECT_EQ(calls[0].bits, TIOCM_DTR);

    // A second descriptor on the same device sees the same lines.
    Fd again(pty.slavePath());
    int got = 0;
    ASSERT_EQ(ioctl(again.fd, TIOCMGET, &got), 0);
    EXPECT_EQ(got, TIOCM_DTR | TIOCM_CTS | TIOCM_CAR);
}

TEST(LineInterposer, LineSettingsAndFlushesAreRecordedAndApplied)
{
    tp::sim::PtyLine pty;
    InterposedLine lines(pty.slavePath());
    Fd port(pty.slavePath());
    termios tio{};
    ASSERT_EQ(tcgetattr(port.fd, &tio), 0);
    cfsetispeed(&tio, B19200);
    cfsetospeed(&tio, B19200);
    ASSERT_EQ(tcsetattr(port.fd, TCSADRAIN, &tio), 0);
    ASSERT_EQ(tcflush(port.fd, TCIOFLUSH), 0);

    auto settings = LineInterposer::settings(pty.slavePath());
    ASSERT_EQ(settings.size(), 1u);
    EXPECT_EQ(settings[0].action, TCSADRAIN);
    EXPECT_EQ(settings[0].inputSpeed(), static_cast<speed_t>(B19200));
    EXPECT_EQ(LineInterposer::flushes(pty.slavePath()), std::vector<int>{TCIOFLUSH});
    termios now{};
    ASSERT_EQ(tcgetattr(port.fd, &now), 0);
    EXPECT_EQ(cfgetispeed(&now), static_cast<speed_t>(B19200)) << "the real call was not made";
}

TEST(LineInterposer, OtherDescriptorsReachTheRealCalls)
{
    tp::sim::PtyLine registered, other;
    InterposedLine lines(registered.slavePath());
    Fd port(other.slavePath());
    int bits = TIOCM_DTR;
    // A pty has no modem lines of its own: the real call refuses.
    EXPECT_NE(ioctl(port.fd, TIOCMBIS, &bits), 0);
    other.send({1, 2, 3});
    pollfd ready{port.fd, POLLIN, 0};
    ASSERT_EQ(poll(&ready, 1, 2000), 1);
    int pending = 0;
    ASSERT_EQ(ioctl(port.fd, FIONREAD, &pending), 0);
    EXPECT_EQ(pending, 3);
    termios tio{};
    ASSERT_EQ(tcgetattr(port.fd, &tio), 0);
    ASSERT_EQ(tcsetattr(port.fd, TCSANOW, &tio), 0);
    EXPECT_TRUE(LineInterposer::settings(other.slavePath()).empty());
    EXPECT_TRUE(LineInterposer::modemCalls(registered.slavePath()).empty());
}

} // namespace
