#pragma once
// The real touchhost program (under qemu-user in the cross build) on a pty whose other end a
// test plays as the controller:
//
//   tp::sim::PtyLine line;
//   auto p = passthrough_tests::startTouchhost("SanyoTouchHandler", line);
//   line.send(...);  ... line.waitConsumed(); line.hangUp();
//   EXPECT_EQ(p.wait(...), 0); EXPECT_EQ(p.stdoutText(), "down 1 2\n");
//
// The port is flushed when the plug-in opens it, so bytes sent earlier would be lost: the
// start waits until the program holds the device open, and a little more.

#include "serial/PassThroughCommon/testing/PortWatch.h"
#include "sim/controllers/PtyLine.h"
#include "sim/testkit/ChildProcess.h"

#include <chrono>
#include <string>
#include <thread>
#include <unistd.h>

namespace passthrough_tests {

inline tp::testkit::ChildProcess startTouchhost(const std::string& plugin, tp::sim::PtyLine& line,
                                                std::chrono::milliseconds timeout =
                                                    std::chrono::milliseconds(20000))
{
    auto p = tp::testkit::ChildProcess::start(tp::testkit::builtProgram("touchhost"),
                                              {plugin, line.slavePath()});
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!holdsOpen(p.pid(), line.slavePath()) && p.running() &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    return p;
}

} // namespace passthrough_tests
