#include "serial/ZytronicsTouchHandler/ZytronicsProtocol.h"

#include <cctype>
#include <cstdio>

namespace zytronics {

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool hexNumber(const std::string& text, std::size_t& at, int& value)
{
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
        ++at;
    if (at + 2 < text.size() && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X') &&
        hexDigit(text[at + 2]) >= 0)
        at += 2;
    std::uint64_t v = 0;
    std::size_t digits = 0;
    for (; at < text.size() && hexDigit(text[at]) >= 0; ++at, ++digits) {
        v = v * 16 + static_cast<unsigned>(hexDigit(text[at]));
        if (v > 0xFFFFFFFFu)
            return false;
    }
    if (digits == 0)
        return false;
    value = static_cast<int>(static_cast<std::uint32_t>(v));
    return true;
}

} // namespace

bool parseSettings(const std::string& text, Settings& out)
{
    std::size_t at = 0;
    Settings s;
    if (!hexNumber(text, at, s.glassType) || !hexNumber(text, at, s.sensitivity))
        return false;
    out = s;
    return true;
}

std::string formatSettings(const Settings& s)
{
    char text[32];
    std::snprintf(text, sizeof text, "%x %x", static_cast<unsigned>(s.glassType),
                  static_cast<unsigned>(s.sensitivity));
    return text;
}

} // namespace zytronics
