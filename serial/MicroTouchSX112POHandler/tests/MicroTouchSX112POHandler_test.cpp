#include "serial/MTSX112Base/tests/SX112Tests.h"
#include "sim/testkit/SerialConformance.h"

using tp::testkit::SerialConformance;
TP_SERIAL_CONFORMANCE(MicroTouchSX112POHandler, tp::testkit::Op::inSync);

namespace sx112_tests {
INSTANTIATE_TEST_SUITE_P(MicroTouchSX112POHandler, SX112Test, ::testing::Values(Variant{"MicroTouchSX112POHandler", "PO", "Pen only"}));
}
