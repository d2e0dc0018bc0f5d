// Lookups of the driver table by ids and descriptors, and by row.

#include <limits.h>
#include <string.h>

#include "registry/tests/TableFixture.h"

namespace tabletest {
namespace {

// Descriptors of controllers that share ids with other rows.
const char kDd6[] = "12 01 10 01 00 00 00 08 EF 0E 01 00 00 01 01 02 00 01";  // also row 10's
const char kDd12[] = "12 01 00 02 00 00 00 40 EF 0E 01 00 00 02 01 02 00 01";
const char kDd13[] = "12 01 10 01 00 00 00 40 EF 0E 01 00 00 02 01 02 00 01";
const char kIf10[] = "09 04 00 00 01 03 00 00 00";  // also row 12's
const char kIf6[] = "09 04 00 00 01 FF FF FF 00";
const char kDdPodium3[] = "12 01 00 02 00 00 00 40 8C 0B 6E 00 10 00 01 02 07 01";
const char kIfDtu2[] = "09 02 3B 00 02 01 00 E0 00";

struct LookupCase {
  const char* name;
  unsigned short vendor, product;
  const char* dd;   // null: not given
  const char* ifs;  // null: not given
  int row;
  const char* driver;
  const char* message;  // the Logger line that names the outcome, level included
};

const LookupCase kLookups[] = {
    {"exact_row10", 0x0EEF, 0x0001, kDd6, kIf10, 10, "ZorlanDefaultUsbHandler2",
     "Diag :Exact device VID(0x0EEF)/PID(0x0001) found"},
    {"dd_only_row12", 0x0EEF, 0x0001, kDd12, nullptr, 12, "ZorlanDefaultUsbHandler",
     "Diag :Specific device VID(0x0EEF)/PID(0x0001) found with DD"},
    {"dd_only_row13", 0x0EEF, 0x0001, kDd13, nullptr, 13, "ZorlanEGalaxUsbHandler",
     "Diag :Specific device VID(0x0EEF)/PID(0x0001) found with DD"},
    {"dd_shared_first_wins", 0x0EEF, 0x0001, kDd6, nullptr, 6, "ZorlanDefaultUsbHandler",
     "found with DD"},
    {"if_only_row10", 0x0EEF, 0x0001, nullptr, kIf10, 10, "ZorlanDefaultUsbHandler2",
     "Diag :Specific device VID(0x0EEF)/PID(0x0001) found with IF"},
    {"family_first_row", 0x0EEF, 0x0001, nullptr, nullptr, 6, "ZorlanDefaultUsbHandler",
     "Diag :Supported family VID(0x0EEF)/PID(0x0001), no DD/ID requested"},
    {"serial_index_tells_podium", 0x0B8C, 0x006E, kDdPodium3, nullptr, 3,
     "ZorlanNWSMARTProtocol6UsbHandler", "found with DD"},
    {"config_bytes_tell_dtu", 0x056A, 0x00CE, nullptr, kIfDtu2, 26, "Zorlan_056A_00CE",
     "found with IF"},
};

class LookupByIds : public TableTest, public ::testing::WithParamInterface<LookupCase> {};

TEST_P(LookupByIds, FindsTheFirstMatchingRowAndNamesItsDriver) {
  const LookupCase& c = GetParam();
  const std::vector<unsigned char> dd = c.dd ? hex(c.dd) : std::vector<unsigned char>();
  const std::vector<unsigned char> ifs = c.ifs ? hex(c.ifs) : std::vector<unsigned char>();
  const unsigned char* ddp = c.dd ? dd.data() : nullptr;
  const unsigned char* ifp = c.ifs ? ifs.data() : nullptr;

  int row = -2;
  const std::string log = logOf([&] { row = table->findDevice(c.vendor, c.product, ddp, ifp); });
  EXPECT_EQ(row, c.row);
  EXPECT_TRUE(has(log, c.message)) << log;
  EXPECT_EQ(has(log, "Checking DD: "), c.dd != nullptr) << log;
  EXPECT_FALSE(has(log, "not found")) << log;

  // A specific match is an event; a family answer is not.
  if (c.dd || c.ifs) {
    char line[128];
    snprintf(line, sizeof line, "4096 Device VID(0x%04X)/PID(0x%04X), using touch driver: %s",
             c.vendor, c.product, c.driver);
    EXPECT_EQ(events.lines, std::vector<std::string>{line});
  } else {
    EXPECT_TRUE(events.lines.empty());
  }

  EXPECT_STREQ(table->getDriver(c.vendor, c.product, ddp, ifp), c.driver);
  EXPECT_EQ(table->getReportSize(c.vendor, c.product, ddp, ifp), table->getReportSize(c.row));
  EXPECT_STREQ(table->getDesc(c.vendor, c.product, ddp, ifp), table->getDesc(c.row));
  EXPECT_TRUE(table->isTouchEnabled(c.vendor, c.product, ddp, ifp));
}

INSTANTIATE_TEST_SUITE_P(Rows, LookupByIds, ::testing::ValuesIn(kLookups),
                         [](const ::testing::TestParamInfo<LookupCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(TableTest, DescriptorComparisonShowsGivenThenRowBytes) {
  const std::vector<unsigned char> dd = hex(kDd12);
  const std::string log = logOf([&] { table->findDevice(0x0EEF, 0x0001, dd.data(), nullptr); });
  // Row 6 is the first with these ids; its bcdUSB is 1.10 where the device says 2.00.
  EXPECT_TRUE(has(log, "Debug:Checking DD: 12/12 01/01 00/10 02/01 00/00 00/00 00/00 40/08 "
                       "ef/ef 0e/0e 01/01 00/00 00/00 02/01 01/01 02/02 00/00 01/01 \n"))
      << log;
}

TEST_F(TableTest, KnownIdsWithUnknownDescriptorsGetTheDefaultDriver) {
  const std::vector<unsigned char> dd = hex(kDd6);
  const std::vector<unsigned char> ifs = hex(kIf6);
  std::vector<unsigned char> bad = hex(kIf10);
  bad[8] = 0x01;  // iInterface differs from every 0EEF:0001 row

  int row = 0;
  std::string log = logOf([&] { row = table->findDevice(0x0EEF, 0x0001, dd.data(), bad.data()); });
  EXPECT_EQ(row, -1);
  EXPECT_TRUE(has(log, "WARN :Device VID(0x0EEF)/PID(0x0001) found, but dd/if spec not matched"))
      << log;
  EXPECT_TRUE(has(log, "WARN :Supported device VID(0x0EEF)/PID(0x0001) not found")) << log;
  EXPECT_TRUE(events.lines.empty());

  const char* driver = nullptr;
  log = logOf([&] { driver = table->getDriver(0x0EEF, 0x0001, dd.data(), bad.data()); });
  EXPECT_STREQ(driver, "ZorlanDefaultUsbHandler");
  EXPECT_TRUE(has(log, "ERROR:Driver not found for VID(0x0EEF)/PID(0x0001), attemping default "
                       "driver"))
      << log;

  // Row 6's interface with row 12's device descriptor is no row either.
  const std::vector<unsigned char> dd12 = hex(kDd12);
  EXPECT_EQ(table->findDevice(0x0EEF, 0x0001, dd12.data(), ifs.data()), -1);
}

TEST_F(TableTest, UnknownIdsGetTheDefaultRowExceptTouchEnabled) {
  int size = 0;
  const char* desc = nullptr;
  bool enabled = true;
  const std::string log = logOf([&] {
    size = table->getReportSize(0x1234, 0x5678, nullptr, nullptr);
    desc = table->getDesc(0x1234, 0x5678, nullptr, nullptr);
    enabled = table->isTouchEnabled(0x1234, 0x5678, nullptr, nullptr);
  });
  EXPECT_EQ(size, 64);
  EXPECT_STREQ(desc, "Default Touch Handler/HID");
  EXPECT_FALSE(enabled);
  EXPECT_TRUE(has(log, "ERROR:Device not found for VID(0x1234)/PID(0x5678)")) << log;
  EXPECT_TRUE(has(log, "WARN :Supported device VID(0x1234)/PID(0x5678) not found")) << log;
  EXPECT_FALSE(has(log, "dd/if spec not matched")) << log;
}

TEST_F(TableTest, RowZeroCountsAsFound) {
  std::string log = logOf([&] {
    EXPECT_EQ(table->getReportSize(0x1926, 0x0367, nullptr, nullptr), 54);
    EXPECT_STREQ(table->getDriver(0x1926, 0x0367, nullptr, nullptr),
                 "ZorlanNWSMARTProtocol7UsbHandler");
  });
  EXPECT_FALSE(has(log, "not found")) << log;
}

TEST_F(TableTest, RowsOutOfRangeGetTheDefaultRowWithAMessage) {
  for (int row : {-1, 34, INT_MIN, INT_MAX}) {
    SCOPED_TRACE(row);
    char message[64];
    snprintf(message, sizeof message, "ERROR:Device %d out of range 34", row);
    const std::string log = logOf([&] {
      EXPECT_STREQ(table->getDriver(row), "ZorlanDefaultUsbHandler");
      EXPECT_EQ(table->getReportSize(row), 64);
      EXPECT_STREQ(table->getDesc(row), "Default Touch Handler/HID");
      EXPECT_FALSE(table->isTouchEnabled(row));
    });
    EXPECT_TRUE(has(log, message)) << log;
  }
  const std::string log = logOf([&] {
    EXPECT_STREQ(table->getDefaultDriver(), "ZorlanDefaultUsbHandler");
    EXPECT_EQ(table->getReportSize(0), 54);
    EXPECT_TRUE(table->isTouchEnabled(33));
  });
  EXPECT_FALSE(has(log, "out of range")) << log;
}

}  // namespace
}  // namespace tabletest
