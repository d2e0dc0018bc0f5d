// Loading plug-ins by name, creating handlers through their factories, and the errors a
// person sees when that fails.

#include <gtest/gtest.h>

#include <string>

#include "contract/USBTouchHandler.h"
#include "host/PluginLoader.h"

namespace {

const std::string kDir = HOST_FIXTURE_DIR;

TEST(PluginLoader, CreatesASerialHandlerThatKeepsItsLibraryLoaded) {
  std::string error;
  auto plugin = host::Plugin::load("FixtureSerial", kDir, &error);
  ASSERT_TRUE(plugin) << error;
  EXPECT_TRUE(plugin->isSerial());
  EXPECT_FALSE(plugin->isUsb());
  EXPECT_EQ(plugin->path(), kDir + "/FixtureSerial.so");

  const int live = HandlerRecord::liveHandlers();
  host::SerialHandlerPtr handler = plugin->createTouchHandler("/dev/null", &error);
  ASSERT_TRUE(handler) << error;
  EXPECT_EQ(HandlerRecord::liveHandlers(), live + 1);
  EXPECT_EQ(handler->packetLength(), 4);

  plugin.reset();  // the handler still holds the library
  EXPECT_EQ(handler->reset(), 1);
  DeviceInfoPtr none;
  EXPECT_TRUE(handler->InitTouchHandler(none)) << "its port is open";
  handler.reset();
  EXPECT_EQ(HandlerRecord::liveHandlers(), live);
}

TEST(PluginLoader, CreatesAUsbHandler) {
  std::string error;
  auto plugin = host::Plugin::load(kDir + "/FixtureUsb.so", "", &error);
  ASSERT_TRUE(plugin) << error;
  EXPECT_TRUE(plugin->isUsb());
  host::UsbHandlerPtr handler = plugin->createUSBTouchHandler("/nonexistent/usb", &error);
  ASSERT_TRUE(handler) << error;
  EXPECT_EQ(handler->descriptor(), -1);

  EXPECT_FALSE(plugin->createTouchHandler("/dev/null", &error));
  EXPECT_EQ(error, "plug-in " + kDir + "/FixtureUsb.so is not a serial plug-in (no CreateTouchHandler)");
}

struct Failure {
  const char* name;
  const char* expectedStart;
  const char* expectedPart;
};

class PluginLoadFailure : public ::testing::TestWithParam<Failure> {};

TEST_P(PluginLoadFailure, GivesOneClearLine) {
  const Failure f = GetParam();
  std::string error;
  EXPECT_FALSE(host::Plugin::load(f.name, kDir, &error));
  EXPECT_EQ(error.rfind(f.expectedStart, 0), 0u) << error;
  EXPECT_NE(error.find(f.expectedPart), std::string::npos) << error;
  EXPECT_EQ(error.find('\n'), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PluginLoadFailure,
    ::testing::Values(
        Failure{"NoSuchPlugin", "cannot load plug-in NoSuchPlugin: ", "NoSuchPlugin.so"},
        Failure{"FixtureNoFactory", "plug-in FixtureNoFactory ",
                "exports neither CreateTouchHandler nor CreateUSBTouchHandler"},
        Failure{"FixtureUnresolved", "cannot load plug-in FixtureUnresolved: ",
                "tpFixtureNobodyDefinesThis"},
        Failure{"", "cannot load plug-in: ", "no name"}));

TEST(PluginLoader, DefaultFolderFollowsTheEnvironment) {
  setenv("TP_PLUGIN_DIR", "/opt/touch/plugins", 1);
  EXPECT_EQ(host::defaultPluginDir(), "/opt/touch/plugins");
  unsetenv("TP_PLUGIN_DIR");
  const std::string dir = host::defaultPluginDir();
  EXPECT_NE(dir.find("/../lib/touchpanel/plugins"), std::string::npos) << dir;
}

}  // namespace
