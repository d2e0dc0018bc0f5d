#include "serial/EloTouchHandler/tests/EloHandlerTests.h"
#include "sim/testkit/SerialConformance.h"

using tp::testkit::SerialConformance;
TP_SERIAL_CONFORMANCE(EloTouchHandler);

namespace elo_tests {
INSTANTIATE_TEST_SUITE_P(EloTouchHandler, EloHandlerTest,
                         ::testing::Values(Variant{"EloTouchHandler", false}));
}
