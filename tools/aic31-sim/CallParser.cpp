#include "tools/aic31-sim/CallParser.h"

#include <cctype>
#include <climits>

namespace aic31 {
namespace {

bool isNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool isNameChar(char c) { return isNameStart(c) || std::isdigit(static_cast<unsigned char>(c)); }

std::string trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t");
    size_t e = s.find_last_not_of(" \t");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

bool parseNumber(const std::string& text, long long& value)
{
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    int base = 10;
    if (text.size() - i > 2 && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size())
        return false;
    unsigned long long v = 0;
    for (; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        int digit;
        if (std::isdigit(c))
            digit = c - '0';
        else if (base == 16 && std::isxdigit(c))
            digit = std::tolower(c) - 'a' + 10;
        else
            return false;
        v = v * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        if (v > UINT_MAX)
            return false;
    }
    if (negative && v > static_cast<unsigned long long>(INT_MAX) + 1)
        return false;
    value = negative ? -static_cast<long long>(v) : static_cast<long long>(v);
    return true;
}

}  // namespace

std::string ParsedCall::echo() const
{
    std::string s = name + "(";
    for (size_t i = 0; i < argText.size(); ++i)
        s += (i ? "," : "") + argText[i];
    return s + ")";
}

bool parseCall(const std::string& text, ParsedCall& call, std::string& error)
{
    call = ParsedCall();
    std::string t = trim(text);
    size_t open = t.find('(');
    if (open == std::string::npos || t.empty() || t.back() != ')') {
        error = "expected name(arg,...)";
        return false;
    }
    call.name = trim(t.substr(0, open));
    if (call.name.empty() || !isNameStart(call.name[0])) {
        error = "missing function name";
        return false;
    }
    for (char c : call.name) {
        if (!isNameChar(c)) {
            error = "bad function name";
            return false;
        }
    }
    std::string inner = t.substr(open + 1, t.size() - open - 2);
    if (trim(inner).empty())
        return true;
    size_t pos = 0;
    for (;;) {
        size_t comma = inner.find(',', pos);
        std::string arg = trim(inner.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos));
        long long value = 0;
        if (!parseNumber(arg, value)) {
            error = "bad argument '" + arg + "' (decimal or 0x-hex, 32 bits)";
            return false;
        }
        call.args.push_back(value);
        call.argText.push_back(arg);
        if (comma == std::string::npos)
            break;
        pos = comma + 1;
    }
    return true;
}

}  // namespace aic31
