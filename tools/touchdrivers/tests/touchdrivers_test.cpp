// The touchdrivers program, run as a child process the way a person runs it.

#include <stdio.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Outcome {
  int status;
  std::string out;
};

// Runs touchdrivers with args; redirect picks what of its output is read (shell syntax).
Outcome run(const std::string& args, const char* redirect = "2>/dev/null") {
  const std::string cmd = std::string(TP_EMULATOR) + " " TP_BINARY_DIR "/bin/touchdrivers " +
                          args + " " + redirect;
  Outcome r{-1, ""};
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[512];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  const int raw = pclose(p);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return r;
}

const char kRow10Dd[] = "1201100100000008EF0E0100000101020001";
const char kRow10If[] = "090400000103000000";

TEST(TouchDrivers, LookupPrintsRowDriverSizeAndDescription) {
  struct {
    const char* args;
    const char* line;
  } const kLookups[] = {
      {"lookup 0eef:0001 --dd 1201100100000008EF0E0100000101020001 --if 090400000103000000",
       "10 ZorlanDefaultUsbHandler2 32 Cybertouch Controller -- 2\n"},
      {"lookup 0EEF:1 --if 090400000103000000 --dd 1201100100000008ef0e0100000101020001",
       "10 ZorlanDefaultUsbHandler2 32 Cybertouch Controller -- 2\n"},
      {"lookup 0eef:0001", "6 ZorlanDefaultUsbHandler 32 eGalax #2, USB Touch Controller\n"},
      {"lookup 1926:0367", "0 ZorlanNWSMARTProtocol7UsbHandler 54 NextWindow 5613 Firmware "
                           "Revision 72.09\n"},
      {"lookup 1234:5678", "-1 ZorlanDefaultUsbHandler 64 Default Touch Handler/HID\n"},
      {"lookup 0eef:0001 --if 000000000000000000",
       "-1 ZorlanDefaultUsbHandler 64 Default Touch Handler/HID\n"},
  };
  for (const auto& l : kLookups) {
    SCOPED_TRACE(l.args);
    const Outcome r = run(l.args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, l.line);
  }
}

TEST(TouchDrivers, LogLinesGoToStandardError) {
  const Outcome r = run(std::string("lookup 0eef:0001 --dd ") + kRow10Dd + " --if " + kRow10If,
                    "2>&1 >/dev/null");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("Info :Device VID(0x0EEF)/PID(0x0001), using touch driver: "
                       "ZorlanDefaultUsbHandler2\n"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(r.out.find("Diag :"), std::string::npos) << "diagnostic lines need --verbose";
  EXPECT_NE(run("--verbose lookup 0eef:0001 --dd " + std::string(kRow10Dd), "2>&1 >/dev/null")
                .out.find("Diag :Specific device VID(0x0EEF)/PID(0x0001) found with DD\n"),
            std::string::npos);
}

TEST(TouchDrivers, ListPrintsEveryRowInOrder) {
  const Outcome r = run("list");
  EXPECT_EQ(r.status, 0);
  std::vector<std::string> lines;
  for (size_t at = 0, end; (end = r.out.find('\n', at)) != std::string::npos; at = end + 1)
    lines.push_back(r.out.substr(at, end - at));
  ASSERT_EQ(lines.size(), 34u) << r.out;
  EXPECT_EQ(lines[0], "0 1926:0367 ZorlanNWSMARTProtocol7UsbHandler 54 NextWindow 5613 "
                      "Firmware Revision 72.09");
  EXPECT_EQ(lines[23], "23 056a:00c5 Zorlan_056A_00C5 8 Wacom Cintiq 20WSX ");
  EXPECT_EQ(lines[33], "33 0000:0000 ZorlanDefaultUsbHandler 64 Default Touch Handler/HID");
}

TEST(TouchDrivers, BadArgumentsGiveUsageAndStatus2) {
  const char* const kBad[] = {
      "",
      "frob",
      "list extra",
      "lookup",
      "lookup 0eef",
      "lookup 0eef:00001",
      "lookup 0xef:0001",
      "lookup 0eef:0001 --dd",
      "lookup 0eef:0001 --dd 1201",
      "lookup 0eef:0001 --dd 1201100100000008EF0E01000001010200010",
      "lookup 0eef:0001 --if 09040000010300000g",
      "lookup 0eef:0001 --if 090400000103000000 --if 090400000103000000",
      "--lib",
  };
  for (const char* args : kBad) {
    SCOPED_TRACE(args);
    const Outcome r = run(args, "2>&1");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out.rfind("usage: touchdrivers", 0), 0u) << r.out;
  }
}

TEST(TouchDrivers, MissingLibraryIsAClearFailure) {
  const Outcome r = run("--lib /nonexistent/libsupported-touch-drivers.so list", "2>&1");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out.rfind("touchdrivers: ", 0), 0u) << r.out;
}

}  // namespace
