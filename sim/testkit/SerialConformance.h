#pragma once
// The conformance suite every serial plug-in runs: what the host relies on of any handler.
//
// One line in the plug-in's test file instantiates it:
//
//   TP_SERIAL_CONFORMANCE(EloTouchHandler);
//   TP_SERIAL_CONFORMANCE(NullTouchHandler, tp::testkit::Op::changeBaud);   // overrides
//
// The optional list names the optional operations whose inline default the plug-in
// overrides; the suite checks the defaults of all the others. It also checks that the
// factory gives a handler bound to the port, that enable/disable and the per-port
// pass-through flags answer as the framework set them, that random byte streams never crash
// readData and that it returns once the line hangs up, and that deleting the handler through
// an InputHandler* runs the handler's and the framework's destructors (nothing leaks).

#include <gtest/gtest.h>
#include <set>
#include <string>

namespace tp::testkit {

enum class Op {
    reset,
    waitForReply,
    sendPacket,
    sendExtendedPacket,
    queryPacket,
    queryExtendedPacket,
    changeBaud,
    getTouchedOnWake,
    burnPSOCFile,
    handleOffscreenTouch,
    inSync,
    inPassPCSync,
    inPassSync,
};

struct ConformanceCase {
    std::string plugin;
    std::set<Op> overridden;
    // Controller lines the simulated port shows (TIOCM_CTS, TIOCM_CAR ...).
    int inputLines = 0;
};

inline void PrintTo(const ConformanceCase& c, std::ostream* os) { *os << c.plugin; }

std::string conformanceName(const ::testing::TestParamInfo<ConformanceCase>& info);

class SerialConformance : public ::testing::TestWithParam<ConformanceCase> {};

} // namespace tp::testkit

#define TP_SERIAL_CONFORMANCE(Plugin, ...)                                                     \
    INSTANTIATE_TEST_SUITE_P(Plugin, SerialConformance,                                        \
                             ::testing::Values(::tp::testkit::ConformanceCase{                 \
                                 #Plugin, std::set<::tp::testkit::Op>{__VA_ARGS__}}),          \
                             ::tp::testkit::conformanceName)

// The same with a whole ConformanceCase, e.g. to show the handler CTS and carrier:
//   TP_SERIAL_CONFORMANCE_CASE(SmartTechTouchHandler,
//       (tp::testkit::ConformanceCase{"SmartTechTouchHandler", {tp::testkit::Op::inPassPCSync},
//                                     TIOCM_CTS | TIOCM_CAR}));
#define TP_SERIAL_CONFORMANCE_CASE(Name, Case)                                                 \
    INSTANTIATE_TEST_SUITE_P(Name, SerialConformance, ::testing::Values Case,                 \
                             ::tp::testkit::conformanceName)
