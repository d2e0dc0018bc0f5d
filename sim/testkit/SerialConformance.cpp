#include "sim/testkit/SerialConformance.h"

#include "contract/HandlerRecord.h"
#include "contract/ZorlanTouchHandler.h"
#include "sim/testkit/AllocationCounter.h"
#include "sim/testkit/SerialPluginHarness.h"

#include <cstring>
#include <functional>
#include <random>

namespace tp::testkit {

using namespace std::chrono_literals;

std::string conformanceName(const ::testing::TestParamInfo<ConformanceCase>& info)
{
    return info.param.plugin;
}

// Programs that link the test kit but instantiate no conformance case are fine.
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(SerialConformance);

namespace {

struct DefaultCase {
    Op op;
    const char* what;
    std::function<bool(ZorlanTouchHandler&)> holds;
};

const std::vector<DefaultCase>& inlineDefaults()
{
    static unsigned char buf[64];
    static const std::vector<DefaultCase> cases = {
        {Op::reset, "reset() == 1", [](ZorlanTouchHandler& h) { return h.reset() == 1; }},
        {Op::waitForReply, "waitForReply() == 0",
         [](ZorlanTouchHandler& h) { return h.waitForReply(0x55, buf, 10) == 0; }},
        {Op::sendPacket, "sendPacket() == 0",
         [](ZorlanTouchHandler& h) { return h.sendPacket(buf) == 0; }},
        {Op::sendExtendedPacket, "sendExtendedPacket() == 0",
         [](ZorlanTouchHandler& h) { return h.sendExtendedPacket(buf, 8) == 0; }},
        {Op::queryPacket, "queryPacket() == 0",
         [](ZorlanTouchHandler& h) { return h.queryPacket(buf) == 0; }},
        {Op::queryExtendedPacket, "queryExtendedPacket() == 0",
         [](ZorlanTouchHandler& h) { return h.queryExtendedPacket(buf, 8) == 0; }},
        {Op::changeBaud, "changeBaud() == 0",
         [](ZorlanTouchHandler& h) { return h.changeBaud(B19200) == 0; }},
        {Op::getTouchedOnWake, "getTouchedOnWake() == 0",
         [](ZorlanTouchHandler& h) { return h.getTouchedOnWake() == 0; }},
        {Op::burnPSOCFile, "burnPSOCFile() == 0",
         [](ZorlanTouchHandler& h) { return h.burnPSOCFile("/nonexistent", DownloadMode()) == 0; }},
        {Op::handleOffscreenTouch, "handleOffscreenTouch() == 0",
         [](ZorlanTouchHandler& h) {
             GfPoint p(5, 7);
             return h.handleOffscreenTouch(p, true) == 0 && p == GfPoint(5, 7);
         }},
        {Op::inSync, "inSync() is true for any first byte",
         [](ZorlanTouchHandler& h) {
             for (int b = 0; b < 256; ++b) {
                 unsigned char byte = static_cast<unsigned char>(b);
                 if (!h.inSync(&byte))
                     return false;
             }
             return true;
         }},
        {Op::inPassPCSync, "inPassPCSync() returns its count, block unchanged",
         [](ZorlanTouchHandler& h) {
             unsigned char block[16], copy[16];
             for (int i = 0; i < 16; ++i)
                 block[i] = copy[i] = static_cast<unsigned char>(0xF0 + i);
             return h.inPassPCSync(block, 16) == 16 && h.inPassPCSync(block, 3) == 3 &&
                    std::memcmp(block, copy, sizeof block) == 0;
         }},
        {Op::inPassSync, "inPassSync() == 1",
         [](ZorlanTouchHandler& h) { return h.inPassSync(buf, 4) == 1; }},
    };
    return cases;
}

// Plays random bytes to the handler while a reader runs it, then hangs up.
void playNoise(SerialPluginHarness& harness, ZorlanTouchHandler& handler, unsigned seed)
{
    ReaderThread reader(handler, &harness.line());
    std::mt19937 random(seed);
    for (int chunk = 0; chunk < 16; ++chunk) {
        sim::Bytes noise(128);
        for (auto& b : noise)
            b = static_cast<std::uint8_t>(random());
        harness.line().send(noise);
        harness.line().drain(5ms);  // whatever the handler answers
    }
    harness.line().waitConsumed();
    harness.line().hangUp();
    reader.join();
}

} // namespace

TEST_P(SerialConformance, FactoryGivesAHandlerBoundToThePort)
{
    SerialPluginHarness harness(GetParam().plugin, GetParam().inputLines);
    auto handler = harness.create();
    ASSERT_TRUE(handler);
    EXPECT_TRUE(harness.plugin()->isSerial());
    EXPECT_GE(handler->descriptor(), 0) << "the controller port is not open";
    EXPECT_STREQ(handler->deviceName(), harness.device().c_str());
    EXPECT_GE(handler->packetCapacity(), 32);
    EXPECT_GE(handler->packetCapacity(), handler->packetLength());
    EXPECT_EQ(handler->passThroughDescriptor(), -1);
}

TEST_P(SerialConformance, InlineDefaultsAnswerNotSupported)
{
    SerialPluginHarness harness(GetParam().plugin, GetParam().inputLines);
    auto handler = harness.create();
    ASSERT_TRUE(handler);
    for (const DefaultCase& c : inlineDefaults()) {
        if (GetParam().overridden.count(c.op))
            continue;
        EXPECT_TRUE(c.holds(*handler)) << c.what;
    }
    handler->init();
    handler->exitHandler();
}

TEST_P(SerialConformance, EnableAndDisable)
{
    SerialPluginHarness harness(GetParam().plugin, GetParam().inputLines);
    auto handler = harness.create();
    ASSERT_TRUE(handler);
    handler->disable();
    EXPECT_TRUE(handler->isDisabled());
    handler->enable();
    EXPECT_FALSE(handler->isDisabled());
    handler->disable();
    EXPECT_TRUE(handler->isDisabled());
}

TEST_P(SerialConformance, DeviceReadyAnswersEachPortsFlag)
{
    SerialPluginHarness harness(GetParam().plugin, GetParam().inputLines);
    auto handler = harness.create();
    ASSERT_TRUE(handler);
    for (int ready = 0; ready < 4; ++ready) {
        for (int port = 0; port < 4; ++port)
            handler->setDeviceReady(port, port == ready);
        for (int port = 0; port < 4; ++port)
            EXPECT_EQ(handler->deviceReady(port), port == ready)
                << "port " << port << " with only port " << ready << " ready";
    }
    EXPECT_FALSE(handler->deviceReady(-1));
    EXPECT_FALSE(handler->deviceReady(4));
    handler->setThinPassthru(true);
    EXPECT_TRUE(handler->thinPassthruMode());
    handler->setThinPassthru(false);
    EXPECT_FALSE(handler->thinPassthruMode());
}

TEST_P(SerialConformance, RandomBytesNeverCrashAndHangUpEndsReading)
{
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        SerialPluginHarness harness(GetParam().plugin, GetParam().inputLines);
        auto handler = harness.create();
        ASSERT_TRUE(handler);
        playNoise(harness, *handler, seed);
    }
}

TEST_P(SerialConformance, DeletingThroughInputHandlerRunsBothDestructors)
{
    SerialPluginHarness harness(GetParam().plugin, GetParam().inputLines);
    harness.create().reset();  // first use of the host's singletons allocates for good
    int liveBefore = HandlerRecord::liveHandlers();
    long leaked = 0;
    {
        AllocationCounter counter;
        host::SerialHandlerPtr handler = harness.create();
        ASSERT_TRUE(handler);
        EXPECT_EQ(HandlerRecord::liveHandlers(), liveBefore + 1);
        auto keepLoaded = handler.get_deleter().plugin;
        InputHandler* base = handler.release();
        delete base;
        leaked = counter.live();
    }
    EXPECT_EQ(HandlerRecord::liveHandlers(), liveBefore) << "the framework destructor did not run";
    EXPECT_EQ(leaked, 0) << "blocks allocated by the handler were not freed";
}

} // namespace tp::testkit
