#pragma once
// One of our own programs run as a child process, its standard output and error kept in
// files so that nothing blocks however much it writes.
//
//   auto p = tp::testkit::ChildProcess::start(tp::testkit::builtProgram("touchhost"),
//                                             {"EloTouchHandler", line.slavePath()});
//   ... play the controller ...
//   int status = p.wait(5000ms);   // exit status, or -1 if it did not end in time
//   p.stdoutText();
//
// builtProgram() prefixes the emulator the build runs target programs under (qemu-user in
// the cross build), since this machine cannot start mipsel programs directly.

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tp::testkit {

// The command line that starts <build>/bin/<name>: the emulator's words, then the path.
std::vector<std::string> builtProgram(const std::string& name);

class ChildProcess {
public:
    static ChildProcess start(const std::vector<std::string>& command,
                              const std::vector<std::string>& args);
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&&) = delete;
    ChildProcess(const ChildProcess&) = delete;
    ~ChildProcess();  // kills a child still running

    pid_t pid() const { return m_pid; }
    // Exit status once the child has ended; -1 if it is still running after `timeout`.
    // A child ended by a signal gives 128 + the signal number.
    int wait(std::chrono::milliseconds timeout);
    bool running();
    void signal(int sig);

    std::string stdoutText() const;
    std::string stderrText() const;

private:
    ChildProcess() = default;

    pid_t m_pid = -1;
    int m_status = -1;
    std::string m_out, m_err;  // paths of the capture files
};

} // namespace tp::testkit
