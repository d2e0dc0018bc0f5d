// touchhost as a person runs it, for every fixed-frame plug-in: the real program (under
// qemu-user in the cross build) on a pty whose other end plays a scripted controller.
// The frames are written out here by hand, independently of the plug-ins and emulators.

#include "serial/FixedFrameCommon/testing/FixedFrameLine.h"
#include "sim/controllers/PtyLine.h"
#include "sim/testkit/ChildProcess.h"

#include <gtest/gtest.h>

namespace {

using tp::sim::Bytes;
using tp::testkit::ChildProcess;
using namespace std::chrono_literals;

// Bounds for a program started under qemu-user; not timings.
constexpr auto kStart = 20000ms;
constexpr auto kEnd = 20000ms;

struct ScriptCase {
    const char* plugin;
    speed_t speed;
    bool rtscts;
    Bytes stream;  // junk the plug-in must skip, where its framing skips any
    const char* output;
};

Bytes crystal(std::uint8_t status, std::uint8_t xl, std::uint8_t xh, std::uint8_t yl,
              std::uint8_t yh)
{
    return {0, 0, 0, 0, 0, status, 0, xl, xh, yl, yh, 0, 0, 0, 0, 0, 0};
}

Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

TEST(TouchhostFixedFrames, PrintsTheTouchesAScriptedControllerSends)
{
    const ScriptCase cases[] = {
        {"eGalaxTouchHandler_9600", B9600, false,
         {0x00, 0x13, 0xA1, 0x01, 0x02, 0x03, 0x04, 0x42,  // junk, a frame with a bad trailer
          0xA1, 0x02, 0x2C, 0x03, 0x10, 0x41, 0xA0, 0x02, 0x2C, 0x03, 0x10, 0x41},
         "down 300 400\nup 300 400\n"},
        {"eGalaxTouchHandler_57600", B57600, false,
         {0x00, 0x40, 0xA1, 0x02, 0x2C, 0x03, 0x10, 0x41, 0xA0, 0x02, 0x2C, 0x03, 0x10, 0x41},
         "down 300 400\nup 300 400\n"},
        {"CrystalTouchHandler", B115200, true,
         join({crystal(1, 0x2C, 0x01, 0x90, 0x01), crystal(2, 0x2C, 0x01, 0x90, 0x01)}),
         "down 300 400\nup 300 400\n"},
        {"EZScreenTouchHandler", B38400, true,
         {0xA0, 0x04, 0x2C, 0x06, 0x10, 0x80, 0x04, 0x2C, 0x06, 0x10},
         "down 300 400\nup 300 400\n"},
        {"EZScreenV6TouchHandler", B9600, true,
         {0x81, 0x03, 0x10, 0x02, 0x2C, 0x80, 0x03, 0x10, 0x02, 0x2C},
         "down 300 400\nup 300 400\n"},
        {"ISTTouchHandler", B9600, true,
         {0x04, 0x2C, 0x06, 0x10, 0x00, 0x01, 0x04, 0x2C, 0x06, 0x10, 0x00, 0x00},
         "down 300 400\nup 300 400\n"},
        {"DynaProTouchHandler", B2400, true, {0xD3, 0x2C, 0x10, 0x93, 0x2C, 0x10},
         "down 300 400\nup 300 400\n"},
    };
    for (const ScriptCase& c : cases) {
        SCOPED_TRACE(c.plugin);
        tp::sim::PtyLine line;
        ChildProcess p =
            ChildProcess::start(tp::testkit::builtProgram("touchhost"), {c.plugin, line.slavePath()});
        ASSERT_TRUE(fixed_frame_line::awaitHandler(line, c.speed, c.rtscts, kStart))
            << p.stderrText();
        line.send(c.stream);
        EXPECT_TRUE(line.waitConsumed(kEnd));
        line.hangUp();
        EXPECT_EQ(p.wait(kEnd), 0) << p.stderrText();
        EXPECT_EQ(p.stdoutText(), c.output);
    }
}

} // namespace
