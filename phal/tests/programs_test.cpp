// nvset and nvprint as programs: each run is a child process with the EEPROM
// emulator preloaded, working on a scratch image.
#include "phal/tests/NvTestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <cstring>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

using nvtest::EmulatedPart;

const std::string kPreload = std::string(TP_BINARY_DIR) + "/lib/libi2c_eeprom_sim.so";

struct ChildRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::vector<std::string> words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

// Starts a program of this build, through the target's emulator where there is
// one, with the EEPROM emulator preloaded into the program (never into qemu).
ChildRun runProgram(const EmulatedPart& part, const std::string& program,
               const std::vector<std::string>& args)
{
    std::vector<std::string> argv = words(TP_EMULATOR);
    std::vector<std::string> env;
    for (char** e = environ; *e; e++)
        if (strncmp(*e, "ASAN_OPTIONS=", 13) != 0)  // replaced below, never doubled
            env.push_back(*e);
    if (argv.empty()) {
        env.push_back("LD_PRELOAD=" + kPreload);
        // the sanitizer runtime insists on loading first; the emulator does not use it
        const char* asan = getenv("ASAN_OPTIONS");
        env.push_back(std::string("ASAN_OPTIONS=") + (asan ? std::string(asan) + ":" : "") +
                      "verify_asan_link_order=0");
    } else {
        if (const char* asan = getenv("ASAN_OPTIONS"))
            env.push_back(std::string("ASAN_OPTIONS=") + asan);
        argv.push_back("-E");
        argv.push_back("LD_PRELOAD=" + kPreload);
    }
    argv.push_back(std::string(TP_BINARY_DIR) + "/bin/" + program);
    argv.insert(argv.end(), args.begin(), args.end());

    std::vector<char*> cargv, cenv;
    for (std::string& a : argv)
        cargv.push_back(&a[0]);
    cargv.push_back(nullptr);
    for (std::string& e : env)
        cenv.push_back(&e[0]);
    cenv.push_back(nullptr);

    const std::string outPath = part.dir().file("stdout");
    const std::string errPath = part.dir().file("stderr");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    ChildRun run;
    int rc = posix_spawnp(&pid, cargv[0], &actions, nullptr, cargv.data(), cenv.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        ADD_FAILURE() << "cannot start " << cargv[0];
        return run;
    }
    int status = 0;
    if (waitpid(pid, &status, 0) == pid && WIFEXITED(status))
        run.status = WEXITSTATUS(status);
    run.out = nvtest::readFile(outPath);
    run.err = nvtest::readFile(errPath);
    return run;
}

// The page writes of a run: transfers carrying an address byte and 16 data bytes.
int pageWrites(const std::vector<std::string>& traffic)
{
    int n = 0;
    for (const std::string& line : traffic)
        if (line.size() == std::string("W 54").size() + 17 * 3 && line[0] == 'W')
            n++;
    return n;
}

std::string image(std::initializer_list<const char*> entries)
{
    std::string out;
    for (const char* e : entries) {
        out += e;
        out.push_back('\0');
    }
    return out;
}

using Entries = std::vector<std::string>;

struct NvsetCase {
    const char* what;
    std::vector<std::string> args;
    enum { Blank, Good, Corrupt } part; // blank: no image file
    std::string initial;
    Entries after;
    bool rewritten;
    const char* debugLine;
};

class Nvset : public ::testing::TestWithParam<NvsetCase> {
protected:
    EmulatedPart part_;
};

TEST_P(Nvset, StoresWhatTheArgumentsSay)
{
    const NvsetCase& c = GetParam();
    uint32_t wrong = 0;
    if (c.part != NvsetCase::Blank)
        part_.store(nvtest::partImage(c.initial, c.part == NvsetCase::Corrupt ? &wrong : nullptr));
    ChildRun run = runProgram(part_, "nvset", c.args);
    EXPECT_EQ(0, run.status) << run.err;
    std::string part = part_.image();
    EXPECT_TRUE(nvtest::crcMatches(part));
    EXPECT_EQ(c.after, nvtest::entriesOf(part)) << run.err;
    EXPECT_EQ(c.rewritten ? 32 : 0, pageWrites(part_.traffic()));
    EXPECT_NE(std::string::npos, run.err.find(c.debugLine)) << run.err;
}

const char kSetA[] = "Debug:Setting a = 1\n";
const char kFailsafe[] = "Debug:Failsafe Setting rdinit = rdinit=/init\n";

INSTANTIATE_TEST_SUITE_P(
    Programs, Nvset,
    ::testing::Values(
        NvsetCase{"blankPart", {"a", "1"}, NvsetCase::Blank, "", {"a=1"}, true, kSetA},
        NvsetCase{"replaces", {"a", "1"}, NvsetCase::Good, image({"a=0", "b=2"}), {"b=2", "a=1"}, true, kSetA},
        NvsetCase{"emptyValueRemoves", {"a", ""}, NvsetCase::Good, image({"a=1", "b=2"}), {"b=2"}, true,
                  "Debug:Setting a = \n"},
        NvsetCase{"valueWithSpacesAndEquals", {"x", "a=b  c"}, NvsetCase::Good, image({"a=1"}),
                  {"a=1", "x=a=b  c"}, true, "Debug:Setting x = a=b  c\n"},
        NvsetCase{"noArguments", {}, NvsetCase::Good, image({"a=1"}), {"a=1", "rdinit=rdinit=/init"}, true,
                  kFailsafe},
        NvsetCase{"oneArgument", {"a"}, NvsetCase::Blank, "", {"rdinit=rdinit=/init"}, true, kFailsafe},
        NvsetCase{"threeArguments", {"a", "1", "2"}, NvsetCase::Good, image({"a=0"}),
                  {"a=0", "rdinit=rdinit=/init"}, true, kFailsafe},
        NvsetCase{"containerToken", {"res", "800"}, NvsetCase::Good, image({"qvt_param=mode=1 res=640"}),
                  {"qvt_param=res=800 mode=1 "}, true, "Debug:Setting res = 800\n"},
        NvsetCase{"noContainerToken", {"res", "800"}, NvsetCase::Good, image({"a=1"}), {"a=1"}, false,
                  "Debug:Setting res = 800\n"},
        NvsetCase{"corruptPartStartsEmpty", {"a", "1"}, NvsetCase::Corrupt, image({"old=1"}), {"a=1"}, true,
                  "NvData::NvData Mismatch CRC \n"}),
    [](const ::testing::TestParamInfo<NvsetCase>& info) { return std::string(info.param.what); });

class Programs : public ::testing::Test {
protected:
    EmulatedPart part_;
};

// What a fresh checkout is expected to do: bytes 0-507 hold a=1 and the last
// four the little-endian CRC-32 of them; nvprint reads it back.
TEST_F(Programs, NvsetOnABlankPartThenNvprint)
{
    ASSERT_EQ(0, runProgram(part_, "nvset", {"a", "1"}).status);
    std::string part = part_.image();
    ASSERT_EQ(512u, part.size());
    EXPECT_EQ(std::string("a=1\0\0", 5) + std::string(503, '\0'), part.substr(0, 508));
    uint32_t crc = nvtest::referenceCrc(part.substr(0, 508));
    EXPECT_EQ(std::string({char(crc), char(crc >> 8), char(crc >> 16), char(crc >> 24)}),
              part.substr(508));
    ChildRun print = runProgram(part_, "nvprint", {});
    EXPECT_EQ(0, print.status);
    EXPECT_EQ("a=1\n", print.out);
}

TEST_F(Programs, NvsetTwiceRewritesThePartBothTimes)
{
    ASSERT_EQ(0, runProgram(part_, "nvset", {"a", "1"}).status);
    std::string first = part_.image();
    part_.clearTraffic();
    ASSERT_EQ(0, runProgram(part_, "nvset", {"a", "1"}).status);
    EXPECT_EQ(32, pageWrites(part_.traffic()));
    EXPECT_EQ(first, part_.image());
}

TEST_F(Programs, NvsetWithoutADeviceWritesNothingAndStillExitsZero)
{
    setenv("I2C_EEPROM_IMAGE", part_.dir().file("missing/eeprom.bin").c_str(), 1);
    ChildRun run = runProgram(part_, "nvset", {"a", "1"});
    EXPECT_EQ(0, run.status);
    EXPECT_NE(std::string::npos,
              run.err.find("ERROR:JQNvInterface::i2cOpen : Error opening i2c_device file: /dev/i2c-0"));
    EXPECT_NE(std::string::npos,
              run.err.find("WARN :NvData::setNv isDataValid() == FALSE, value not written\n"));
    EXPECT_TRUE(part_.traffic().empty());
}

TEST_F(Programs, NvsetOverflowKeepsThePart)
{
    const std::string before = nvtest::partImage(image({"a=1"}));
    part_.store(before);
    ChildRun run = runProgram(part_, "nvset", {"big", std::string(600, 'v')});
    EXPECT_EQ(0, run.status);
    EXPECT_NE(std::string::npos, run.err.find("NvData overflow, \"big\" deleted; len[606], varSize[504]"))
        << run.err;
    EXPECT_EQ(before, part_.image());
}

struct PrintCase {
    const char* what;
    enum { Valid, Mismatch, Unreadable } part;
    std::vector<std::string> args;
    int status;
    const char* out;
    const char* err;
};

class Nvprint : public ::testing::TestWithParam<PrintCase> {
protected:
    EmulatedPart part_;
};

TEST_P(Nvprint, ListsAndReadsWithoutWriting)
{
    const PrintCase& c = GetParam();
    const std::string entries = image({"a=1", "b=x y", "qvt_param=mode=1 res=640"});
    uint32_t wrong = 0;
    if (c.part == PrintCase::Unreadable)
        setenv("I2C_EEPROM_IMAGE", part_.dir().file("missing/eeprom.bin").c_str(), 1);
    else
        part_.store(nvtest::partImage(entries, c.part == PrintCase::Mismatch ? &wrong : nullptr));
    const std::string before = part_.image();
    ChildRun run = runProgram(part_, "nvprint", c.args);
    EXPECT_EQ(c.status, run.status) << run.err;
    EXPECT_EQ(c.out, run.out);
    EXPECT_NE(std::string::npos, run.err.find(c.err)) << run.err;
    EXPECT_EQ(before, part_.image());
    EXPECT_EQ(0, pageWrites(part_.traffic()));
}

INSTANTIATE_TEST_SUITE_P(
    Programs, Nvprint,
    ::testing::Values(
        PrintCase{"all", PrintCase::Valid, {}, 0, "a=1\nb=x y\nqvt_param=mode=1 res=640\n",
                  "nvprint: image valid\n"},
        PrintCase{"one", PrintCase::Valid, {"b"}, 0, "x y\n", "nvprint: image valid\n"},
        PrintCase{"token", PrintCase::Valid, {"res"}, 0, "640\n", "nvprint: image valid\n"},
        PrintCase{"absent", PrintCase::Valid, {"zz"}, 1, "", "nvprint: image valid\n"},
        PrintCase{"mismatchAll", PrintCase::Mismatch, {}, 1, "",
                  "nvprint: checksum mismatch, the image is shown as empty\n"},
        PrintCase{"mismatchOne", PrintCase::Mismatch, {"a"}, 1, "",
                  "nvprint: checksum mismatch, the image is shown as empty\n"},
        PrintCase{"unreadable", PrintCase::Unreadable, {}, 2, "",
                  "nvprint: the image could not be read\n"},
        PrintCase{"usage", PrintCase::Valid, {"a", "b"}, 2, "", "usage: nvprint [NAME]\n"}),
    [](const ::testing::TestParamInfo<PrintCase>& info) { return std::string(info.param.what); });

} // namespace
