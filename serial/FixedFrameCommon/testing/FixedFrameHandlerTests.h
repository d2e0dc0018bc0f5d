#pragma once
// Behaviour of a fixed-frame plug-in through a pty and the real plug-in file. Each plug-in's
// test program instantiates FixedFrameHandlerTest with its own row: the line it expects and
// controller streams written out byte by byte, with the touches each must give.

#include "contract/ZorlanTouchHandler.h"
#include "sim/testkit/LogCapture.h"
#include "sim/testkit/SerialPluginHarness.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <ostream>
#include <string>
#include <termios.h>
#include <vector>

namespace fixed_frame_tests {

using tp::sim::Bytes;
using namespace std::chrono_literals;

struct Touch {
    bool down;
    int x, y;
};

struct StreamCase {
    const char* name;
    Bytes stream;
    std::vector<Touch> touches;
    std::vector<int> readResults;  // readData's results, the last one after the hang-up
};

struct Variant {
    const char* plugin;
    speed_t speed;
    bool rtscts;
    std::vector<StreamCase> cases;
};

inline void PrintTo(const Variant& v, std::ostream* os) { *os << v.plugin; }
inline std::string variantName(const ::testing::TestParamInfo<Variant>& info)
{
    return info.param.plugin;
}

inline Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

inline Bytes cut(const Bytes& frame, std::size_t keep)
{
    return Bytes(frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(keep));
}

class FixedFrameHandlerTest : public ::testing::TestWithParam<Variant> {};

TEST_P(FixedFrameHandlerTest, StreamsGiveExactlyTheTouchesTheyCarry)
{
    for (const StreamCase& c : GetParam().cases) {
        SCOPED_TRACE(c.name);
        tp::testkit::SerialPluginHarness h(GetParam().plugin);
        auto handler = h.create();
        ASSERT_TRUE(handler);
        tp::testkit::ReaderThread reader(*handler, &h.line());
        h.line().send(c.stream);
        ASSERT_TRUE(h.finish(reader));
        const auto reports = h.sink().reports();
        ASSERT_EQ(reports.size(), c.touches.size());
        for (std::size_t i = 0; i < reports.size(); ++i) {
            EXPECT_EQ(reports[i].down, c.touches[i].down) << "touch " << i;
            EXPECT_EQ(reports[i].raw, GfPoint(c.touches[i].x, c.touches[i].y)) << "touch " << i;
        }
        EXPECT_EQ(reader.results(), c.readResults);
    }
}

// The controller needs no command: the handler only opens the port, with the controller's
// line settings, and never writes to it.
TEST_P(FixedFrameHandlerTest, OpensTheControllersLineAndSendsNothing)
{
    tp::testkit::SerialPluginHarness h(GetParam().plugin);
    auto handler = h.create();
    ASSERT_TRUE(handler);
    termios tio{};
    ASSERT_EQ(tcgetattr(handler->descriptor(), &tio), 0);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (CSTOPB | PARENB), 0u);
    EXPECT_NE(tio.c_cflag & CLOCAL, 0u);
    EXPECT_NE(tio.c_cflag & CREAD, 0u);
    EXPECT_EQ((tio.c_cflag & CRTSCTS) != 0, GetParam().rtscts);
    EXPECT_EQ(cfgetispeed(&tio), GetParam().speed);
    EXPECT_EQ(handler->fifth(), 3);
    tp::testkit::ReaderThread reader(*handler, &h.line());
    h.line().send(GetParam().cases.front().stream);
    ASSERT_TRUE(h.line().waitConsumed());
    EXPECT_TRUE(h.line().drain(50ms).empty()) << "the handler wrote to the controller";
    h.line().hangUp();
    EXPECT_TRUE(reader.join());
}

} // namespace fixed_frame_tests
