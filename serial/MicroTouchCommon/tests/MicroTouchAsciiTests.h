#pragma once
// Behaviour of the MicroTouch ASCII plug-ins through a pty and the real plug-in file, shared
// by the four plug-ins' test programs; each instantiates it with its own variant.
//
// The controller's side is written out by hand here (commands as bytes, replies as strings),
// not produced by the code under test.

#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "contract/ZorlanTouchHandler.h"
#include "serial/SerialLine/testing/ScriptedController.h"
#include "sim/testkit/LogCapture.h"
#include "sim/testkit/SerialPluginHarness.h"

namespace microtouch_tests {

using serial_test::Rule;
using serial_test::ScriptedController;
using tp::sim::Bytes;
using tp::testkit::LineInterposer;

struct Variant {
    const char* plugin;
    bool fullSetup;     // false: the pen handler, which only resets
    bool carrierGated;  // 8N1 only with carrier detect
    bool xSecond;       // x from the second report field
};

inline std::ostream& operator<<(std::ostream& os, const Variant& v) { return os << v.plugin; }

const std::string kSetup = std::string("\x01R\r") + "\x01" "AD\r" + "\x01PN81\r" + "\x01" "FT\r" +
                           "\x01MS\r" + "\x01PL\r" + "\x01OI\r";
const std::string kSetupBeforeReopen = std::string("\x01R\r") + "\x01" "AD\r" + "\x01PN81\r";
const std::string kIdentity = "\x01Q10123\r";

inline std::string msg(const Variant& v, const std::string& text) { return std::string(v.plugin) + ": " + text; }

class MicroTouchAsciiTest : public ::testing::TestWithParam<Variant> {};

// What the port was set to, in order: the framework's open at 7N2, then the reopen at 8N1.
inline std::vector<tcflag_t> charSizes(const std::string& device)
{
    std::vector<tcflag_t> sizes;
    for (const auto& s : LineInterposer::settings(device))
        sizes.push_back(s.tio.c_cflag & CSIZE);
    return sizes;
}

TEST_P(MicroTouchAsciiTest, SetupCommandsInOrderThenIdentityIsLogged)
{
    const Variant v = GetParam();
    for (int carrier : {0, TIOCM_CAR}) {
        SCOPED_TRACE(carrier ? "carrier detect" : "no carrier");
        tp::testkit::LogCapture log;
        tp::testkit::SerialPluginHarness h(v.plugin, carrier);
        ScriptedController controller(h.line(), {Rule{"\x01OI\r", {kIdentity}}});
        auto handler = h.create();
        ASSERT_TRUE(handler);
        if (!v.fullSetup) {
            for (int i = 0; i < 100 && controller.received().size() < 3; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            EXPECT_EQ(controller.received(), "\x01R\r");
            EXPECT_EQ(log.levelOf(msg(v, "reset")), "Diag");
            EXPECT_FALSE(log.contains("detected"));
            continue;
        }
        const bool reopened = !v.carrierGated || carrier != 0;
        // Where the port is reopened, the framework flushes the new descriptor; on a pty that
        // discards what the controller side had not read yet (a real line sends it before
        // close returns). So before the reopen only a prefix of the commands may be seen;
        // everything after it must arrive whole and in order.
        const std::string got = controller.received();
        if (reopened) {
            const std::string post = kSetup.substr(kSetupBeforeReopen.size());
            ASSERT_GE(got.size(), post.size()) << got;
            EXPECT_EQ(got.substr(got.size() - post.size()), post);
            const std::string before = got.substr(0, got.size() - post.size());
            EXPECT_EQ(kSetupBeforeReopen.compare(0, before.size(), before), 0) << before;
        } else {
            EXPECT_EQ(got, kSetup);
        }
        for (const char* step : {"reset", "autobaud disabled", "forcing 8N1 mode", "format tablet",
                                 "mode stream", "parameter lock"})
            EXPECT_EQ(log.levelOf(msg(v, step)), "Diag") << step;
        EXPECT_EQ(log.levelOf(msg(v, "panel firmware v01.23")), "Info");
        EXPECT_EQ(log.levelOf(msg(v, "detected SMT3 or SMT3R")), "Info");

        bool calls = false;
        for (const auto& c : LineInterposer::modemCalls(h.device()))
            calls = calls || c.request == TIOCMGET;
        EXPECT_TRUE(calls) << "modem lines not read";
        const auto flushes = LineInterposer::flushes(h.device());
        // The acknowledgements are dropped last; the commands still queued for sending are not.
        ASSERT_FALSE(flushes.empty());
        EXPECT_EQ(flushes.back(), TCIFLUSH);

        const std::vector<tcflag_t> expected =
            reopened ? std::vector<tcflag_t>{CS7, CS8} : std::vector<tcflag_t>{CS7};
        EXPECT_EQ(charSizes(h.device()), expected);
        EXPECT_EQ(log.contains(msg(v, "changed to 8N1")), reopened);
        EXPECT_EQ(log.levelOf(msg(v, "failed to force 8N1")), reopened ? "" : "ERROR");
        EXPECT_EQ(handler->descriptor() >= 0, true);
    }
}

struct IdentityCase {
    const char* name;
    std::vector<std::string> reply;  // pieces; none: silent controller
    const char* firmware;            // expected firmware text, null: no firmware line
    const char* model;               // expected model text, null: no model line
};

TEST_P(MicroTouchAsciiTest, IdentityReplies)
{
    const Variant v = GetParam();
    if (!v.fullSetup)
        GTEST_SKIP() << "the pen handler asks for no identity";
    const IdentityCase cases[] = {
        {"whole", {kIdentity}, "panel firmware v01.23", "detected SMT3 or SMT3R"},
        {"split across reads", {"\x01P5", "0456\r"}, "panel firmware v04.56", "detected TouchPen4 or TouchPen4+"},
        {"other model", {"\x01" "A39876\r"}, "panel firmware v98.76", "detected SMT2, SMT3V or SMT3RV"},
        {"unknown model", {"\x01" "A10123\r"}, "panel firmware v01.23", "detected Unknown"},
        {"cut short", {"\x01Q1\r"}, nullptr, "detected SMT3 or SMT3R"},
        {"silent", {}, nullptr, nullptr},  // the one real wait of a second
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        tp::testkit::LogCapture log;
        tp::testkit::SerialPluginHarness h(v.plugin, TIOCM_CAR);
        std::vector<Rule> rules;
        if (!c.reply.empty())
            rules.push_back(Rule{"\x01OI\r", c.reply});
        ScriptedController controller(h.line(), rules);
        auto handler = h.create();
        ASSERT_TRUE(handler);
        EXPECT_EQ(log.count("panel firmware"), c.firmware ? 1u : 0u);
        if (c.firmware) {
            EXPECT_TRUE(log.contains(msg(v, c.firmware)));
        }
        EXPECT_EQ(log.count("detected"), c.model ? 1u : 0u);
        if (c.model) {
            EXPECT_EQ(log.levelOf(msg(v, c.model)), "Info");
        }
    }
}

TEST_P(MicroTouchAsciiTest, ReportsAreFramedAndDecoded)
{
    const Variant v = GetParam();
    tp::testkit::SerialPluginHarness h(v.plugin, TIOCM_CAR);
    ScriptedController controller(h.line(), {Rule{"\x01OI\r", {kIdentity}}});
    auto handler = h.create();
    ASSERT_TRUE(handler);
    tp::testkit::ReaderThread reader(*handler);
    // Junk without bit 7 before the first packet start, then a touch, a move and a release.
    h.line().send(Bytes{0x10, 0x7F, 0x00, 0xC0, 0x10, 0x01, 0x20, 0x02, 0xC0, 0x7F, 0x01, 0x00, 0x00,
                        0x80, 0x10, 0x01, 0x20, 0x02});
    ASSERT_TRUE(h.finish(reader));
    const auto reports = h.sink().reports();
    ASSERT_EQ(reports.size(), 3u);
    const GfPoint a = v.xSecond ? GfPoint(544, 272) : GfPoint(272, 544);
    const GfPoint b = v.xSecond ? GfPoint(0, 0x017F) : GfPoint(0x017F, 0);
    EXPECT_TRUE(reports[0].down);
    EXPECT_EQ(reports[0].raw, a);
    EXPECT_TRUE(reports[1].down);
    EXPECT_EQ(reports[1].raw, b);
    EXPECT_FALSE(reports[2].down);
    EXPECT_EQ(reports[2].raw, a);
}

TEST_P(MicroTouchAsciiTest, NullPacketIsNoTouch)
{
    tp::testkit::SerialPluginHarness h(GetParam().plugin, TIOCM_CAR);
    ScriptedController controller(h.line(), {Rule{"\x01OI\r", {kIdentity}}});
    auto handler = h.create();
    ASSERT_TRUE(handler);
    EXPECT_FALSE(handler->isTouchDown(nullptr));
    EXPECT_FALSE(handler->inSync(nullptr));
}

}  // namespace microtouch_tests
