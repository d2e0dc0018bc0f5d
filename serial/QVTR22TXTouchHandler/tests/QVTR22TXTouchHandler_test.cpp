#include "serial/EyegonomicTouchHandler/tests/EyegonomicHandlerTests.h"
#include "sim/testkit/SerialConformance.h"

using tp::testkit::SerialConformance;
TP_SERIAL_CONFORMANCE(QVTR22TXTouchHandler, tp::testkit::Op::inSync);

namespace eyegonomic_tests {
INSTANTIATE_TEST_SUITE_P(QVTR22TXTouchHandler, EyegonomicHandlerTest,
                         ::testing::Values("QVTR22TXTouchHandler"));
}
