// The aic31-sim program: loads the codec module into the simulated kernel,
// runs the named exports in order and prints the proc register dump.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace aic31 {

struct SimOptions {
    bool trace = false;       // every SMBus transfer to standard error
    bool noCodec = false;     // nothing answers at 0x18
    bool noByteData = false;  // the adapter lacks the byte and byte-data transfers
    bool echoKernel = true;   // kernel log lines to standard error as printed
    std::string modulePath;
};

// args: the command line after the program name. Returns the exit status:
// 0 done, 1 the module or its proc entry failed, 2 a bad command line.
int runAic31Sim(const std::vector<std::string>& args, SimOptions options,
                std::ostream& out, std::ostream& err);

}  // namespace aic31
