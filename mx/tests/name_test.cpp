// Host names and IPv4 addresses.
#include "mx/mx.h"
#include "mx/mxNameResolve.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cstring>
#include <map>
#include <unistd.h>

namespace {

uint32_t ip(const char* text)
{
    struct in_addr a;
    EXPECT_EQ(inet_pton(AF_INET, text, &a), 1) << text;
    return a.s_addr;
}

// A name service in a table: the names it knows and what each resolves to.
std::map<std::string, mx::HostEntry> g_hosts;

bool tableResolve(const char* name, mx::HostEntry& entry)
{
    auto found = g_hosts.find(name);
    if (found == g_hosts.end()) return false;
    entry = found->second;
    return true;
}

struct PickCase {
    const char* what;
    std::map<std::string, mx::HostEntry> hosts;
    const char* name;
    const char* expected; // dotted text, or null for 0
};

void PrintTo(const PickCase& c, std::ostream* os) { *os << c.what; }

class PickHostAddress : public testing::TestWithParam<PickCase> {};

TEST_P(PickHostAddress, PrefersARealInterfaceOverLoopback)
{
    const PickCase& c = GetParam();
    g_hosts = c.hosts;
    EXPECT_EQ(mx::pickHostAddress(c.name, tableResolve), c.expected ? ip(c.expected) : 0u) << c.what;
}

std::vector<uint32_t> ips(std::initializer_list<const char*> texts)
{
    std::vector<uint32_t> out;
    for (const char* t : texts) out.push_back(ip(t));
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PickHostAddress,
    testing::Values(
        PickCase{"null name", {}, nullptr, nullptr},
        PickCase{"unknown name", {}, "panel", nullptr},
        PickCase{"no addresses", {{"panel", {"panel", {}}}}, "panel", nullptr},
        PickCase{"first is real", {{"panel", {"panel", ips({"10.1.2.3", "10.9.9.9"})}}}, "panel", "10.1.2.3"},
        PickCase{"loopback then real", {{"panel", {"panel", ips({"127.0.0.1", "192.168.0.7"})}}}, "panel",
                 "192.168.0.7"},
        PickCase{"loopback only, official name elsewhere",
                 {{"panel", {"panel.lan", ips({"127.0.0.1"})}}, {"panel.lan", {"panel.lan", ips({"10.0.0.5"})}}},
                 "panel", "10.0.0.5"},
        PickCase{"loopback only, official name unknown", {{"panel", {"panel.lan", ips({"127.0.0.1"})}}}, "panel",
                 "127.0.0.1"},
        PickCase{"loopback only, no official name", {{"panel", {"", ips({"127.0.0.1"})}}}, "panel", "127.0.0.1"},
        PickCase{"other loopback addresses are real enough", {{"panel", {"panel", ips({"127.0.1.1"})}}}, "panel",
                 "127.0.1.1"}));

TEST(GetHostByName, NullAndDottedText)
{
    EXPECT_EQ(mxGetHostByName(nullptr), 0u);
    const uint32_t a = mxGetHostByName("10.0.0.1");
    unsigned char bytes[4];
    memcpy(bytes, &a, sizeof bytes);
    EXPECT_EQ(bytes[0], 0x0A);
    EXPECT_EQ(bytes[1], 0x00);
    EXPECT_EQ(bytes[2], 0x00);
    EXPECT_EQ(bytes[3], 0x01);
}

struct AddrCase {
    const char* text;
    uint32_t expected; // host byte order
};

void PrintTo(const AddrCase& c, std::ostream* os) { *os << (c.text ? c.text : "null"); }

class InetAddr : public testing::TestWithParam<AddrCase> {};

TEST_P(InetAddr, NetworkByteOrderOrZero)
{
    EXPECT_EQ(mxInetAddr(GetParam().text), htonl(GetParam().expected)) << (GetParam().text ? GetParam().text : "null");
}

INSTANTIATE_TEST_SUITE_P(Cases, InetAddr,
                         testing::Values(AddrCase{"10.0.0.1", 0x0A000001u}, AddrCase{"192.168.1.254", 0xC0A801FEu},
                                         AddrCase{"255.255.255.255", 0xFFFFFFFFu}, AddrCase{nullptr, 0},
                                         AddrCase{"", 0}, AddrCase{"panel", 0}, AddrCase{"1.2.3.256", 0},
                                         AddrCase{"1.2.3.4x", 0}));

TEST(InetAddr, MemoryOrderOfTenDotZeroDotZeroDotOne)
{
    const uint32_t a = mxInetAddr("10.0.0.1");
    const unsigned char expected[4] = {0x0A, 0x00, 0x00, 0x01};
    EXPECT_EQ(memcmp(&a, expected, 4), 0);
}

TEST(InetNtoa, WritesDottedTextAndIgnoresANullBuffer)
{
    char text[16];
    memset(text, 'X', sizeof text);
    mxInetNtoa(mxInetAddr("255.255.255.255"), text);
    EXPECT_STREQ(text, "255.255.255.255");
    mxInetNtoa(mxInetAddr("10.0.0.1"), text);
    EXPECT_STREQ(text, "10.0.0.1");
    mxInetNtoa(0, nullptr);
}

TEST(GetHostName, SameAsTheSystemAndNullFails)
{
    char mine[256] = {}, system[256] = {};
    ASSERT_EQ(mxGetHostName(mine, sizeof mine), 0);
    ASSERT_EQ(gethostname(system, sizeof system), 0);
    EXPECT_STREQ(mine, system);
    EXPECT_EQ(mxGetHostName(nullptr, 10), -1);
    EXPECT_EQ(mxGetHostName(mine, 0), -1);
    EXPECT_EQ(mxGetHostName(mine, -5), -1);
}

} // namespace
