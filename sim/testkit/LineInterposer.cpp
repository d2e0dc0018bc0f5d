#include "sim/testkit/LineInterposer.h"

#include <cerrno>
#include <cstdarg>
#include <dlfcn.h>
#include <map>
#include <mutex>
#include <sys/ioctl.h>
#include <sys/stat.h>

namespace tp::testkit {

namespace {

struct Device {
    int outputs = 0; // DTR, RTS as the handler set them
    int inputs = 0;  // what the simulated controller drives
    std::vector<ModemCall> calls;
    std::vector<LineSetting> settings;
    std::vector<int> flushes;
};

constexpr int kOutputLines = TIOCM_DTR | TIOCM_RTS;

std::mutex& lock()
{
    static std::mutex m;
    return m;
}

// Keyed by device number (st_rdev).
std::map<dev_t, Device>& devices()
{
    static std::map<dev_t, Device> table;
    return table;
}

bool deviceOfPath(const std::string& path, dev_t& dev)
{
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 || !S_ISCHR(st.st_mode))
        return false;
    dev = st.st_rdev;
    return true;
}

// The registered device behind fd, or null. Called with the lock held.
Device* deviceOfFd(int fd)
{
    if (devices().empty())
        return nullptr;
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode))
        return nullptr;
    auto it = devices().find(st.st_rdev);
    return it == devices().end() ? nullptr : &it->second;
}

template <class Fn>
auto withDevice(const std::string& path, Fn fn) -> decltype(fn(std::declval<Device&>()))
{
    dev_t dev{};
    std::lock_guard<std::mutex> g(lock());
    if (deviceOfPath(path, dev)) {
        auto it = devices().find(dev);
        if (it != devices().end())
            return fn(it->second);
    }
    Device none;
    return fn(none);
}

template <class Fn>
Fn realCall(const char* name)
{
    return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

} // namespace

void LineInterposer::registerDevice(const std::string& path)
{
    dev_t dev{};
    if (!deviceOfPath(path, dev))
        return;
    std::lock_guard<std::mutex> g(lock());
    devices()[dev] = Device{};
}

void LineInterposer::unregisterDevice(const std::string& path)
{
    dev_t dev{};
    if (!deviceOfPath(path, dev))
        return;
    std::lock_guard<std::mutex> g(lock());
    devices().erase(dev);
}

void LineInterposer::setInputLines(const std::string& path, int bits)
{
    withDevice(path, [bits](Device& d) { d.inputs = bits & ~kOutputLines; });
}

int LineInterposer::lines(const std::string& path)
{
    return withDevice(path, [](Device& d) { return d.outputs | d.inputs; });
}

std::vector<ModemCall> LineInterposer::modemCalls(const std::string& path)
{
    return withDevice(path, [](Device& d) { return d.calls; });
}

std::vector<LineSetting> LineInterposer::settings(const std::string& path)
{
    return withDevice(path, [](Device& d) { return d.settings; });
}

std::vector<int> LineInterposer::flushes(const std::string& path)
{
    return withDevice(path, [](Device& d) { return d.flushes; });
}

void LineInterposer::clearRecords(const std::string& path)
{
    withDevice(path, [](Device& d) {
        d.calls.clear();
        d.settings.clear();
        d.flushes.clear();
    });
}

} // namespace tp::testkit

using tp::testkit::Device;
using tp::testkit::deviceOfFd;
using tp::testkit::lock;

// glibc declares ioctl(int, unsigned long, ...); every request passes at most one pointer.
extern "C" int ioctl(int fd, unsigned long request, ...) noexcept
{
    va_list ap;
    va_start(ap, request);
    void* arg = va_arg(ap, void*);
    va_end(ap);

    bool modem = request == TIOCMGET || request == TIOCMBIS || request == TIOCMBIC ||
                 request == TIOCMSET;
    if (modem) {
        std::lock_guard<std::mutex> g(lock());
        if (Device* d = deviceOfFd(fd)) {
            int* bits = static_cast<int*>(arg);
            if (!bits) {
                errno = EFAULT;
                return -1;
            }
            if (request == TIOCMGET)
                *bits = d->outputs | d->inputs;
            else if (request == TIOCMBIS)
                d->outputs |= *bits & tp::testkit::kOutputLines;
            else if (request == TIOCMBIC)
                d->outputs &= ~*bits;
            else
                d->outputs = *bits & tp::testkit::kOutputLines;
            d->calls.push_back({request, *bits});
            return 0;
        }
    }
    using Ioctl = int (*)(int, unsigned long, ...);
    static Ioctl real = tp::testkit::realCall<Ioctl>("ioctl");
    return real(fd, request, arg);
}

extern "C" int tcsetattr(int fd, int action, const struct termios* tio) noexcept
{
    if (tio) {
        std::lock_guard<std::mutex> g(lock());
        if (Device* d = deviceOfFd(fd))
            d->settings.push_back({action, *tio});
    }
    using Tcsetattr = int (*)(int, int, const struct termios*);
    static Tcsetattr real = tp::testkit::realCall<Tcsetattr>("tcsetattr");
    return real(fd, action, tio);
}

extern "C" int tcflush(int fd, int queue) noexcept
{
    {
        std::lock_guard<std::mutex> g(lock());
        if (Device* d = deviceOfFd(fd))
            d->flushes.push_back(queue);
    }
    using Tcflush = int (*)(int, int);
    static Tcflush real = tp::testkit::realCall<Tcflush>("tcflush");
    return real(fd, queue);
}
