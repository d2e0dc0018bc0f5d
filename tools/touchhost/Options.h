#pragma once
// touchhost's command line.
//
//   touchhost [options] PLUGIN DEVICE     run PLUGIN.so on the serial port DEVICE
//   touchhost [options] --emulate PLUGIN  run it against its emulated controller on a pty
//   touchhost --list-emulators            the plug-in classes that have an emulator
//
// Options (also as --name=value): --plugin-dir DIR, --log NAME (repeatable), --passthrough
// DEVICE, --baud N, --resolution WxH, --help.

#include <string>
#include <vector>

namespace touchhost {

struct Options {
    std::string plugin;
    std::string device;
    std::string pluginDir;    // empty: the default folders
    std::string passthrough;  // empty: none
    std::vector<std::string> logCategories;
    unsigned int baud = 0;    // 0: not given
    unsigned short width = 0, height = 0;  // 0 x 0: not given
    bool emulate = false;
    bool listEmulators = false;
    bool help = false;
};

// Parses argv[1..]; on a mistake returns false with a one-line explanation in `error`.
bool parseOptions(const std::vector<std::string>& args, Options& options, std::string& error);

const char* usage();

} // namespace touchhost
