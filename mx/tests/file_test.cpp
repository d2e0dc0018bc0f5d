// File wrappers: status records, copies, sizes, times and descriptor output.
#include "mx/mx.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/time.h>
#include <unistd.h>

using mxtest::exists;
using mxtest::readFile;
using mxtest::TempDir;
using mxtest::writeFile;

namespace {

enum class Kind { File, Dir, Fifo };

struct StatCase {
    const char* path; // relative to the test's folder, which is the current directory
    Kind kind;
    mode_t mode;
    uint16_t flags;
};

void PrintTo(const StatCase& c, std::ostream* os) { *os << c.path << " mode " << std::oct << c.mode; }

class FileStatFlags : public testing::TestWithParam<StatCase> {};

TEST_P(FileStatFlags, FromTypeOwnerBitsAndLeadingDot)
{
    const StatCase& c = GetParam();
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    mxtest::ScopedCwd inside(tmp.path());
    ASSERT_TRUE(inside.ok());
    ASSERT_EQ(mkdir("sub", 0755), 0);
    switch (c.kind) {
    case Kind::File: writeFile(c.path, "12345", c.mode); break;
    case Kind::Dir: ASSERT_EQ(mkdir(c.path, 0), 0); ASSERT_EQ(chmod(c.path, c.mode), 0); break;
    case Kind::Fifo: ASSERT_EQ(mkfifo(c.path, 0), 0); ASSERT_EQ(chmod(c.path, c.mode), 0); break;
    }
    MxFileInfo info;
    ASSERT_EQ(mxFileStat(c.path, &info), 0);
    EXPECT_EQ(info.flags, c.flags) << std::hex << "got 0x" << info.flags;
    if (c.kind == Kind::File) {
        EXPECT_EQ(info.size, 5u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileStatFlags,
    testing::Values(StatCase{"plain", Kind::File, 0644, 0x0E}, StatCase{".hidden", Kind::Dir, 0755, 0x9D},
                    StatCase{".hidden", Kind::Dir, 0500, 0x95}, StatCase{"prog", Kind::File, 0700, 0x1E},
                    StatCase{"sealed", Kind::File, 0077, 0x02}, StatCase{"sub/.x", Kind::File, 0644, 0x0E},
                    StatCase{"./plain", Kind::File, 0400, 0x86}, StatCase{"pipe", Kind::Fifo, 0600, 0x0C}));

TEST(FileStat, TimeAndDateFieldsAreLocalTime)
{
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    const std::string path = tmp / "dated";
    writeFile(path, "");
    const char* oldTz = getenv("TZ");
    std::string savedTz = oldTz ? oldTz : "";
    setenv("TZ", "UTC", 1);
    tzset();
    struct tm when = {};
    when.tm_year = 2021 - 1900;
    when.tm_mon = 2; // March
    when.tm_mday = 4;
    when.tm_hour = 5;
    when.tm_min = 6;
    when.tm_sec = 7;
    struct timeval times[2] = {{timegm(&when), 0}, {timegm(&when), 0}};
    ASSERT_EQ(utimes(path.c_str(), times), 0);

    MxFileInfo info;
    memset(&info, 0x5A, sizeof info);
    ASSERT_EQ(mxFileStat(path.c_str(), &info), 0);
    if (oldTz) setenv("TZ", savedTz.c_str(), 1);
    else unsetenv("TZ");
    tzset();

    EXPECT_STREQ(info.time, "05:06:07");
    EXPECT_STREQ(info.date, "03/04/2021");
    EXPECT_EQ(info.month, 3);
    EXPECT_EQ(info.day, 4);
    EXPECT_EQ(info.year, 2021);
    EXPECT_EQ(info.hour, 5);
    EXPECT_EQ(info.minute, 6);
    EXPECT_EQ(info.second, 7);
    EXPECT_EQ(info.size, 0u);
}

TEST(FileStat, NullMissingOrOverlongFails)
{
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    MxFileInfo info;
    EXPECT_EQ(mxFileStat(nullptr, &info), -1);
    EXPECT_EQ(mxFileStat(tmp.path().c_str(), nullptr), -1);
    EXPECT_EQ(mxFileStat((tmp / "missing").c_str(), &info), -1);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(mxFileStat((tmp / std::string(256, 'n')).c_str(), &info), -1);
    EXPECT_EQ(errno, ENAMETOOLONG);
}

TEST(FileWrappers, NamesLongerThan255CharactersFailWithoutHarm)
{
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    writeFile(tmp / "src", "data");
    const std::string tooLong = tmp / std::string(300, 'n');
    long when;
    EXPECT_EQ(mxFileCopy((tmp / "src").c_str(), tooLong.c_str()), -1);
    EXPECT_EQ(mxFileCopy(tooLong.c_str(), (tmp / "dst").c_str()), -1);
    EXPECT_FALSE(exists(tmp / "dst"));
    EXPECT_EQ(mxFileSize(tooLong.c_str()), -1);
    EXPECT_EQ(mxFileDelete(tooLong.c_str()), -1);
    EXPECT_EQ(mxFileTimeGet(tooLong.c_str(), &when, nullptr), -1);
    EXPECT_EQ(mxFileTimeSet(tooLong.c_str(), 0, 0), -1);
    EXPECT_EQ(mxFileStatAttrib(tooLong.c_str(), 0, 0), -1);
    MxFsInfo fs;
    EXPECT_EQ(mxFileSystemStat(tooLong.c_str(), &fs), -1);
    EXPECT_EQ(mxtest::readFile(tmp / "src"), "data");
}

class FileCopySizes : public testing::TestWithParam<size_t> {};

// Sizes around the 1024-byte piece, and the empty file.
TEST_P(FileCopySizes, DestinationEqualsSource)
{
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    std::string content(GetParam(), '\0');
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7 + 3);
    writeFile(tmp / "src", content);
    writeFile(tmp / "dst", std::string(3000, 'z')); // an older, longer file is replaced whole

    EXPECT_EQ(mxFileCopy((tmp / "src").c_str(), (tmp / "dst").c_str()), 0);
    EXPECT_EQ(readFile(tmp / "dst"), content);
    EXPECT_EQ(readFile(tmp / "src"), content);
}

INSTANTIATE_TEST_SUITE_P(Pieces, FileCopySizes, testing::Values(0u, 1u, 1023u, 1024u, 1025u, 4096u + 17u));

TEST(FileCopy, EmptySourceCreatesEmptyDestination)
{
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    writeFile(tmp / "empty", "");
    EXPECT_EQ(mxFileCopy((tmp / "empty").c_str(), (tmp / "new").c_str()), 0);
    ASSERT_TRUE(exists(tmp / "new"));
    EXPECT_EQ(mxFileSize((tmp / "new").c_str()), 0);
}

TEST(FileCopy, FailuresLoseNothing)
{
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    writeFile(tmp / "src", "data");
    ASSERT_EQ(symlink((tmp / "src").c_str(), (tmp / "alias").c_str()), 0);
    const std::string src = tmp / "src";

    EXPECT_EQ(mxFileCopy(nullptr, src.c_str()), -1);
    EXPECT_EQ(mxFileCopy(src.c_str(), nullptr), -1);
    EXPECT_EQ(mxFileCopy((tmp / "missing").c_str(), (tmp / "dst").c_str()), -1);
    EXPECT_FALSE(exists(tmp / "dst")) << "no destination for a source that cannot be read";
    EXPECT_EQ(mxFileCopy(src.c_str(), (tmp / "no/such/dir").c_str()), -1);
    // Onto itself, directly or through a link: opening the destination would empty it.
    EXPECT_EQ(mxFileCopy(src.c_str(), src.c_str()), -1);
    EXPECT_EQ(mxFileCopy(src.c_str(), (tmp / "alias").c_str()), -1);
    EXPECT_EQ(readFile(src), "data");
}

TEST(FileCopy, AReadFaultIsReportedAndLeavesNoPartialCopy)
{
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    // A directory opens as a stream but fails on the first read.
    ASSERT_EQ(mkdir((tmp / "dir").c_str(), 0755), 0);
    EXPECT_EQ(mxFileCopy((tmp / "dir").c_str(), (tmp / "dst").c_str()), -1);
    EXPECT_FALSE(exists(tmp / "dst"));
}

TEST(FileSize, ByPathAndByDescriptor)
{
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    writeFile(tmp / "f", std::string(1500, 'x'));
    EXPECT_EQ(mxFileSize((tmp / "f").c_str()), 1500);
    EXPECT_EQ(mxFileSize((tmp / "missing").c_str()), -1);
    EXPECT_EQ(mxFileSize(nullptr), -1);
    int fd = open((tmp / "f").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(mxFileSizeByFd(fd), 1500);
    close(fd);
    EXPECT_EQ(mxFileSizeByFd(fd), -1);
    EXPECT_EQ(mxFileSizeByFd(-1), -1);
}

TEST(FileDelete, UnlinksFilesOnly)
{
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    writeFile(tmp / "f", "");
    ASSERT_EQ(mkdir((tmp / "d").c_str(), 0755), 0);
    EXPECT_EQ(mxFileDelete((tmp / "f").c_str()), 0);
    EXPECT_FALSE(exists(tmp / "f"));
    EXPECT_EQ(mxFileDelete((tmp / "f").c_str()), -1);
    EXPECT_EQ(mxFileDelete((tmp / "d").c_str()), -1);
    EXPECT_TRUE(exists(tmp / "d"));
    EXPECT_EQ(mxFileDelete(nullptr), -1);
}

TEST(FileTime, GetReadsModificationSecondsAndSetIsUnsupported)
{
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    const std::string path = tmp / "f";
    writeFile(path, "x");
    struct timeval times[2] = {{1000000000, 0}, {1234567890, 0}};
    ASSERT_EQ(utimes(path.c_str(), times), 0);

    long when = 0, seconds = -1;
    EXPECT_EQ(mxFileTimeGet(path.c_str(), &when, &seconds), 0);
    EXPECT_EQ(when, 1234567890L);
    EXPECT_EQ(seconds, 0);
    EXPECT_EQ(mxFileTimeGet(path.c_str(), nullptr, nullptr), 0);
    EXPECT_EQ(mxFileTimeGet((tmp / "missing").c_str(), &when, &seconds), -1);
    EXPECT_EQ(mxFileTimeGet(nullptr, &when, &seconds), -1);

    EXPECT_EQ(mxFileTimeSet(path.c_str(), 1, 0), -1);
    EXPECT_EQ(mxFileStatAttrib(path.c_str(), 1, 1), -1);
    EXPECT_EQ(mxFileTimeSet(nullptr, 1, 0), -1);
    EXPECT_EQ(mxFileStatAttrib(nullptr, 1, 1), -1);
    EXPECT_EQ(mxFileFTimeSet(0, 1, 0), -1);
    EXPECT_EQ(mxFileFStatAttrib(0, 1, 1), -1);
    EXPECT_EQ(mxFileTimeGet(path.c_str(), &when, nullptr), 0);
    EXPECT_EQ(when, 1234567890L) << "nothing was changed";
}

TEST(FileSystemStat, MatchesTheSystemQuery)
{
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    MxFsInfo info;
    memset(&info, 0xA5, sizeof info);
    ASSERT_EQ(mxFileSystemStat(tmp.path().c_str(), &info), 0);
    struct statvfs fs;
    ASSERT_EQ(statvfs(tmp.path().c_str(), &fs), 0);
    EXPECT_EQ(info.reserved, 0u);
    EXPECT_EQ(info.blockSize, fs.f_frsize);
    EXPECT_EQ(info.totalBlocks, static_cast<uint32_t>(fs.f_blocks));
    EXPECT_LE(info.freeBlocks, info.totalBlocks);

    EXPECT_EQ(mxFileSystemStat(tmp.path().c_str(), nullptr), -1);
    EXPECT_EQ(mxFileSystemStat(nullptr, &info), -1);
    EXPECT_EQ(mxFileSystemStat((tmp / "missing").c_str(), &info), -1);
}

std::string drain(int fd)
{
    std::string text;
    char piece[512];
    ssize_t n;
    while ((n = read(fd, piece, sizeof piece)) > 0) text.append(piece, static_cast<size_t>(n));
    return text;
}

TEST(FdPrintf, FormatsIntoOneWriteCutAt1023Characters)
{
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    EXPECT_EQ(mxFdPrintf(fds[1], "%s=%d\n", "x", 42), 5);
    const std::string longText(2000, 'L');
    EXPECT_EQ(mxFdPrintf(fds[1], "%s", longText.c_str()), 1023);
    EXPECT_EQ(mxFdPrintf(fds[1], nullptr), -1);
    close(fds[1]);
    EXPECT_EQ(drain(fds[0]), "x=42\n" + std::string(1023, 'L'));
    close(fds[0]);
    EXPECT_EQ(mxFdPrintf(-1, "lost"), -1);
}

TEST(Printf, WritesToStandardOutput)
{
    testing::internal::CaptureStdout();
    EXPECT_EQ(mxPrintf("%d-%s", 7, "up"), 4);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "7-up");
}

} // namespace
