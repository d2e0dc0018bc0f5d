#include "serial/MTSX112Base/tests/SX112Tests.h"
#include "sim/testkit/SerialConformance.h"

using tp::testkit::SerialConformance;
TP_SERIAL_CONFORMANCE(MicroTouchSX112FOHandler, tp::testkit::Op::inSync);

namespace sx112_tests {
INSTANTIATE_TEST_SUITE_P(MicroTouchSX112FOHandler, SX112Test, ::testing::Values(Variant{"MicroTouchSX112FOHandler", "FO", "Finger only"}));
}
