// Interface classification: checkQuirks on port and interface records of attached devices.

#include <string.h>

#include "contract/ZorlanRawUSBDevice.h"
#include "registry/tests/TableFixture.h"

namespace tabletest {
namespace {

// Packet sizes of the fixture's endpoints 0 to 3.
const int kEpSize[] = {8, 16, 32, 48};
const int kUntouchedEp = 15;  // touch_ep and touch_if before classification
const int kUntouchedIf = 9;

// One attached device with a single interface; every descriptor lives here.
struct Device {
  unsigned char dd[18];
  unsigned char dd2[18];
  unsigned char ifd[9];
  unsigned char ep[4][7];
  boost::shared_ptr<PHUB_DEVICEPORT> port;
  __INTERFACE__ pif;

  Device(unsigned short vendor, unsigned short product, int ifNumber, int subclass, int protocol,
         int ep0, int ep1 = 0)
      : port(new PHUB_DEVICEPORT) {
    const unsigned char d[18] = {0x12, 0x01, 0x10, 0x01, 0x00, 0x00, 0x00, 0x08,
                                 static_cast<unsigned char>(vendor), static_cast<unsigned char>(vendor >> 8),
                                 static_cast<unsigned char>(product), static_cast<unsigned char>(product >> 8),
                                 0x00, 0x01, 0x01, 0x02, 0x03, 0x01};
    memcpy(dd, d, sizeof dd);
    memcpy(dd2, d, sizeof dd2);
    const unsigned char i[9] = {0x09, 0x04, static_cast<unsigned char>(ifNumber), 0x00, 0x01, 0x03,
                                static_cast<unsigned char>(subclass), static_cast<unsigned char>(protocol),
                                0x00};
    memcpy(ifd, i, sizeof ifd);
    for (int n = 0; n < 4; ++n) {
      const unsigned char e[7] = {0x07, 0x05, static_cast<unsigned char>(0x80 | n), 0x03,
                                  static_cast<unsigned char>(kEpSize[n]), 0x00, 0x0A};
      memcpy(ep[n], e, sizeof ep[n]);
      port->ep_desc[n] = ep[n];
    }
    port->dev_desc = dd;
    port->dev_desc2 = dd2;
    port->touch_ep = kUntouchedEp;
    port->touch_if = kUntouchedIf;
    pif.if_desc = ifd;
    pif.if_eps[0] = ep0;
    pif.if_eps[1] = ep1;
  }
};

struct Outcome {
  bool result;
  int type;
  int touchPresent, touchEp, touchIf, touchSize;
  int mousePresent, mouseBoot, mouseEp, mouseSize;
  int ifClass, ifProtocol;
  bool stringsCleared;
};

Outcome untouched(int protocol) {
  return {true, 0, 0, kUntouchedEp, kUntouchedIf, 0, 0, 0, 0, 0, 3, protocol, false};
}
Outcome touch(int ep, int protocol) {
  return {true, 3, 1, ep, kUntouchedIf, kEpSize[ep], 0, 0, 0, 0, 3, protocol, false};
}
Outcome takenOver(int ifClass, int protocol) {
  return {false, 3, 1, 0, kUntouchedIf, kEpSize[0], 0, 0, 0, 0, ifClass, protocol, true};
}

struct QuirkCase {
  const char* name;
  unsigned short vendor, product;
  int ifNumber, subclass, protocol, ep0, ep1;
  Outcome expect;
  const char* message;  // the line the rule logs, level included; null: none
};

const char kGeneric[] = "driver not found, but";

const QuirkCase kQuirks[] = {
    {"ms_mouse", 0x045E, 0x00F9, 0, 1, 1, 1, 0,
     {true, 2, 0, kUntouchedEp, kUntouchedIf, 0, 1, 1, 1, 16, 3, 2, false},
     "Diag :MS wls mouse/keyboard found"},
    {"ms_other_endpoint", 0x045E, 0x00F9, 1, 0, 0, 2, 0, untouched(0), "Debug:Hid ep #(2)"},
    {"ms_other_product", 0x045E, 0x0040, 0, 0, 0, 1, 0, untouched(0), nullptr},
    {"extra_interface_endpoint", 0x0461, 0x0010, 1, 0, 0, 1, 0, untouched(0),
     "Diag :this endpoint is not supported"},
    {"extra_vendor_first_interface", 0x059D, 0x0010, 0, 0, 0, 1, 0, untouched(0), nullptr},
    {"elo", 0x04E7, 0x0020, 0, 0, 0, 1, 0, touch(1, 0), "Diag :ELO HID touch screen found"},
    {"crystaltouch", 0x0556, 0x3556, 0, 0, 1, 1, 0, touch(1, 1),
     "Info :CrystalTouch USB touch found"},
    {"crystaltouch_vendor_other_product", 0x0556, 0x0001, 0, 0, 0, 1, 0, untouched(0), nullptr},
    {"wacom_dtu_taken_over", 0x056A, 0x00CE, 0, 0, 2, 0, 0, takenOver(3, 2),
     "Diag :Wacom-Dtu touch screen found"},
    {"wacom_dtu_other_interface", 0x056A, 0x00F0, 1, 0, 2, 0, 0, untouched(2),
     "Diag :sorry, but this interface not supported"},
    {"wacom_cintiq", 0x056A, 0x003F, 0, 0, 2, 1, 0, touch(1, 2), "Info :Wacom cintiq touch found"},
    {"tsharc", 0x07DD, 0x0001, 0, 0, 1, 1, 0, touch(1, 1), "Info :Tsharc 17 inch usb found"},
    {"sympodium_taken_over", 0x0B8C, 0x0001, 1, 0, 0, 2, 0, takenOver(3, 0),
     "Diag :Sympodium touch screen found"},
    {"utouch_low_endpoint", 0x1926, 0x0003, 0, 0, 1, 1, 0, untouched(1),
     "Diag :sorry, but only ep2 is a touch 1"},
    {"utouch", 0x1926, 0x0003, 1, 0, 1, 2, 0, touch(2, 1), "Info :utouch usb found"},
    {"second_endpoint_touch", 0x2149, 0x2121, 0, 0, 1, 1, 3,
     {true, 3, 1, 3, 0, kEpSize[3], 0, 0, 0, 0, 3, 1, false}, nullptr},
    {"ilitek_taken_over", 0x222A, 0x0001, 0, 0, 1, 0, 0, takenOver(0, 3),
     "Diag :Ilitek usb touch found"},
    {"irtouch", 0x595A, 0x0001, 0, 0, 1, 1, 0, touch(1, 1), "Info :IRTouch USB touch found"},
    {"irtouch_second_vendor", 0x6615, 0x0001, 0, 0, 1, 1, 0, touch(1, 1),
     "Info :IRTouch USB touch found"},
    {"generic_known_vendor", 0x0EEF, 0x0001, 0, 0, 2, 1, 0, touch(1, 2),
     "Info :Custom driver not found, but Touch is present 3823"},
    {"generic_protocol_0", 0x1234, 0x0001, 0, 0, 0, 1, 0, touch(1, 0),
     "Info :Custom driver not found, but Touch is present 4660"},
    {"generic_not_touch", 0x1234, 0x0001, 0, 0, 2, 1, 0, untouched(2),
     "Info :No custom driver found, but not Touch"},
};

class Quirks : public TableTest, public ::testing::WithParamInterface<QuirkCase> {};

TEST_P(Quirks, ClassifyTheInterfaceIntoThePortRecord) {
  const QuirkCase& c = GetParam();
  Device dev(c.vendor, c.product, c.ifNumber, c.subclass, c.protocol, c.ep0, c.ep1);
  bool result = !c.expect.result;
  const std::string log = logOf([&] { result = table->checkQuirks(dev.port, &dev.pif); });

  const Outcome& e = c.expect;
  const PHUB_DEVICEPORT& p = *dev.port;
  EXPECT_EQ(result, e.result);
  EXPECT_EQ(dev.pif.type, e.type);
  EXPECT_EQ(p.touch_present, e.touchPresent);
  EXPECT_EQ(p.touch_ep, e.touchEp);
  EXPECT_EQ(p.touch_if, e.touchIf);
  EXPECT_EQ(p.touch_size, e.touchSize);
  EXPECT_EQ(p.mouse_present, e.mousePresent);
  EXPECT_EQ(p.mouse_boot, e.mouseBoot);
  EXPECT_EQ(p.mouse_ep, e.mouseEp);
  EXPECT_EQ(p.mouse_size, e.mouseSize);
  EXPECT_EQ(dev.ifd[5], e.ifClass);
  EXPECT_EQ(dev.ifd[7], e.ifProtocol);
  EXPECT_EQ(dev.ifd[2], c.ifNumber);
  for (const unsigned char* d : {dev.dd, dev.dd2}) {
    const unsigned char strings[3] = {d[14], d[15], d[16]};
    const unsigned char kept[3] = {1, 2, 3}, cleared[3] = {0, 0, 0};
    EXPECT_EQ(memcmp(strings, e.stringsCleared ? cleared : kept, 3), 0);
    EXPECT_EQ(d[8] | d[9] << 8, c.vendor);  // nothing else of the descriptors changes
  }

  char line[96];
  snprintf(line, sizeof line, "Diag :Checking for quirks for vendor(%04X) product(%04X)\n",
           c.vendor, c.product);
  EXPECT_TRUE(has(log, line)) << log;
  EXPECT_TRUE(has(log, "Diag :checkQuirks function start\n")) << log;
  snprintf(line, sizeof line, "Diag :pif->type = 0, pif->if_eps[0] = %d\n", c.ep0);
  EXPECT_TRUE(has(log, line)) << log;
  snprintf(line, sizeof line, "Diag :smart return %d\n", e.result ? 1 : 0);
  EXPECT_TRUE(has(log, line)) << log;
  if (c.message) {
    EXPECT_TRUE(has(log, std::string(c.message) + "\n")) << log;
  }
  // Vendors with rules of their own never get the generic classification.
  const bool generic = c.message && strstr(c.message, kGeneric);
  EXPECT_EQ(has(log, kGeneric), generic) << log;
}

INSTANTIATE_TEST_SUITE_P(Vendors, Quirks, ::testing::ValuesIn(kQuirks),
                         [](const ::testing::TestParamInfo<QuirkCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(TableTest, MouseRuleLogsItsEndpointAndSize) {
  Device dev(0x045E, 0x00F9, 0, 0, 1, 1);
  const std::string log = logOf([&] { table->checkQuirks(dev.port, &dev.pif); });
  EXPECT_TRUE(has(log, "Debug:Mouse EP is 1, reportd size(16)\n")) << log;
  EXPECT_EQ(dev.port->mouse_boot, 0);  // subclass 0 is no boot device
}

TEST_F(TableTest, LearntReportSizeGoesToTheFirstRowOfTheIds) {
  struct {
    unsigned short vendor, product;
    int row;
    int original;
  } const kLearners[] = {{0x07DD, 0x0001, 28, 8}, {0x1926, 0x0003, 30, 40}};
  for (const auto& l : kLearners) {
    SCOPED_TRACE(l.row);
    Device dev(l.vendor, l.product, 0, 0, 1, 2);
    EXPECT_TRUE(table->checkQuirks(dev.port, &dev.pif));
    EXPECT_EQ(table->getReportSize(l.row), kEpSize[2]);
    EXPECT_EQ(table->getReportSize(l.vendor, l.product, nullptr, nullptr), kEpSize[2]);

    // An endpoint without a descriptor has no size to learn; the row keeps its own.
    Device bare(l.vendor, l.product, 0, 0, 1, 2);
    bare.port->ep_desc[2] = nullptr;
    const std::string log = logOf([&] { EXPECT_TRUE(table->checkQuirks(bare.port, &bare.pif)); });
    EXPECT_EQ(bare.port->touch_size, 0);
    EXPECT_EQ(table->getReportSize(l.row), kEpSize[2]);
    EXPECT_TRUE(has(log, "WARN :checkQuirks: no descriptor for endpoint 2")) << log;

    // Put the row back for the other tests of this program.
    Device restore(l.vendor, l.product, 0, 0, 1, 2);
    restore.ep[2][4] = static_cast<unsigned char>(l.original);
    table->checkQuirks(restore.port, &restore.pif);
    EXPECT_EQ(table->getReportSize(l.row), l.original);
  }
}

TEST_F(TableTest, MissingRecordsAreRefusedAndLeftAlone) {
  Device dev(0x04E7, 0x0020, 0, 0, 0, 1);
  EXPECT_FALSE(table->checkQuirks(boost::shared_ptr<PHUB_DEVICEPORT>(), &dev.pif));
  EXPECT_FALSE(table->checkQuirks(dev.port, nullptr));
  dev.pif.if_desc = nullptr;
  EXPECT_FALSE(table->checkQuirks(dev.port, &dev.pif));
  dev.pif.if_desc = dev.ifd;
  dev.port->dev_desc = nullptr;
  const std::string log = logOf([&] { EXPECT_FALSE(table->checkQuirks(dev.port, &dev.pif)); });
  EXPECT_TRUE(has(log, "ERROR:checkQuirks: device descriptor missing")) << log;
  EXPECT_EQ(dev.pif.type, 0);
  EXPECT_EQ(dev.port->touch_present, 0);
}

TEST_F(TableTest, EndpointsWithoutDescriptorsGiveSizeZero) {
  for (int ep : {-1, 5, 16, 99}) {
    SCOPED_TRACE(ep);
    Device dev(0x04E7, 0x0020, 0, 0, 0, ep);
    EXPECT_TRUE(table->checkQuirks(dev.port, &dev.pif));
    EXPECT_EQ(dev.port->touch_ep, ep);
    EXPECT_EQ(dev.port->touch_size, 0);
  }
  Device mouse(0x045E, 0x00F9, 0, 1, 1, 1);
  mouse.port->ep_desc[1] = nullptr;
  EXPECT_TRUE(table->checkQuirks(mouse.port, &mouse.pif));
  EXPECT_EQ(mouse.port->mouse_size, 0);

  // Taken over through endpoint 0 with neither its descriptor nor the second copy of the
  // device descriptor.
  Device dtu(0x056A, 0x00CE, 0, 0, 2, 0);
  dtu.port->ep_desc[0] = nullptr;
  dtu.port->dev_desc2 = nullptr;
  EXPECT_FALSE(table->checkQuirks(dtu.port, &dtu.pif));
  EXPECT_EQ(dtu.port->touch_size, 0);
  EXPECT_EQ(dtu.dd[14] | dtu.dd[15] | dtu.dd[16], 0);
}

// String descriptors of the parent device, logged while the interfaces are classified.
class StringLines : public TableTest {
 protected:
  void SetUp() override {
    TableTest::SetUp();
    static const unsigned char english[] = {0x04, 0x03, 0x09, 0x04};
    static const unsigned char acme[] = {0x0A, 0x03, 'A', 0, 'c', 0, 'm', 0, 'e', 0};
    // "Pad", a control character, "é", an en dash, "X": only printable low bytes stay.
    static const unsigned char pad[] = {0x10, 0x03, 'P', 0, 'a', 0, 'd', 0,
                                        0x01, 0,    0xE9, 0, 0x13, 0x20, 'X', 0};
    static const unsigned char notString[] = {0x06, 0x02, 'S', 0, 'N', 0};
    device.setStringDescriptor(0, english, sizeof english);
    device.setStringDescriptor(1, acme, sizeof acme);
    device.setStringDescriptor(2, pad, sizeof pad);
    device.setStringDescriptor(3, notString, sizeof notString);
    table->setParent(&device);
  }

  std::string classify() {
    Device dev(0x04E7, 0x0020, 0, 0, 0, 1);
    return logOf([&] { table->checkQuirks(dev.port, &dev.pif); });
  }

  ZorlanRawUSBDevice device;
};

TEST_F(StringLines, PrintableLowBytesOfEachNamedString) {
  const std::string log = classify();
  EXPECT_TRUE(has(log, "Debug:USB Device String Descriptor [mfg: Acme]\n")) << log;
  EXPECT_TRUE(has(log, "Debug:USB Device String Descriptor [prod: PadX]\n")) << log;
  EXPECT_FALSE(has(log, "s/n")) << log;  // descriptor type 2 is no string
}

TEST_F(StringLines, ShortOrMissingStringsAreSkipped) {
  static const unsigned char empty[] = {0x02, 0x03};
  device.setStringDescriptor(1, empty, sizeof empty);
  device.stringPresent[2] = 0;
  const std::string log = classify();
  EXPECT_FALSE(has(log, "String Descriptor")) << log;
}

TEST_F(StringLines, NoLinesWithoutEnglishStrings) {
  struct {
    const char* name;
    unsigned char lang[4];
    size_t length;
  } const kLanguages[] = {
      {"german_only", {0x04, 0x03, 0x07, 0x04}, 4},
      {"wrong_type", {0x04, 0x02, 0x09, 0x04}, 4},
      {"langid_cut_short", {0x03, 0x03, 0x09, 0x04}, 4},  // bLength 3 holds half a LANGID
  };
  for (const auto& l : kLanguages) {
    SCOPED_TRACE(l.name);
    device.setStringDescriptor(0, l.lang, l.length);
    EXPECT_FALSE(has(classify(), "String Descriptor"));
  }
  device.stringPresent[0] = 0;
  EXPECT_FALSE(has(classify(), "String Descriptor"));
  table->setParent(nullptr);
  static const unsigned char english[] = {0x04, 0x03, 0x09, 0x04};
  device.setStringDescriptor(0, english, sizeof english);
  EXPECT_FALSE(has(classify(), "String Descriptor"));
}

}  // namespace
}  // namespace tabletest
