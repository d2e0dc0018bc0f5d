// touchdrivers: asks the supported touch-driver table which driver serves a USB touch
// controller, or lists the table. The table is loaded as the host loads it, so this is
// also a quick check of a built library.
//
//   touchdrivers [--lib PATH] [--verbose] lookup VID:PID [--dd HEX] [--if HEX]
//       prints "<row> <driver> <reportSize> <description>"
//   touchdrivers [--lib PATH] [--verbose] list
//       prints "<row> <vid>:<pid> <driver> <reportSize> <description>" per row
//
// The library's log lines go to standard error (--verbose adds its diagnostic lines).
// Exit status: 0 done, 1 the library cannot be used, 2 bad arguments.

#include <stdio.h>
#include <string.h>

#include <memory>
#include <string>

#include "tools/touchdrivers/DriverTableLibrary.h"
#include "tools/touchdrivers/HexArgs.h"
#include "util/Logger.h"

namespace {

const int kExitFailed = 1;
const int kExitUsage = 2;
const unsigned long kInputCategory = 0x4000000;

int usage() {
  fprintf(stderr,
          "usage: touchdrivers [--lib PATH] [--verbose] lookup VID:PID [--dd HEX36] [--if HEX18]"
          " | list\n");
  return kExitUsage;
}

struct Options {
  std::string library;
  bool verbose = false;
  const char* command = nullptr;
  unsigned short vendor = 0;
  unsigned short product = 0;
  unsigned char dd[PHUB_DEVICE_DESC_SIZE] = {};
  unsigned char ifs[PHUB_INTERFACE_DESC_SIZE] = {};
  bool haveDd = false;
  bool haveIfs = false;
};

// Parses argv into opt; false on anything unexpected.
bool parse(int argc, char** argv, Options& opt) {
  int i = 1;
  for (; i < argc && argv[i][0] == '-'; ++i) {
    if (!strcmp(argv[i], "--verbose")) {
      opt.verbose = true;
    } else if (!strcmp(argv[i], "--lib") && i + 1 < argc && argv[i + 1][0]) {
      opt.library = argv[++i];
    } else {
      return false;
    }
  }
  if (i >= argc) return false;
  opt.command = argv[i++];
  if (!strcmp(opt.command, "list")) return i == argc;
  if (strcmp(opt.command, "lookup") || i >= argc) return false;
  if (!parseUsbIds(argv[i++], &opt.vendor, &opt.product)) return false;
  for (; i < argc; ++i) {
    const bool dd = !strcmp(argv[i], "--dd");
    const bool ifs = !strcmp(argv[i], "--if");
    if ((!dd && !ifs) || i + 1 >= argc) return false;
    bool& seen = dd ? opt.haveDd : opt.haveIfs;
    if (seen) return false;
    seen = dd ? parseHexBytes(argv[i + 1], opt.dd, sizeof opt.dd)
              : parseHexBytes(argv[i + 1], opt.ifs, sizeof opt.ifs);
    if (!seen) return false;
    ++i;
  }
  return true;
}

int lookup(ZorlanSupportedTouchDrivers& table, const Options& opt) {
  const unsigned char* dd = opt.haveDd ? opt.dd : nullptr;
  const unsigned char* ifs = opt.haveIfs ? opt.ifs : nullptr;
  const int row = table.findDevice(opt.vendor, opt.product, dd, ifs);
  const char* driver = table.getDriver(opt.vendor, opt.product, dd, ifs);
  const int size = table.getReportSize(opt.vendor, opt.product, dd, ifs);
  const char* desc = table.getDesc(opt.vendor, opt.product, dd, ifs);
  printf("%d %s %d %s\n", row, driver, size, desc);
  return 0;
}

int list(ZorlanSupportedTouchDrivers& table, const SupportedTouchDevice* rows) {
  for (int row = 0; row < table.numDevices(); ++row)
    printf("%d %04x:%04x %s %d %s\n", row, rows[row].vendorId, rows[row].productId,
           table.getDriver(row), table.getReportSize(row), table.getDesc(row));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options opt;
  if (!parse(argc, argv, opt)) return usage();
  if (opt.verbose) Logger::Instance()->setMask(kInputCategory);

  DriverTableLibrary library(opt.library);
  if (!library.ok()) {
    fprintf(stderr, "touchdrivers: %s\n", library.error().c_str());
    return kExitFailed;
  }
  std::unique_ptr<ZorlanSupportedTouchDrivers> table(library.create());
  if (!table) {
    fprintf(stderr, "touchdrivers: %s created no table\n", library.path().c_str());
    return kExitFailed;
  }
  if (!strcmp(opt.command, "list")) {
    const SupportedTouchDevice* rows = library.rows();
    if (!rows) {
      fprintf(stderr, "touchdrivers: %s does not export its rows\n", library.path().c_str());
      return kExitFailed;
    }
    return list(*table, rows);
  }
  return lookup(*table, opt);
}
