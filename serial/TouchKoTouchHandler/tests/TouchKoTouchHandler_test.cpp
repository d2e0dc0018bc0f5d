#include <gtest/gtest.h>

#include <string>
#include <termios.h>
#include <vector>

#include "contract/ZorlanTouchHandler.h"
#include "serial/SerialLine/testing/ScriptedController.h"
#include "serial/TouchKoTouchHandler/TouchKoProtocol.h"
#include "sim/testkit/LogCapture.h"
#include "sim/testkit/SerialConformance.h"
#include "sim/testkit/SerialPluginHarness.h"

using tp::testkit::SerialConformance;
TP_SERIAL_CONFORMANCE(TouchKoTouchHandler, tp::testkit::Op::inSync);

namespace {

using serial_test::Rule;
using serial_test::ScriptedController;
using tp::sim::Bytes;
using tp::testkit::LineInterposer;

const std::string kIdentify = "\rdi\r";

size_t occurrences(const std::string& in, const std::string& what)
{
    size_t n = 0;
    for (size_t at = in.find(what); at != std::string::npos; at = in.find(what, at + 1))
        ++n;
    return n;
}

std::vector<speed_t> speedsSet(const std::string& device)
{
    std::vector<speed_t> speeds;
    for (const auto& s : LineInterposer::settings(device))
        speeds.push_back(s.outputSpeed());
    return speeds;
}

TEST(TouchKoProtocol, ReplyBytesAndComparison)
{
    using touchko::ByteClass;
    for (unsigned char b : {'P', 'p'})
        EXPECT_EQ(touchko::classify(b), ByteClass::Restart);
    for (unsigned char b : {' ', 'A', 'a', 'S', 's'})
        EXPECT_EQ(touchko::classify(b), ByteClass::Accept);
    for (unsigned char b : std::initializer_list<unsigned char>{'x', '\r', 0x00, 0xC0, 'Q'})
        EXPECT_EQ(touchko::classify(b), ByteClass::Reject);
    const auto u = [](const char* s) { return reinterpret_cast<const unsigned char*>(s); };
    EXPECT_EQ(touchko::compareReply(u("PASS    "), 8, 8), 8);
    EXPECT_EQ(touchko::compareReply(u("pAsS    "), 8, 8), 8);
    EXPECT_EQ(touchko::compareReply(u("pass  a "), 8, 8), touchko::kMismatch);
    EXPECT_EQ(touchko::compareReply(u("pa"), 2, 2), 2);  // a cut reply counts what came
    EXPECT_EQ(touchko::nextSpeed(B38400), (speed_t)B115200);
    EXPECT_EQ(touchko::nextSpeed(B115200), (speed_t)B9600);
    EXPECT_EQ(touchko::nextSpeed(B9600), (speed_t)B9600);
}

struct HuntCase {
    const char* name;
    speed_t controllerSpeed;              // the only speed the controller answers at
    std::vector<std::string> reply;       // pieces
    size_t identifies;                    // identification commands sent
    std::vector<speed_t> speeds;          // line settings applied, the framework's open included
    const char* logged;                   // a line the hunt must log
};

TEST(TouchKoTouchHandler, SpeedHunt)
{
    const std::vector<speed_t> all = {B38400, B38400, B38400, B115200, B115200, B9600, B9600};
    const HuntCase cases[] = {
        {"answers at 38400", B38400, {"PASS    "}, 1, {B38400, B38400, B38400},
         "Read compare return value = 0x8"},
        {"answers at 115200", B115200, {"PASS    "}, 3, {B38400, B38400, B38400, B115200, B115200},
         "TouchKoTouchHandler: Panel switching to baud rate 115200"},
        {"p restarts the reply", B38400, {"ppass    "}, 1, {B38400, B38400, B38400},
         "Read compare return value = 0x8"},
        {"reply split across reads", B38400, {"PA", "SS    "}, 1, {B38400, B38400, B38400},
         "Read compare return value = 0x8"},
        {"wrong letter", B38400, {"pasx"}, 6, all, "Init read data = 0x73 "},
        {"reply stops half-way", B38400, {"pa"}, 6, all, "End of Data - length = 0x2"},
        {"silent", B0, {}, 6, all, "TouchKoTouchHandler: read panel time out error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        tp::testkit::LogCapture log;
        tp::testkit::SerialPluginHarness h("TouchKoTouchHandler");
        std::vector<Rule> rules;
        if (!c.reply.empty())
            rules.push_back(Rule{kIdentify, c.reply, c.controllerSpeed});
        ScriptedController controller(h.line(), rules);
        auto handler = h.create();
        ASSERT_TRUE(handler);
        EXPECT_TRUE(log.contains("TouchKoTouchHandler: Dynamic Load Version is v1.0"));
        EXPECT_EQ(occurrences(controller.received(), kIdentify), c.identifies);
        EXPECT_EQ(speedsSet(h.device()), c.speeds);
        EXPECT_TRUE(log.contains(c.logged));
        EXPECT_GE(handler->descriptor(), 0);
    }
}

TEST(TouchKoTouchHandler, ReportsAreFramedAndDecoded)
{
    tp::testkit::SerialPluginHarness h("TouchKoTouchHandler");
    ScriptedController controller(h.line(), {Rule{kIdentify, {"PASS    "}}});
    auto handler = h.create();
    ASSERT_TRUE(handler);
    EXPECT_TRUE(handler->controllerIsPresent(0));
    EXPECT_FALSE(handler->isTouchDown(nullptr));
    tp::testkit::ReaderThread reader(*handler);
    h.line().send(Bytes{0x20, 0x41, 0xC0, 0x10, 0x01, 0x20, 0x02, 0x80, 0x10, 0x01, 0x20, 0x02});
    ASSERT_TRUE(h.finish(reader));
    const auto reports = h.sink().reports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_TRUE(reports[0].down);
    EXPECT_EQ(reports[0].raw, GfPoint(272, 544));
    EXPECT_FALSE(reports[1].down);
    EXPECT_EQ(reader.results().back(), 0) << "a hung-up line ends reading";
}

}  // namespace
