// The choice of address behind mxGetHostByName, separated from the resolver so that it can
// be checked without a name service.
#ifndef MX_MXNAMERESOLVE_H
#define MX_MXNAMERESOLVE_H

#include <stdint.h>
#include <string>
#include <vector>

namespace mx {

struct HostEntry {
    std::string officialName;
    std::vector<uint32_t> addresses; // IPv4, network byte order, in the resolver's order
};

// Fills entry for name; false when the name does not resolve.
using HostResolver = bool (*)(const char* name, HostEntry& entry);

// The address to report for name: the first one unless it is loopback, in which case the
// second, or else the first address of the official name, or else loopback. 0 for a null
// name or one that does not resolve.
uint32_t pickHostAddress(const char* name, HostResolver resolve);

// The system's resolver (the hosts file, DNS...).
bool systemResolve(const char* name, HostEntry& entry);

} // namespace mx

#endif
