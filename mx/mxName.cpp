// Host names and IPv4 addresses.
#include "mx/mx.h"
#include "mx/mxNameResolve.h"
#include "mx/mxFilePriv.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

namespace mx {

uint32_t pickHostAddress(const char* name, HostResolver resolve)
{
    HostEntry entry;
    if (!name || !resolve(name, entry) || entry.addresses.empty()) return 0;
    const uint32_t loopback = htonl(INADDR_LOOPBACK);
    if (entry.addresses[0] != loopback) return entry.addresses[0];
    if (entry.addresses.size() > 1) return entry.addresses[1];
    HostEntry official;
    if (!entry.officialName.empty() && resolve(entry.officialName.c_str(), official) && !official.addresses.empty())
        return official.addresses[0];
    return loopback;
}

bool systemResolve(const char* name, HostEntry& entry)
{
    // The reentrant lookup, so that threads looking up names do not share a result.
    std::vector<char> work(1024);
    struct hostent host;
    struct hostent* found = nullptr;
    int herr = 0;
    int rc;
    while ((rc = gethostbyname_r(name, &host, work.data(), work.size(), &found, &herr)) == ERANGE &&
           work.size() < (1u << 20))
        work.resize(work.size() * 2);
    if (rc != 0 || !found || found->h_addrtype != AF_INET || found->h_length != 4) return false;
    entry.officialName = found->h_name ? found->h_name : "";
    entry.addresses.clear();
    for (char** a = found->h_addr_list; a && *a; ++a) {
        struct in_addr address;
        std::memcpy(&address, *a, sizeof address);
        entry.addresses.push_back(address.s_addr);
    }
    return true;
}

} // namespace mx

extern "C" {

uint32_t mxGetHostByName(const char* name)
{
    return mx::pickHostAddress(name, mx::systemResolve);
}

void mxInetNtoa(uint32_t address, char* text)
{
    if (!text) return;
    struct in_addr in;
    in.s_addr = address;
    inet_ntop(AF_INET, &in, text, INET_ADDRSTRLEN);
}

uint32_t mxInetAddr(const char* text)
{
    struct in_addr in;
    if (!text || inet_aton(text, &in) == 0) return 0;
    return in.s_addr;
}

int mxGetHostName(char* buffer, int size)
{
    if (!buffer || size <= 0) return mx::invalidArgument();
    return gethostname(buffer, static_cast<size_t>(size));
}

} // extern "C"
