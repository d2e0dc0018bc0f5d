// The real touchhost program, run as a child on a pty, against an independent scripted
// controller for each of the serial plug-ins configured by a command dialogue: the
// controller answers the start-up commands, then sends a short stroke, and touchhost must
// print the touches the packets carry.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "serial/SerialLine/testing/ScriptedController.h"

namespace {

using serial_test::Rule;
using serial_test::ScriptedController;
using namespace std::chrono_literals;

// Format-tablet packets: down at (272, 544), release there.
const std::string kTablet = std::string("\xC0\x10\x01\x20\x02", 5) + std::string("\x80\x10\x01\x20\x02", 5);
const std::string kAck = "\x01" "0\r";

struct DialogueCase {
    const char* plugin;
    std::vector<Rule> rules;  // the last reply carries the stroke
    const char* printed;
};

std::vector<DialogueCase> cases()
{
    const auto microtouch = [](const char* plugin, const char* printed) {
        return DialogueCase{plugin, {Rule{"\x01OI\r", {"\x01Q10123\r", kTablet}}}, printed};
    };
    const auto sx112 = [](const char* plugin, const char* mode) {
        return DialogueCase{plugin,
                            {Rule{"\x01R\r", {kAck}}, Rule{"\x01" "DX\r", {kAck}}, Rule{"\x01OI\r", {"\x01Q10123\r"}},
                             Rule{"\x01" "FT\r", {kAck}}, Rule{"\x01MS\r", {kAck}},
                             Rule{std::string("\x01") + mode + "\r",
                                  {kAck, std::string("\xC0\x50\x12\x60\x34\x80\x50\x12\x60\x34", 10)}}},
                            "down 293 838\nup 293 838\n"};
    };
    return {
        microtouch("MicroTouchHandler", "down 272 544\nup 272 544\n"),
        microtouch("MicroTouchMT3000Handler", "down 544 272\nup 544 272\n"),
        microtouch("SyncMaster173vHandler", "down 544 272\nup 544 272\n"),
        DialogueCase{"MicroTouchPenHandler", {Rule{"\x01R\r", {kTablet}}}, "down 272 544\nup 272 544\n"},
        sx112("MicroTouchSX112POHandler", "PO"),
        sx112("MicroTouchSX112FOHandler", "FO"),
        sx112("MicroTouchSX112PFHandler", "PF"),
        DialogueCase{"Wacom2TouchHandler",
                     {Rule{"\rNR1270\r", {std::string("\x88\x01\x02\x01\x03\x04\x00", 7) +
                                          std::string("\x80\x01\x02\x01\x03\x04\x00", 7)}}},
                     "down 130 16772\nup 130 16772\n"},
        DialogueCase{"TouchKoTouchHandler", {Rule{"\rdi\r", {"PASS    ", kTablet}}}, "down 272 544\nup 272 544\n"},
    };
}

TEST(TouchhostDialogues, PrintsTheTouchesOfEachPlugin)
{
    for (const DialogueCase& c : cases()) {
        SCOPED_TRACE(c.plugin);
        tp::sim::PtyLine line;
        ScriptedController controller(line, c.rules);
        const std::string command = std::string(TP_EMULATOR) + " " + TP_BINARY_DIR + "/bin/touchhost --plugin-dir " +
                                    TP_PLUGIN_DIR + " " + c.plugin + " " + line.slavePath() + " 2>/dev/null";
        FILE* child = popen(command.c_str(), "r");
        ASSERT_NE(child, nullptr);
        for (int i = 0; i < 1500 && controller.answered() < c.rules.size(); ++i)
            std::this_thread::sleep_for(10ms);
        EXPECT_EQ(controller.answered(), c.rules.size()) << "saw: " << controller.received();
        line.waitConsumed(5000ms);
        std::this_thread::sleep_for(300ms);
        line.hangUp();
        std::string out;
        char buf[256];
        while (fgets(buf, sizeof buf, child))
            out += buf;
        EXPECT_EQ(pclose(child), 0);
        EXPECT_EQ(out, c.printed);
    }
}

}  // namespace
