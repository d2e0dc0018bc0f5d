// One call as aic31-sim takes it on its command line: name(arg,arg,...),
// arguments in decimal or 0x-hex, optionally negative.
#pragma once

#include <string>
#include <vector>

namespace aic31 {

struct ParsedCall {
    std::string name;
    std::vector<long long> args;
    std::vector<std::string> argText;  // as written, for the echo

    // name(args) as it is printed back
    std::string echo() const;
};

// False with a reason in error if text is not a well-formed call. Arguments
// must fit 32 bits (signed or unsigned).
bool parseCall(const std::string& text, ParsedCall& call, std::string& error);

}  // namespace aic31
