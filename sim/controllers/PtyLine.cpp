#include "sim/controllers/PtyLine.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace tp::sim {

namespace {

using Clock = std::chrono::steady_clock;

std::runtime_error ptyError(const char* what)
{
    return std::runtime_error(std::string("pty: ") + what + ": " + std::strerror(errno));
}

int remainingMs(Clock::time_point deadline)
{
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

bool hungUp(int fd)
{
    if (fd < 0)
        return true;
    // A recorded stream in a plain file "hangs up" where it ends.
    struct stat st{};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        return ::lseek(fd, 0, SEEK_CUR) >= st.st_size;
    pollfd pfd{fd, POLLIN, 0};
    int r;
    do
        r = ::poll(&pfd, 1, 0);
    while (r < 0 && errno == EINTR);
    return r < 0 || (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

PtyLine::PtyLine()
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0)
        throw ptyError("posix_openpt");
    char name[128];
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0 ||
        ptsname_r(m_master, name, sizeof name) != 0) {
        int saved = errno;
        ::close(m_master);
        errno = saved;
        throw ptyError("unlock");
    }
    m_slavePath = name;
    // The line discipline belongs to the slave; on Linux the master's termios calls reach it.
    termios tio{};
    if (tcgetattr(m_master, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(m_master, TCSANOW, &tio);
    }
}

PtyLine::~PtyLine() { hangUp(); }

void PtyLine::hangUp()
{
    if (m_master >= 0) {
        ::close(m_master);
        m_master = -1;
    }
}

bool PtyLine::send(const Bytes& bytes) { return send(bytes.data(), bytes.size()); }

bool PtyLine::send(const void* data, std::size_t count)
{
    const auto* p = static_cast<const std::uint8_t*>(data);
    while (count > 0 && m_master >= 0) {
        ssize_t n = ::write(m_master, p, count);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        count -= static_cast<std::size_t>(n);
    }
    return count == 0;
}

Bytes PtyLine::receive(std::size_t count, std::chrono::milliseconds timeout,
                       std::chrono::milliseconds quiet)
{
    Bytes got;
    auto deadline = Clock::now() + timeout;
    while (m_master >= 0 && got.size() < count) {
        // Before the first byte wait the whole time-out; afterwards only for the quiet gap.
        int wait = got.empty() ? remainingMs(deadline) : static_cast<int>(quiet.count());
        pollfd pfd{m_master, POLLIN, 0};
        int r = ::poll(&pfd, 1, wait);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            break;
        std::uint8_t buf[256];
        std::size_t want = std::min(sizeof buf, count - got.size());
        ssize_t n = ::read(m_master, buf, want);
        if (n > 0) {
            got.insert(got.end(), buf, buf + n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // EIO: no slave has the line open right now (the handler closed or is reopening it).
        if (got.empty() && remainingMs(deadline) > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        break;
    }
    return got;
}

Bytes PtyLine::receiveExactly(std::size_t count, std::chrono::milliseconds timeout)
{
    Bytes got;
    auto deadline = Clock::now() + timeout;
    while (got.size() < count) {
        int left = remainingMs(deadline);
        if (left == 0)
            break;
        Bytes more = receive(count - got.size(), std::chrono::milliseconds(left),
                             std::chrono::milliseconds(left));
        if (more.empty())
            break;
        got.insert(got.end(), more.begin(), more.end());
    }
    return got;
}

Bytes PtyLine::drain(std::chrono::milliseconds quiet)
{
    return receive(static_cast<std::size_t>(-1), quiet, quiet);
}

bool PtyLine::waitConsumed(std::chrono::milliseconds timeout)
{
    // The slave's input queue is visible through a descriptor of our own on the slave. Bytes
    // still on their way from the master to the line discipline are not counted yet, so the
    // queue must stay empty for a few polls in a row.
    int probe = ::open(m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (probe < 0)
        return false;
    auto deadline = Clock::now() + timeout;
    int emptyPolls = 0;
    bool consumed = false;
    while (Clock::now() < deadline) {
        int pending = 0;
        if (::ioctl(probe, FIONREAD, &pending) != 0)
            break;
        emptyPolls = pending == 0 ? emptyPolls + 1 : 0;
        if (emptyPolls >= 5) {
            consumed = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::close(probe);
    return consumed;
}

} // namespace tp::sim
