#include "serial/EloTouchHandler/tests/EloHandlerTests.h"
#include "sim/testkit/SerialConformance.h"

using tp::testkit::SerialConformance;
TP_SERIAL_CONFORMANCE(Elo19TouchHandler);

namespace elo_tests {
INSTANTIATE_TEST_SUITE_P(Elo19TouchHandler, EloHandlerTest,
                         ::testing::Values(Variant{"Elo19TouchHandler", true}));
}
