#pragma once
// Whether a process holds a device open, from its descriptor table in /proc. Controllers that
// speak first (nothing tells them the handler is there) wait for it: the port is flushed when
// the handler opens it, so bytes sent earlier would be lost.

#include <chrono>
#include <dirent.h>
#include <string>
#include <sys/types.h>
#include <thread>
#include <unistd.h>

namespace passthrough_tests {

inline bool holdsOpen(pid_t pid, const std::string& path)
{
    const std::string dir = "/proc/" + std::to_string(pid) + "/fd";
    DIR* d = opendir(dir.c_str());
    if (!d)
        return false;
    bool found = false;
    while (dirent* e = readdir(d)) {
        char target[256] = {};
        const std::string link = dir + "/" + e->d_name;
        ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
        if (n > 0 && path == std::string(target, static_cast<std::size_t>(n)))
            found = true;
    }
    closedir(d);
    return found;
}

// Waits until this process holds `path` open (a handler in the same process opened it), and
// a moment more for the handler to set the port up. False if that did not happen in `timeout`.
inline bool waitUntilOpened(const std::string& path, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!holdsOpen(getpid(), path)) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    return true;
}

} // namespace passthrough_tests
