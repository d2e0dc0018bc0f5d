#include "serial/MTSX112Base/tests/SX112Tests.h"
#include "sim/testkit/SerialConformance.h"

using tp::testkit::SerialConformance;
TP_SERIAL_CONFORMANCE(MicroTouchSX112PFHandler, tp::testkit::Op::inSync);

namespace sx112_tests {
INSTANTIATE_TEST_SUITE_P(MicroTouchSX112PFHandler, SX112Test, ::testing::Values(Variant{"MicroTouchSX112PFHandler", "PF", "Pen and Finger"}));
}
