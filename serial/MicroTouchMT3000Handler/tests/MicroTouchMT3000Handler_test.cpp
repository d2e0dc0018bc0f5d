#include "serial/MicroTouchCommon/tests/MicroTouchAsciiTests.h"
#include "sim/testkit/SerialConformance.h"

using tp::testkit::SerialConformance;
TP_SERIAL_CONFORMANCE(MicroTouchMT3000Handler, tp::testkit::Op::inSync);

namespace microtouch_tests {
INSTANTIATE_TEST_SUITE_P(MicroTouchMT3000Handler, MicroTouchAsciiTest, ::testing::Values(Variant{"MicroTouchMT3000Handler", true, true, true}));
}
