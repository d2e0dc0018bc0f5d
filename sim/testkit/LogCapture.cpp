#include "sim/testkit/LogCapture.h"

namespace tp::testkit {

namespace {

// "<time> [<thread>] <level padded to 5>:<message>\n": the header ends at the first ':'
// after the thread's closing bracket.
bool splitLine(const std::string& line, std::string& level, std::string& message)
{
    auto bracket = line.find("] ");
    if (bracket == std::string::npos)
        return false;
    auto colon = line.find(':', bracket + 2);
    if (colon == std::string::npos)
        return false;
    level = line.substr(bracket + 2, colon - bracket - 2);
    while (!level.empty() && level.back() == ' ')
        level.pop_back();
    message = line.substr(colon + 1);
    if (!message.empty() && message.back() == '\n')
        message.pop_back();
    return true;
}

} // namespace

LogCapture::LogCapture(unsigned long categories) : m_categories(categories)
{
    Logger::Instance()->setMask(m_categories);
    Logger::Instance()->subscribe(this);
}

LogCapture::~LogCapture()
{
    Logger::Instance()->subscribe(nullptr);
    Logger::Instance()->clrMask(m_categories);
}

void LogCapture::diagString(char* line)
{
    std::lock_guard<std::mutex> g(m_lock);
    m_lines.emplace_back(line ? line : "");
}

std::vector<std::string> LogCapture::lines() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_lines;
}

std::vector<std::string> LogCapture::messages() const
{
    std::vector<std::string> out;
    std::string level, message;
    for (const std::string& line : lines())
        if (splitLine(line, level, message))
            out.push_back(message);
    return out;
}

std::size_t LogCapture::count(const std::string& text) const
{
    std::size_t n = 0;
    for (const std::string& m : messages())
        if (m.find(text) != std::string::npos)
            ++n;
    return n;
}

std::string LogCapture::levelOf(const std::string& text) const
{
    std::string level, message;
    for (const std::string& line : lines())
        if (splitLine(line, level, message) && message.find(text) != std::string::npos)
            return level;
    return {};
}

void LogCapture::clear()
{
    std::lock_guard<std::mutex> g(m_lock);
    m_lines.clear();
}

} // namespace tp::testkit
