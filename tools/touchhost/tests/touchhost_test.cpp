// touchhost as a person runs it: the real program (under qemu-user in the cross build), a
// plug-in file from the build and a controller script on a pty.

#include "sim/controllers/PtyLine.h"
#include "sim/testkit/ChildProcess.h"

#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>

namespace {

using tp::sim::Bytes;
using tp::testkit::ChildProcess;
using namespace std::chrono_literals;

// Starting a program under qemu-user takes a while; these bound waits, they are not timings.
constexpr auto kStart = 20000ms;
constexpr auto kEnd = 20000ms;

const Bytes kTouchModeCommand = {0x55, 0x4D, 0x00, 0x87, 0, 0, 0, 0, 0, 0};
// Touch at 0x1234 / 0x5678, its release, a touch at 0x0201 / 0x0403, an acknowledge message.
const Bytes kTouch = {0x55, 'T', 0x00, 0x34, 0x12, 0x78, 0x56, 0x00, 0x00, 0x67};
const Bytes kRelease = {0x55, 'T', 0x04, 0x34, 0x12, 0x78, 0x56, 0x00, 0x00, 0x6B};
const Bytes kTouchB = {0x55, 'T', 0x00, 0x01, 0x02, 0x03, 0x04, 0x00, 0x00, 0x5D};
const Bytes kAck = {0x55, 'A', '0', '0', '0', 0x00, 0x00, 0x00, 0x00, 0xD0};

Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

Bytes withChecksum(Bytes m, std::uint8_t c)
{
    if (!m.empty())
        m.back() = c;
    return m;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        out.push_back(l);
    return out;
}

ChildProcess touchhost(const std::vector<std::string>& args)
{
    return ChildProcess::start(tp::testkit::builtProgram("touchhost"), args);
}

struct ScriptCase {
    const char* name;
    const char* plugin;
    Bytes stream;
    const char* output;
    std::vector<std::string> options;
};

TEST(Touchhost, PrintsExactlyTheTouchesAControllerScriptCarries)
{
    const Bytes noisy = join({
        Bytes{0x00, 0xFF, 0x13, 0x37},                                 // line noise
        kAck,                                                          // not a touch
        withChecksum(kTouchB, 0x42),                                   // wrong checksum
        withChecksum(kTouchB, 0x55), Bytes(kTouch.begin() + 1, kTouch.end()),  // 0x55 is no lead-in
        kTouchB, kTouch, kRelease,
    });
    tp::sim::PtyLine pc;  // the PC side of a pass-through port
    const ScriptCase cases[] = {
        {"NoiseBadChecksumsAndAStroke", "EloTouchHandler", noisy,
         "down 513 1027\ndown 4660 22136\nup 4660 22136\n", {}},
        {"Elo19SwapsTheFields", "Elo19TouchHandler", noisy,
         "down 1027 513\ndown 22136 4660\nup 22136 4660\n", {}},
        {"LostSyncThenATouch", "EloTouchHandler", join({Bytes(100, 0x00), kTouch}),
         "down 4660 22136\n", {}},
        {"HangUpInsideAMessage", "EloTouchHandler", Bytes(kTouch.begin(), kTouch.begin() + 5), "",
         {}},
        {"WithEveryOption", "EloTouchHandler", join({kTouch, kRelease}),
         "down 4660 22136\nup 4660 22136\n",
         {"--baud", "9600", "--resolution", "800x480", "--log", "input", "--passthrough",
          pc.slavePath(), "--plugin-dir", TP_PLUGIN_DIR}},
    };
    for (const ScriptCase& c : cases) {
        SCOPED_TRACE(c.name);
        tp::sim::PtyLine line;
        std::vector<std::string> args = c.options;
        args.insert(args.end(), {c.plugin, line.slavePath()});
        ChildProcess p = touchhost(args);
        EXPECT_EQ(line.receiveExactly(10, kStart), kTouchModeCommand) << p.stderrText();
        line.send(c.stream);
        EXPECT_TRUE(line.waitConsumed(kEnd));
        line.hangUp();
        EXPECT_EQ(p.wait(kEnd), 0) << p.stderrText();
        EXPECT_EQ(p.stdoutText(), c.output);
    }
}

TEST(Touchhost, FailsWithOneClearLine)
{
    tp::sim::PtyLine line;
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* mentions;
    } cases[] = {
        {{"NoSuchTouchHandler", line.slavePath()}, 1, "NoSuchTouchHandler"},
        {{"EloTouchHandler", "/nonexistent/ttyS9"}, 1, "/nonexistent/ttyS9"},
        {{"--passthrough", "/nonexistent/ttyGS9", "EloTouchHandler", line.slavePath()}, 1,
         "/nonexistent/ttyGS9"},
        {{"--plugin-dir", "/nonexistent", "EloTouchHandler", line.slavePath()}, 1, "/nonexistent"},
        {{"--log", "nosuchcategory", "EloTouchHandler", line.slavePath()}, 1, "nosuchcategory"},
        {{"--baud", "fast", "EloTouchHandler", line.slavePath()}, 2, "--baud"},
        {{"EloTouchHandler"}, 2, "PLUGIN"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        ChildProcess p = touchhost(c.args);
        EXPECT_EQ(p.wait(kEnd), c.status);
        auto err = lines(p.stderrText());
        ASSERT_EQ(err.size(), 1u) << p.stderrText();
        EXPECT_EQ(err[0].rfind("touchhost: ", 0), 0u) << err[0];
        EXPECT_NE(err[0].find(c.mentions), std::string::npos) << err[0];
        EXPECT_EQ(p.stdoutText(), "");
    }
}

TEST(Touchhost, EveryEmulatedControllerPlaysAStroke)
{
    ChildProcess list = touchhost({"--list-emulators"});
    ASSERT_EQ(list.wait(kEnd), 0);
    auto names = lines(list.stdoutText());
    EXPECT_NE(std::find(names.begin(), names.end(), "EloTouchHandler"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "Elo19TouchHandler"), names.end());
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        ChildProcess p = touchhost({"--emulate", name});
        EXPECT_EQ(p.wait(std::chrono::milliseconds(kEnd) * 2), 0) << p.stderrText();
        auto out = lines(p.stdoutText());
        int downs = 0, ups = 0;
        for (const std::string& l : out) {
            int x = 0, y = 0;
            char word[8] = {};
            char rest = 0;
            ASSERT_EQ(std::sscanf(l.c_str(), "%7s %d %d%c", word, &x, &y, &rest), 3) << l;
            downs += std::string(word) == "down";
            ups += std::string(word) == "up";
        }
        EXPECT_GT(downs, 0);
        EXPECT_GT(ups, 0);
        EXPECT_EQ(downs + ups, static_cast<int>(out.size()));
    }
}

TEST(Touchhost, EloEmulatorStrokeIsReportedAsPlayed)
{
    for (const char* plugin : {"EloTouchHandler", "Elo19TouchHandler"}) {
        SCOPED_TRACE(plugin);
        ChildProcess p = touchhost({"--emulate", plugin});
        EXPECT_EQ(p.wait(kEnd), 0) << p.stderrText();
        EXPECT_EQ(p.stdoutText(), "down 1000 1200\ndown 1100 1300\ndown 1200 1400\n"
                                  "down 1300 1500\nup 1300 1500\n");
    }
}

// utime + stime of a process, in clock ticks, and its state letter.
bool cpuTicks(pid_t pid, long& ticks, char& state)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), {});
    auto close = stat.rfind(')');
    if (close == std::string::npos)
        return false;
    std::istringstream fields(stat.substr(close + 2));
    std::string f[13];
    fields >> state;
    for (auto& s : f)
        fields >> s;
    long utime = 0, stime = 0;
    fields >> utime >> stime;
    ticks = utime + stime;
    return static_cast<bool>(fields);
}

TEST(Touchhost, IdleItBlocksAndASignalEndsItCleanly)
{
    for (int sig : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(sig);
        tp::sim::PtyLine line;
        ChildProcess p = touchhost({"EloTouchHandler", line.slavePath()});
        ASSERT_EQ(line.receiveExactly(10, kStart), kTouchModeCommand);
        line.send(kTouch);
        line.waitConsumed(kEnd);
        std::this_thread::sleep_for(200ms);
        long before = 0, after = 0;
        char state = 0;
        ASSERT_TRUE(cpuTicks(p.pid(), before, state));
        std::this_thread::sleep_for(1000ms);
        ASSERT_TRUE(cpuTicks(p.pid(), after, state));
        EXPECT_EQ(state, 'S') << "not blocked";
        // A reader that polled would burn most of the second (about 100 ticks).
        EXPECT_LE(after - before, 10) << "an idle touchhost used CPU";
        p.signal(sig);
        EXPECT_EQ(p.wait(kEnd), 0);
        EXPECT_EQ(p.stdoutText(), "down 4660 22136\n");
    }
}

} // namespace
