#pragma once
// Behaviour of the SX112 plug-ins through a pty and the real plug-in file; each of the three
// test programs instantiates it with its class and touch-mode command.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "contract/ZorlanTouchHandler.h"
#include "serial/SerialLine/testing/ScriptedController.h"
#include "sim/testkit/LogCapture.h"
#include "sim/testkit/SerialPluginHarness.h"

namespace sx112_tests {

using serial_test::Rule;
using serial_test::ScriptedController;
using tp::sim::Bytes;

struct Variant {
    const char* plugin;
    const char* mode;         // touch-mode command letters
    const char* description;  // as logged
};

inline std::ostream& operator<<(std::ostream& os, const Variant& v) { return os << v.plugin; }

const std::string kAck = "\x01" "0\r";

inline std::string frame(const std::string& letters) { return "\x01" + letters + "\r"; }

// A controller that answers every command; `identity` is the reply to "OI" in pieces.
inline std::vector<Rule> answering(const Variant& v, std::vector<std::string> identity)
{
    return {Rule{frame("R"), {kAck}},       Rule{frame("DX"), {kAck}}, Rule{frame("OI"), identity},
            Rule{frame("FT"), {kAck}},      Rule{frame("MS"), {kAck}}, Rule{frame(v.mode), {kAck}}};
}

inline bool init(ZorlanTouchHandler& h)
{
    boost::shared_ptr<ZorlanRawUSBDevice> none;
    return h.InitTouchHandler(none);
}

class SX112Test : public ::testing::TestWithParam<Variant> {};

TEST_P(SX112Test, EachCommandWaitsForTheReplyToThePreviousOne)
{
    const Variant v = GetParam();
    const struct {
        const char* name;
        std::vector<std::string> identity;
    } cases[] = {
        {"whole replies", {"\x01Q10123\r"}},
        {"identity split across reads", {"\x01Q1", "0123\r"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        tp::testkit::LogCapture log;
        tp::testkit::SerialPluginHarness h(v.plugin);
        ScriptedController controller(h.line(), answering(v, c.identity));
        auto handler = h.create();
        ASSERT_TRUE(handler);
        EXPECT_EQ(controller.received(), "") << "the constructor sends nothing";
        EXPECT_TRUE(log.contains("\tMicroTouchSX112Base built on "));
        EXPECT_TRUE(init(*handler));
        EXPECT_EQ(controller.received(),
                  frame("R") + frame("DX") + frame("OI") + frame("FT") + frame("MS") + frame(v.mode));
        EXPECT_EQ(log.levelOf("\tMicroTouchSX112Base[107]:  Initializing the SX112 controller..."), "Diag");
        EXPECT_EQ(log.levelOf("\tMicroTouchSX112Base[174]:  Sent:  'OI' (Output Identity)."), "Diag");
        EXPECT_EQ(log.levelOf(std::string("\tMicroTouchSX112Base[174]:  Sent:  '") + v.mode + "' (" +
                              v.description + ")."),
                  "Diag");
        EXPECT_EQ(log.count("\tMicroTouchSX112Base[191]:  Received:  '\x01Q10123'"), 1u);
        EXPECT_EQ(log.count("\tMicroTouchSX112Base[191]:  Received:  '\x01" "0'"), 5u);
        EXPECT_FALSE(log.contains("Expected response length"));
    }
}

TEST_P(SX112Test, ShortReplyIsWarnedAndTheDialogueGoesOn)
{
    const Variant v = GetParam();
    tp::testkit::LogCapture log;
    tp::testkit::SerialPluginHarness h(v.plugin);
    auto rules = answering(v, {"\x01Q10123\r"});
    rules[1].reply = {"\x01\r"};  // DX answered without its character
    ScriptedController controller(h.line(), rules);
    auto handler = h.create();
    ASSERT_TRUE(handler);
    EXPECT_TRUE(init(*handler));
    EXPECT_EQ(log.levelOf("\tMicroTouchSX112Base[338]:  Expected response length to be 3.  Got 2 instead."),
              "WARN");
    EXPECT_EQ(controller.answered(), 6u);
}

TEST_P(SX112Test, SilentControllerTimesOutAfterTheFirstCommand)
{
    const Variant v = GetParam();
    tp::testkit::LogCapture log;
    tp::testkit::SerialPluginHarness h(v.plugin);
    ScriptedController controller(h.line(), {});
    auto handler = h.create();
    ASSERT_TRUE(handler);
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_FALSE(init(*handler));  // the one real two-second wait
    const auto waited = std::chrono::steady_clock::now() - t0;
    EXPECT_GE(waited, std::chrono::milliseconds(1900));
    EXPECT_LT(waited, std::chrono::milliseconds(5000));
    EXPECT_EQ(controller.received(), frame("R"));
    EXPECT_TRUE(log.contains("\tMicroTouchSX112Base[174]:  Sent:  'R' (Reset)."));
    EXPECT_EQ(log.levelOf("\tMicroTouchSX112Base[313]:  Timed out waiting for response to command 'Reset'."),
              "ERROR");
}

TEST_P(SX112Test, ReportsAreFramedAndDecoded)
{
    const Variant v = GetParam();
    tp::testkit::SerialPluginHarness h(v.plugin);
    auto handler = h.create();
    ASSERT_TRUE(handler);
    EXPECT_FALSE(handler->isTouchDown(nullptr));
    EXPECT_EQ(handler->extractPosition(nullptr), GfPoint(0, 0));
    EXPECT_FALSE(handler->inSync(nullptr));
    tp::testkit::ReaderThread reader(*handler);
    h.line().send(Bytes{0x05, 0x50, 0xC0, 0x50, 0x12, 0x60, 0x34, 0x80, 0xF0, 0xFF, 0xF0, 0xFF});
    ASSERT_TRUE(h.finish(reader));
    const auto reports = h.sink().reports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_TRUE(reports[0].down);
    EXPECT_EQ(reports[0].raw, GfPoint(0x125, 0x346));
    EXPECT_FALSE(reports[1].down);
    EXPECT_EQ(reports[1].raw, GfPoint(4095, 4095));
}

}  // namespace sx112_tests
