#include "tools/touchhost/Options.h"

#include <gtest/gtest.h>

namespace {

using touchhost::Options;
using touchhost::parseOptions;

struct Accepted {
    std::vector<std::string> args;
    Options want;
};

TEST(TouchhostOptions, AcceptsWhatTheUsageShows)
{
    auto with = [](auto set) {
        Options o;
        set(o);
        return o;
    };
    const Accepted cases[] = {
        {{"EloTouchHandler", "/dev/ttyS0"},
         with([](Options& o) { o.plugin = "EloTouchHandler", o.device = "/dev/ttyS0"; })},
        {{"--plugin-dir", "/p", "--log", "input", "--log=phal", "--passthrough", "/dev/ttyGS0",
          "--baud", "19200", "--resolution", "800x480", "Elo", "/dev/ttyS1"},
         with([](Options& o) {
             o.plugin = "Elo", o.device = "/dev/ttyS1", o.pluginDir = "/p";
             o.logCategories = {"input", "phal"}, o.passthrough = "/dev/ttyGS0";
             o.baud = 19200, o.width = 800, o.height = 480;
         })},
        {{"--emulate", "EloTouchHandler"},
         with([](Options& o) { o.plugin = "EloTouchHandler", o.emulate = true; })},
        {{"--list-emulators"}, with([](Options& o) { o.listEmulators = true; })},
        {{"--resolution=65535X1", "--", "--odd-name", "dev"},
         with([](Options& o) { o.plugin = "--odd-name", o.device = "dev", o.width = 65535, o.height = 1; })},
    };
    for (const Accepted& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        Options o;
        std::string error;
        ASSERT_TRUE(parseOptions(c.args, o, error)) << error;
        EXPECT_EQ(o.plugin, c.want.plugin);
        EXPECT_EQ(o.device, c.want.device);
        EXPECT_EQ(o.pluginDir, c.want.pluginDir);
        EXPECT_EQ(o.passthrough, c.want.passthrough);
        EXPECT_EQ(o.logCategories, c.want.logCategories);
        EXPECT_EQ(o.baud, c.want.baud);
        EXPECT_EQ(o.width, c.want.width);
        EXPECT_EQ(o.height, c.want.height);
        EXPECT_EQ(o.emulate, c.want.emulate);
        EXPECT_EQ(o.listEmulators, c.want.listEmulators);
    }
}

TEST(TouchhostOptions, RejectsMistakesWithAReason)
{
    const std::vector<std::string> cases[] = {
        {},
        {"EloTouchHandler"},
        {"a", "b", "c"},
        {"--emulate", "EloTouchHandler", "/dev/ttyS0"},
        {"--baud", "0", "a", "b"},
        {"--baud", "-9600", "a", "b"},
        {"--baud", "96OO", "a", "b"},
        {"--baud", "99999999999999999999", "a", "b"},
        {"--resolution", "800", "a", "b"},
        {"--resolution", "0x480", "a", "b"},
        {"--resolution", "65536x1", "a", "b"},
        {"--resolution", "800x", "a", "b"},
        {"--log"},
        {"--log=", "a", "b"},
        {"--emulate=yes", "a"},
        {"--frobnicate", "a", "b"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(::testing::PrintToString(args));
        Options o;
        std::string error;
        EXPECT_FALSE(parseOptions(args, o, error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
}

} // namespace
