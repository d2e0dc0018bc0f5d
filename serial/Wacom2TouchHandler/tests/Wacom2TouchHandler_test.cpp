#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <dlfcn.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/time.h>
#include <termios.h>
#include <thread>
#include <vector>

#include "contract/PHALKeeper.h"
#include "contract/ZorlanTouchHandler.h"
#include "serial/SerialLine/testing/ScriptedController.h"
#include "serial/Wacom2TouchHandler/WacomProtocol.h"
#include "sim/testkit/LogCapture.h"
#include "sim/testkit/SerialConformance.h"
#include "sim/testkit/SerialPluginHarness.h"

using tp::testkit::SerialConformance;
TP_SERIAL_CONFORMANCE(Wacom2TouchHandler, tp::testkit::Op::inPassSync);

// The handler reads the time of day; the tests set it. -1: the real clock.
namespace {
std::atomic<long> g_fakeSeconds{-1};
}

extern "C" int gettimeofday(struct timeval* __restrict tv, void* __restrict tz) noexcept
{
    if (g_fakeSeconds >= 0) {
        tv->tv_sec = g_fakeSeconds;
        tv->tv_usec = 0;
        return 0;
    }
    using Real = int (*)(struct timeval*, void*);
    static const Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "gettimeofday"));
    return real(tv, tz);
}

namespace {

using serial_test::ScriptedController;
using tp::sim::Bytes;
using tp::testkit::LineInterposer;
using namespace std::chrono_literals;

const std::string kNR1270 = "\rNR1270\r";
const std::string kReset = "\r#";
const Bytes kTouching = {0x88, 0x01, 0x02, 0x01, 0x03, 0x04, 0x00};  // x 130, y 16772
const Bytes kNotTouching = {0x80, 0x01, 0x02, 0x01, 0x03, 0x04, 0x00};

size_t occurrences(const std::string& in, const std::string& what)
{
    size_t n = 0;
    for (size_t at = in.find(what); at != std::string::npos; at = in.find(what, at + 1))
        ++n;
    return n;
}

// Waits until the controller has seen `count` of `what`; true if it did within a second.
bool seen(const ScriptedController& c, const std::string& what, size_t count)
{
    for (int i = 0; i < 100; ++i) {
        if (occurrences(c.received(), what) >= count)
            return true;
        std::this_thread::sleep_for(10ms);
    }
    return occurrences(c.received(), what) >= count;
}

speed_t lastSpeed(const std::string& device)
{
    const auto s = LineInterposer::settings(device);
    return s.empty() ? 0 : s.back().outputSpeed();
}

struct FakeClock {
    explicit FakeClock(long s) { g_fakeSeconds = s; }
    ~FakeClock() { g_fakeSeconds = -1; }
    void set(long s) { g_fakeSeconds = s; }
};

TEST(WacomProtocol, PacketFields)
{
    EXPECT_TRUE(wacom::touching(kTouching.data()));
    EXPECT_EQ(wacom::x(kTouching.data()), 130);
    EXPECT_EQ(wacom::y(kTouching.data()), 16384 + 3 * 128 + 4);
    EXPECT_FALSE(wacom::touching(kNotTouching.data()));
    EXPECT_FALSE(wacom::touching(nullptr));
    const unsigned char max[] = {0x8B, 0x7F, 0x7F, 0x03, 0x7F, 0x7F, 0};
    EXPECT_EQ(wacom::x(max), 65535);
    EXPECT_EQ(wacom::y(max), 65535);
}

TEST(WacomProtocol, FollowsThePcsSpeedCommandsAcrossBlocks)
{
    using R = wacom::SpeedRequest;
    const struct {
        const char* name;
        std::vector<std::string> blocks;
        std::vector<R> requests;
    } cases[] = {
        {"reset #", {"\r#"}, {R::To9600}},
        {"reset $", {"\r$"}, {R::To9600}},
        {"~*F whole", {"~*F1\r"}, {R::To19200}},
        {"~*F then its CR", {"~*F", "1\r"}, {R::None, R::To19200}},
        {"CR without a pending ~*F", {"1\r"}, {R::None}},
        {"pending ~*F then reset", {"~*F", "\r#"}, {R::None, R::To9600}},
        {"only once", {"~*F", "1\r", "2\r"}, {R::None, R::To19200, R::None}},
        {"other commands", {"SP\r", "#", ""}, {R::None, R::None, R::None}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bool pending = false;
        for (size_t i = 0; i < c.blocks.size(); ++i) {
            const auto* data = reinterpret_cast<const unsigned char*>(c.blocks[i].data());
            EXPECT_EQ(wacom::followPcBlock(data, static_cast<int>(c.blocks[i].size()), pending),
                      c.requests[i])
                << "block " << i;
        }
    }
    bool pending = false;
    EXPECT_EQ(wacom::followPcBlock(nullptr, 5, pending), R::None);
}

class Wacom2Test : public ::testing::Test {
protected:
    tp::testkit::LogCapture log;
    tp::testkit::SerialPluginHarness h{"Wacom2TouchHandler"};
    ScriptedController controller{h.line(), {}};
    host::SerialHandlerPtr handler = h.create();
};

TEST_F(Wacom2Test, StartsInReportModeAndReadsPackets)
{
    ASSERT_TRUE(handler);
    EXPECT_TRUE(seen(controller, kNR1270, 1));
    EXPECT_EQ(log.levelOf("Wacom2TouchHandler:NR 1270 Command"), "Diag");
    tp::testkit::ReaderThread reader(*handler);
    Bytes stream = {0x05, 0x41};  // no packet start: skipped and logged
    stream.insert(stream.end(), kTouching.begin(), kTouching.end());
    stream.insert(stream.end(), kNotTouching.begin(), kNotTouching.end());
    h.line().send(stream);
    ASSERT_TRUE(h.finish(reader));
    const auto reports = h.sink().reports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_TRUE(reports[0].down);
    EXPECT_EQ(reports[0].raw, GfPoint(130, 16772));
    EXPECT_FALSE(reports[1].down);
    EXPECT_TRUE(log.contains("Wacom2TouchHandler: Invalid sync byte 5"));
    EXPECT_TRUE(log.contains("Wacom2TouchHandler: Invalid sync byte 41"));
    // The hang-up ends reading: no stale packet is reported again.
    EXPECT_EQ(reader.results().back(), 0);
}

TEST_F(Wacom2Test, ReportModeIsRefreshedAfterSixQuietSeconds)
{
    ASSERT_TRUE(handler);
    ASSERT_TRUE(seen(controller, kNR1270, 1));
    FakeClock clock(1000);
    const struct {
        long at;
        size_t sentSoFar;  // NR 1270 commands, the constructor's included
    } steps[] = {{1000, 2}, {1003, 2}, {1005, 2}, {1011, 3}, {1012, 3}, {900, 3}, {906, 4}};
    tp::testkit::ReaderThread reader(*handler);
    size_t reports = 0;
    for (const auto& s : steps) {
        SCOPED_TRACE(s.at);
        clock.set(s.at);
        h.line().send(kTouching);
        ASSERT_TRUE(h.sink().waitFor(++reports, 2000));
        EXPECT_TRUE(seen(controller, kNR1270, s.sentSoFar));
        std::this_thread::sleep_for(20ms);
        EXPECT_EQ(occurrences(controller.received(), kNR1270), s.sentSoFar);
    }
    ASSERT_TRUE(h.finish(reader));
}

TEST_F(Wacom2Test, LineChangeResetsAtTheNextTouchOnly)
{
    ASSERT_TRUE(handler);
    handler->lineControlChange(TIOCM_CTS, 0);
    handler->lineControlChange(TIOCM_DSR, 1);
    handler->lineControlChange(TIOCM_CTS, 1);
    tp::testkit::ReaderThread reader(*handler);
    h.line().send(kNotTouching);
    ASSERT_TRUE(h.sink().waitFor(1, 2000));
    EXPECT_EQ(occurrences(controller.received(), kReset), 0u) << "a release does not reset";
    // The reset reconfigures the port and drops pending input: send the next packet after.
    h.line().send(kTouching);
    ASSERT_TRUE(h.sink().waitFor(2, 2000));
    h.line().send(kTouching);
    ASSERT_TRUE(h.sink().waitFor(3, 2000));
    EXPECT_EQ(lastSpeed(h.device()), (speed_t)B9600);
    ASSERT_TRUE(h.finish(reader));
    EXPECT_EQ(occurrences(controller.received(), kReset), 1u);
    EXPECT_EQ(log.levelOf("Wacom2TouchHandler: Reset 23 Cmd Write - 9600"), "Diag");
    EXPECT_EQ(log.count("Wacom2TouchHandler: Panel switched to 9600"), 1u);
    EXPECT_EQ(handler->lineChanges(), 3);
}

TEST_F(Wacom2Test, PassThroughFollowsThePcAndDetachReopensThePort)
{
    ASSERT_TRUE(handler);
    tp::sim::PtyLine pc;
    tp::testkit::InterposedLine pcLines(pc.slavePath());
    ASSERT_EQ(handler->attachPassThrough(pc.slavePath().c_str()), 1);
    ASSERT_GE(handler->passThroughDescriptor(), 0);
    EXPECT_TRUE(seen(controller, kReset, 1)) << "attaching resets the tablet";

    const auto block = [&](const std::string& s) {
        return handler->inPassSync(reinterpret_cast<const unsigned char*>(s.data()), static_cast<int>(s.size()));
    };
    EXPECT_EQ(block("~*F"), 1);
    EXPECT_FALSE(log.contains("switched to 19200"));
    EXPECT_EQ(block("1\r"), 1);
    EXPECT_EQ(lastSpeed(h.device()), (speed_t)B19200);
    EXPECT_EQ(lastSpeed(pc.slavePath()), (speed_t)B19200);
    EXPECT_EQ(log.count("Wacom2TouchHandler: Panel switched to 19200"), 1u);
    EXPECT_EQ(log.count("Wacom2TouchHandler: Pass through switched to 19.2"), 1u);
    EXPECT_EQ(block("2\r"), 1);
    EXPECT_EQ(log.count("Wacom2TouchHandler: Panel switched to 19200"), 1u) << "switched once";
    EXPECT_EQ(block("\r#"), 1);
    EXPECT_EQ(lastSpeed(h.device()), (speed_t)B9600);
    EXPECT_EQ(lastSpeed(pc.slavePath()), (speed_t)B9600);
    EXPECT_TRUE(log.contains("Wacom2TouchHandler: Pass through switched to 9600"));

    // With the PC attached a 0xA0 packet is a release at 0, 0.
    h.line().send(Bytes{0xA0, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06});
    EXPECT_EQ(handler->readData(), 1);
    ASSERT_EQ(h.sink().count(), 1u);
    EXPECT_FALSE(h.sink().reports()[0].down);
    EXPECT_EQ(h.sink().reports()[0].raw, GfPoint(0, 0));

    ZorlanInputManager* manager = PHALKeeper::Instance()->getInputManager();
    manager->clearCalls();
    const size_t resetsBefore = occurrences(controller.received(), kReset);
    EXPECT_EQ(handler->detachPassThrough(), 1);
    EXPECT_EQ(handler->passThroughDescriptor(), -1);
    ASSERT_EQ(manager->callCount(), 2u);
    EXPECT_EQ(manager->call(0).kind, InputManager::CALL_STOP);
    EXPECT_EQ(manager->call(1).kind, InputManager::CALL_RESUME);
    EXPECT_EQ(manager->call(0).handler, handler.get());
    EXPECT_EQ(manager->call(1).handler, handler.get());
    EXPECT_TRUE(log.contains("Wacom2TouchHandler: closed after detach " + h.device()));
    EXPECT_TRUE(log.contains("Wacom2TouchHandler:opened after detach " + h.device()));
    EXPECT_EQ(log.count("Wacom2TouchHandler: Detach Reset Command"), 2u);
    EXPECT_TRUE(seen(controller, kReset, resetsBefore + 2));
    ASSERT_GE(handler->descriptor(), 0);
    // The reopened port still reads.
    h.line().send(kTouching);
    EXPECT_EQ(handler->readData(), 1);
    EXPECT_EQ(h.sink().count(), 2u);
}

}  // namespace
