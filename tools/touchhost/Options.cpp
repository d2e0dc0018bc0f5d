#include "tools/touchhost/Options.h"

#include <cerrno>
#include <cstdlib>

namespace touchhost {

namespace {

// A decimal number within [1, max]; rejects signs, blanks and trailing characters.
bool parseCount(const std::string& text, unsigned long max, unsigned long& value)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    errno = 0;
    unsigned long v = std::strtoul(text.c_str(), nullptr, 10);
    if (errno != 0 || v == 0 || v > max)
        return false;
    value = v;
    return true;
}

bool parseResolution(const std::string& text, Options& o)
{
    auto x = text.find_first_of("xX");
    unsigned long w = 0, h = 0;
    if (x == std::string::npos || !parseCount(text.substr(0, x), 65535, w) ||
        !parseCount(text.substr(x + 1), 65535, h))
        return false;
    o.width = static_cast<unsigned short>(w);
    o.height = static_cast<unsigned short>(h);
    return true;
}

} // namespace

const char* usage()
{
    return "usage: touchhost [options] PLUGIN DEVICE\n"
           "       touchhost [options] --emulate PLUGIN\n"
           "       touchhost --list-emulators\n"
           "options:\n"
           "  --plugin-dir DIR      where PLUGIN.so is looked for\n"
           "  --log NAME            enable a Logger category (repeatable), e.g. input\n"
           "  --passthrough DEVICE  attach DEVICE as the pass-through port to a PC\n"
           "  --baud N              the serial speed the panel is configured for\n"
           "  --resolution WxH      the display resolution the panel reports\n"
           "  --emulate             run PLUGIN against its emulated controller\n"
           "  --list-emulators      list the plug-in classes that have an emulator\n"
           "Prints \"down X Y\" / \"up X Y\" for every touch (raw controller units).\n";
}

bool parseOptions(const std::vector<std::string>& args, Options& o, std::string& error)
{
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0 || arg == "--") {
            if (arg == "--") {
                positional.insert(positional.end(), args.begin() + i + 1, args.end());
                break;
            }
            positional.push_back(arg);
            continue;
        }
        std::string value;
        bool inlineValue = false;
        auto eq = arg.find('=');
        if (eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            inlineValue = true;
        }
        auto flag = [&](bool& target) {
            if (inlineValue) {
                error = arg + " takes no value";
                return false;
            }
            target = true;
            return true;
        };
        auto take = [&]() {
            if (inlineValue)
                return true;
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return false;
            }
            value = args[++i];
            return true;
        };
        if (arg == "--emulate") {
            if (!flag(o.emulate))
                return false;
        } else if (arg == "--list-emulators") {
            if (!flag(o.listEmulators))
                return false;
        } else if (arg == "--help") {
            if (!flag(o.help))
                return false;
        } else if (arg == "--plugin-dir" || arg == "--log" || arg == "--passthrough" ||
                   arg == "--baud" || arg == "--resolution") {
            if (!take())
                return false;
            if (value.empty()) {
                error = arg + " needs a value";
                return false;
            }
            unsigned long n = 0;
            if (arg == "--plugin-dir") {
                o.pluginDir = value;
            } else if (arg == "--log") {
                o.logCategories.push_back(value);
            } else if (arg == "--passthrough") {
                o.passthrough = value;
            } else if (arg == "--baud") {
                if (!parseCount(value, 4000000, n)) {
                    error = "--baud needs a positive number of bits per second, not '" + value + "'";
                    return false;
                }
                o.baud = static_cast<unsigned int>(n);
            } else if (!parseResolution(value, o)) {
                error = "--resolution needs WIDTHxHEIGHT (1 to 65535 each), not '" + value + "'";
                return false;
            }
        } else {
            error = "unknown option " + arg;
            return false;
        }
    }
    if (o.help || o.listEmulators)
        return true;
    std::size_t wanted = o.emulate ? 1 : 2;
    if (positional.size() != wanted) {
        error = o.emulate ? "--emulate takes PLUGIN alone (no DEVICE)"
                          : "expected PLUGIN and DEVICE";
        return false;
    }
    o.plugin = positional[0];
    if (!o.emulate)
        o.device = positional[1];
    return true;
}

} // namespace touchhost
