// aic31-sim [--trace] [--no-codec] [--no-byte-data] 'name(arg,...)' ...
#include "tools/aic31-sim/Aic31Sim.h"

#include <climits>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// The module next to this program's tree (<build>/lib/kernel), if it is there.
std::string moduleBesideProgram()
{
    char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof(exe) - 1);
    if (n <= 0)
        return std::string();
    std::string dir(exe, static_cast<size_t>(n));
    dir = dir.substr(0, dir.find_last_of('/'));
    std::string path = dir + "/../lib/kernel/aic31-codec.so";
    return access(path.c_str(), R_OK) == 0 ? path : std::string();
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    aic31::SimOptions options;
    options.modulePath = moduleBesideProgram();
    return aic31::runAic31Sim(args, options, std::cout, std::cerr);
}
