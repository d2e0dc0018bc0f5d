// Helpers of the logger tests: a private logger, a subscriber that keeps the
// lines it is given, and a redirection of standard error into a file.
#ifndef UTIL_TESTS_LOGGERFIXTURES_H
#define UTIL_TESTS_LOGGERFIXTURES_H

#include "util/Logger.h"

#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <regex.h>
#include <string>
#include <unistd.h>
#include <vector>

// A logger of its own for each test, apart from the process's instance.
class TestLogger : public Logger {
public:
    explicit TestLogger(long entries = 1000) : Logger(entries) {}
    ~TestLogger() override {}
};

class LineCollector : public LoggerSubscriber {
public:
    void diagString(char* line) override
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_lines.push_back(line);
    }
    std::vector<std::string> lines()
    {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_lines;
    }

private:
    std::mutex m_lock;
    std::vector<std::string> m_lines;
};

// Sends file descriptor 2 to a temporary file until destroyed.
class StderrToFile {
public:
    StderrToFile()
    {
        char name[] = "/tmp/logger-stderr-XXXXXX";
        const int fd = mkstemp(name);
        m_path = name;
        fflush(stderr);
        m_saved = dup(2);
        dup2(fd, 2);
        close(fd);
    }
    ~StderrToFile()
    {
        fflush(stderr);
        dup2(m_saved, 2);
        close(m_saved);
        unlink(m_path.c_str());
    }
    std::string text() const
    {
        fflush(stderr);
        std::string all;
        if (FILE* f = fopen(m_path.c_str(), "rb")) {
            char chunk[4096];
            size_t n;
            while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
                all.append(chunk, n);
            fclose(f);
        }
        return all;
    }

private:
    std::string m_path;
    int m_saved;
};

// A POSIX extended expression matched against whole strings.
class Pattern {
public:
    explicit Pattern(const std::string& pattern)
    {
        m_ok = regcomp(&m_re, ("^" + pattern + "$").c_str(), REG_EXTENDED) == 0;
    }
    ~Pattern()
    {
        if (m_ok)
            regfree(&m_re);
    }
    Pattern(const Pattern&) = delete;
    Pattern& operator=(const Pattern&) = delete;

    // *groups gets the parenthesised parts that matched, in order, when asked for.
    bool matches(const std::string& text, std::vector<std::string>* groups) const
    {
        const size_t most = 8;
        regmatch_t parts[most];
        if (!m_ok || regexec(&m_re, text.c_str(), most, parts, 0) != 0)
            return false;
        for (size_t i = 1; groups != nullptr && i < most && parts[i].rm_so >= 0; ++i)
            groups->push_back(text.substr(parts[i].rm_so, parts[i].rm_eo - parts[i].rm_so));
        return true;
    }

    // *group gets the last parenthesised part that matched, when asked for.
    bool matches(const std::string& text, std::string* group = nullptr) const
    {
        std::vector<std::string> groups;
        if (!matches(text, &groups))
            return false;
        if (group != nullptr && !groups.empty())
            *group = groups.back();
        return true;
    }

private:
    regex_t m_re;
    bool m_ok;
};

inline bool matchesWhole(const std::string& text, const std::string& pattern, std::string* group = nullptr)
{
    return Pattern(pattern).matches(text, group);
}

// The time header and thread id that begin every line.
const char linePattern[] = "[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{2} \\[(-?[0-9]+)\\] ";

inline std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

#endif
