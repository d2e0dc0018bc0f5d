#pragma once
// A controller played by a test on the far end of a PtyLine, on a thread of its own, so that
// handlers whose constructor or InitTouchHandler talks to the controller can be driven.
//
// Each rule waits for its trigger among the bytes the handler sent (after what earlier rules
// consumed), then answers with its pieces, a short pause between them (so a reply can be
// split across reads). A rule with a speed answers only while the line runs at that speed;
// a trigger seen at another speed is passed over. Rules fire in order, each once.
#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "sim/controllers/PtyLine.h"

namespace serial_test {

using tp::sim::Bytes;

inline Bytes bytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

struct Rule {
    std::string trigger;
    std::vector<std::string> reply;  // pieces, sent 30 ms apart
    speed_t onlyAt = 0;              // 0: any speed
};

class ScriptedController {
public:
    ScriptedController(tp::sim::PtyLine& line, std::vector<Rule> rules)
        : m_line(line),
          // A pty forgets what the handler wrote when its last slave descriptor closes, which
          // a real line does not: holding one open keeps a handler's close and reopen honest.
          m_keepOpen(open(line.slavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC)),
          m_rules(std::move(rules)),
          m_thread([this] { run(); })
    {
    }
    ~ScriptedController()
    {
        m_stop = true;
        m_thread.join();
        if (m_keepOpen >= 0)
            close(m_keepOpen);
    }
    ScriptedController(const ScriptedController&) = delete;
    ScriptedController& operator=(const ScriptedController&) = delete;

    // Everything the handler sent so far.
    std::string received() const
    {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_received;
    }
    size_t answered() const { return m_next; }

private:
    void run()
    {
        size_t searchFrom = 0;
        while (!m_stop) {
            pollfd p{m_line.masterFd(), POLLIN, 0};
            if (poll(&p, 1, 5) <= 0)
                continue;
            char buf[256];
            const ssize_t n = read(m_line.masterFd(), buf, sizeof buf);
            if (n <= 0) {  // the handler has the port closed for a moment
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                continue;
            }
            std::string seen;
            {
                std::lock_guard<std::mutex> hold(m_lock);
                m_received.append(buf, static_cast<size_t>(n));
                seen = m_received;
            }
            while (m_next < m_rules.size()) {
                const Rule& rule = m_rules[m_next];
                const size_t at = seen.find(rule.trigger, searchFrom);
                if (at == std::string::npos)
                    break;
                searchFrom = at + rule.trigger.size();
                if (rule.onlyAt != 0 && lineSpeed() != rule.onlyAt)
                    continue;
                for (size_t i = 0; i < rule.reply.size(); ++i) {
                    if (i > 0)
                        std::this_thread::sleep_for(std::chrono::milliseconds(30));
                    m_line.send(rule.reply[i].data(), rule.reply[i].size());
                }
                ++m_next;
            }
        }
    }

    speed_t lineSpeed() const
    {
        termios t{};
        if (tcgetattr(m_line.masterFd(), &t) != 0)
            return 0;
        return cfgetospeed(&t);
    }

    tp::sim::PtyLine& m_line;
    int m_keepOpen;
    std::vector<Rule> m_rules;
    std::atomic<size_t> m_next{0};
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_lock;
    std::string m_received;
    std::thread m_thread;
};

}  // namespace serial_test
