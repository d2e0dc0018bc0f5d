#include "serial/MicroTouchCommon/tests/MicroTouchAsciiTests.h"
#include "sim/testkit/SerialConformance.h"

using tp::testkit::SerialConformance;
TP_SERIAL_CONFORMANCE(MicroTouchHandler, tp::testkit::Op::inSync);

namespace microtouch_tests {
INSTANTIATE_TEST_SUITE_P(MicroTouchHandler, MicroTouchAsciiTest, ::testing::Values(Variant{"MicroTouchHandler", true, false, false}));
}
