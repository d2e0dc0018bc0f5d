#include "serial/MicroTouchCommon/tests/MicroTouchAsciiTests.h"
#include "sim/testkit/SerialConformance.h"

using tp::testkit::SerialConformance;
TP_SERIAL_CONFORMANCE(SyncMaster173vHandler, tp::testkit::Op::inSync);

namespace microtouch_tests {
INSTANTIATE_TEST_SUITE_P(SyncMaster173vHandler, MicroTouchAsciiTest, ::testing::Values(Variant{"SyncMaster173vHandler", true, true, true}));
}
