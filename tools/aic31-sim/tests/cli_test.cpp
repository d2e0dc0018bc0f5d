// aic31-sim's command line: call syntax, and a whole run in-process.
#include "tools/aic31-sim/Aic31Sim.h"
#include "tools/aic31-sim/CallParser.h"

#include <gtest/gtest.h>

#include <sstream>

using aic31::ParsedCall;
using aic31::parseCall;

namespace {

struct ParseCase {
    const char* text;
    bool ok;
    const char* name;
    std::vector<long long> args;
    const char* echo;
};

}  // namespace

TEST(CallSyntax, AcceptsDecimalAndHexAndRefusesTheRest)
{
    const ParseCase cases[] = {
        {"ti_smbus_read()", true, "ti_smbus_read", {}, "ti_smbus_read()"},
        {"ti_codec_rate_select(4)", true, "ti_codec_rate_select", {4}, "ti_codec_rate_select(4)"},
        {" f( 0x1F , 16,-1 ) ", true, "f", {31, 16, -1}, "f(0x1F,16,-1)"},
        {"f(0XfF,4294967295,-2147483648)", true, "f", {255, 4294967295LL, -2147483648LL},
         "f(0XfF,4294967295,-2147483648)"},
        {"f(010)", true, "f", {10}, "f(010)"},  // decimal, not octal
        {"f", false, nullptr, {}, nullptr},
        {"f(1", false, nullptr, {}, nullptr},
        {"(1)", false, nullptr, {}, nullptr},
        {"1f(1)", false, nullptr, {}, nullptr},
        {"f-g(1)", false, nullptr, {}, nullptr},
        {"f(1,)", false, nullptr, {}, nullptr},
        {"f(,1)", false, nullptr, {}, nullptr},
        {"f(0x)", false, nullptr, {}, nullptr},
        {"f(12a)", false, nullptr, {}, nullptr},
        {"f(4294967296)", false, nullptr, {}, nullptr},
        {"f(-2147483649)", false, nullptr, {}, nullptr},
        {"f(1)(2)", false, nullptr, {}, nullptr},
    };
    for (const ParseCase& c : cases) {
        ParsedCall call;
        std::string why;
        ASSERT_EQ(c.ok, parseCall(c.text, call, why)) << c.text << ": " << why;
        if (!c.ok) {
            EXPECT_FALSE(why.empty()) << c.text;
            continue;
        }
        EXPECT_EQ(c.name, call.name) << c.text;
        EXPECT_EQ(c.args, call.args) << c.text;
        EXPECT_EQ(c.echo, call.echo()) << c.text;
    }
}

namespace {

int run(std::vector<std::string> args, std::string& out, std::string& err)
{
    aic31::SimOptions options;
    options.echoKernel = false;
    std::ostringstream o, e;
    int rc = aic31::runAic31Sim(args, options, o, e);
    out = o.str();
    err = e.str();
    return rc;
}

}  // namespace

TEST(Aic31Sim, RunsTheCallsInOrderThenPrintsTheProcText)
{
    std::string out, err;
    ASSERT_EQ(0, run({"ti_codec_rate_select(11)", "ti_get_mod_power_status()", "ti_smbus_read()",
                      "ti_pll_program_reg_b(0x20)"},
                     out, err));
    EXPECT_EQ("", err);
    EXPECT_EQ(0u, out.find("ti_codec_rate_select(11) = 1\n"
                           "ti_get_mod_power_status() = 0\n"
                           "ti_smbus_read() = void\n"
                           "ti_pll_program_reg_b(0x20) = 0\n"
                           "\nTI TLV320AIC31 Register Config\n"));
    EXPECT_NE(std::string::npos, out.find("Internal write errors: 1\n"));
    EXPECT_NE(std::string::npos, out.find("Actual PLL J value:     32\n"));
    EXPECT_EQ(out.size() - 2, out.rfind("\n\n"));  // the summary closes the text
}

TEST(Aic31Sim, WithoutCodecOrByteDataTheExportsFail)
{
    for (const char* option : {"--no-codec", "--no-byte-data"}) {
        std::string out, err;
        ASSERT_EQ(0, run({option, "ti_clock_gen_control(1,1)", "ti_get_codec_overflow_status()"}, out, err))
            << option;
        EXPECT_EQ(0u, out.find("ti_clock_gen_control(1,1) = -19\n"
                               "ti_get_codec_overflow_status() = 4294967277\n"))
            << option << "\n" << out;
        EXPECT_EQ(std::string::npos, out.find("Fsref divisor")) << option;
    }
}

TEST(Aic31Sim, BadCommandLinesRunNothing)
{
    const std::vector<std::vector<std::string>> bad = {
        {"ti_nonexistent(1)"},
        {"ti_codec_rate_select()"},
        {"ti_codec_rate_select(1,2)"},
        {"ti_codec_rate_select(x)"},
        {"--frobnicate"},
        {"ti_codec_rate_select(4)", "ti_send_command(1,2)"},  // not exported
    };
    for (const auto& args : bad) {
        std::string out, err;
        EXPECT_EQ(2, run(args, out, err)) << args[0];
        EXPECT_EQ("", out) << args[0];
        EXPECT_EQ(0u, err.find("aic31-sim: ")) << err;
    }
}

TEST(Aic31Sim, MissingModuleIsReported)
{
    aic31::SimOptions options;
    options.modulePath = "/nonexistent/aic31-codec.so";
    options.echoKernel = false;
    std::ostringstream o, e;
    EXPECT_EQ(1, aic31::runAic31Sim({}, options, o, e));
    EXPECT_NE(std::string::npos, e.str().find("loading /nonexistent/aic31-codec.so failed"));
}
