#pragma once
// Captures the Logger's lines for assertions on log texts.
//
// While a LogCapture lives it is the Logger's subscriber and the categories it was given are
// enabled, so level-0 ("Diag") lines of those categories are written and captured too. The
// categories are disabled again when it goes.

#include "util/Logger.h"

#include <mutex>
#include <string>
#include <vector>

namespace tp::testkit {

class LogCapture : public LoggerSubscriber {
public:
    explicit LogCapture(unsigned long categories = oidInput);
    ~LogCapture() override;
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    void diagString(char* line) override;

    // Whole lines as written ("<time> [<thread>] <level>:<message>\n").
    std::vector<std::string> lines() const;
    // Only the message part of each line (after the level's colon, without the newline).
    std::vector<std::string> messages() const;
    // How many captured messages contain `text`.
    std::size_t count(const std::string& text) const;
    bool contains(const std::string& text) const { return count(text) > 0; }
    // Level text ("Diag", "Info", "WARN", "ERROR") of the first message containing `text`,
    // empty when there is none.
    std::string levelOf(const std::string& text) const;
    void clear();

private:
    unsigned long m_categories;
    mutable std::mutex m_lock;
    std::vector<std::string> m_lines;
};

} // namespace tp::testkit
