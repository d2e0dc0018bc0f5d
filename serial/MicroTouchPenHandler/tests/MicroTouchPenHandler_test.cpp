#include "serial/MicroTouchCommon/tests/MicroTouchAsciiTests.h"
#include "sim/testkit/SerialConformance.h"

using tp::testkit::SerialConformance;
TP_SERIAL_CONFORMANCE(MicroTouchPenHandler, tp::testkit::Op::inSync);

namespace microtouch_tests {
INSTANTIATE_TEST_SUITE_P(MicroTouchPenHandler, MicroTouchAsciiTest, ::testing::Values(Variant{"MicroTouchPenHandler", false, false, false}));
}
