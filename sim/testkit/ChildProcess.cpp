#include "sim/testkit/ChildProcess.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tp::testkit {

namespace {

std::string captureFile()
{
    char name[] = "/tmp/tp-child-XXXXXX";
    int fd = ::mkstemp(name);
    if (fd < 0)
        throw std::runtime_error("mkstemp failed");
    ::close(fd);
    return name;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int decode(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

} // namespace

std::vector<std::string> builtProgram(const std::string& name)
{
    std::vector<std::string> words;
    std::istringstream emulator(TP_EMULATOR);
    for (std::string w; emulator >> w;)
        words.push_back(w);
    words.push_back(std::string(TP_BINARY_DIR) + "/bin/" + name);
    return words;
}

ChildProcess ChildProcess::start(const std::vector<std::string>& command,
                                 const std::vector<std::string>& args)
{
    ChildProcess child;
    child.m_out = captureFile();
    child.m_err = captureFile();
    std::vector<std::string> all = command;
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all)
        argv.push_back(&a[0]);
    argv.push_back(nullptr);

    pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        int out = ::open(child.m_out.c_str(), O_WRONLY | O_TRUNC);
        int err = ::open(child.m_err.c_str(), O_WRONLY | O_TRUNC);
        int in = ::open("/dev/null", O_RDONLY);
        if (out < 0 || err < 0 || in < 0)
            ::_exit(126);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::setsid();  // no terminal of the test's: signals reach only what the test sends
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    child.m_pid = pid;
    return child;
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : m_pid(other.m_pid), m_status(other.m_status), m_out(std::move(other.m_out)),
      m_err(std::move(other.m_err))
{
    other.m_pid = -1;
    other.m_out.clear();
    other.m_err.clear();
}

ChildProcess::~ChildProcess()
{
    if (m_pid > 0 && running()) {
        ::kill(m_pid, SIGKILL);
        wait(std::chrono::milliseconds(5000));
    }
    if (!m_out.empty())
        ::unlink(m_out.c_str());
    if (!m_err.empty())
        ::unlink(m_err.c_str());
}

bool ChildProcess::running()
{
    if (m_pid <= 0 || m_status >= 0)
        return false;
    int status = 0;
    pid_t r = ::waitpid(m_pid, &status, WNOHANG);
    if (r == m_pid) {
        m_status = decode(status);
        return false;
    }
    return r == 0;
}

int ChildProcess::wait(std::chrono::milliseconds timeout)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return m_status;
}

void ChildProcess::signal(int sig)
{
    if (m_pid > 0 && m_status < 0)
        ::kill(m_pid, sig);
}

std::string ChildProcess::stdoutText() const { return readFile(m_out); }
std::string ChildProcess::stderrText() const { return readFile(m_err); }

} // namespace tp::testkit
