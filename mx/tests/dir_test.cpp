// Directory wrappers: streams, listing, and removal of whole trees.
#include "mx/mx.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using mxtest::exists;
using mxtest::TempDir;
using mxtest::writeFile;

namespace {

// Builds a small tree: files, a nested directory and a link that leads out of the tree.
void makeTree(const std::string& top, const std::string& outside)
{
    ASSERT_EQ(mkdir(top.c_str(), 0755), 0) << top;
    writeFile(top + "/a", "a");
    ASSERT_EQ(mkdir((top + "/sub").c_str(), 0700), 0);
    ASSERT_EQ(mkdir((top + "/sub/deeper").c_str(), 0), 0); // no permissions at all
    writeFile(top + "/sub/deeper/b", "b", 0);
    ASSERT_EQ(symlink(outside.c_str(), (top + "/sub/link").c_str()), 0);
}

// Paths whose characters a shell would act on. Each must name one directory and nothing
// else: no marker file appears and the neighbours of the directory survive.
struct HostilePath {
    const char* name;
};

void PrintTo(const HostilePath& p, std::ostream* os) { *os << '"' << p.name << '"'; }

class RemoveHostilePath : public testing::TestWithParam<HostilePath> {};

TEST_P(RemoveHostilePath, RemovesOnlyTheNamedDirectoryAndRunsNothing)
{
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    mxtest::ScopedCwd inside(tmp.path());
    ASSERT_TRUE(inside.ok());
    const std::string name = GetParam().name;
    ASSERT_EQ(mkdir(name.c_str(), 0755), 0) << name;
    writeFile(name + "/content", "x");
    for (const char* neighbour : {"victim", "keep", "x"}) writeFile(neighbour, "stay");

    EXPECT_EQ(mxDirRemoveRecursively(name.c_str()), 0);

    EXPECT_FALSE(exists(name));
    EXPECT_FALSE(exists("marker")) << "a command hidden in the path ran";
    for (const char* neighbour : {"victim", "keep", "x"}) EXPECT_TRUE(exists(neighbour)) << neighbour;
}

INSTANTIATE_TEST_SUITE_P(Shell, RemoveHostilePath,
                         testing::Values(HostilePath{"victim; touch marker"}, HostilePath{"$(touch marker)"},
                                         HostilePath{"`touch marker`"}, HostilePath{"x && touch marker"},
                                         HostilePath{"victim keep"}, HostilePath{"*"}, HostilePath{"-rf x"},
                                         HostilePath{"x\ntouch marker"}));

TEST(DirRemoveRecursively, RemovesATreeWithoutFollowingLinksOutOfIt)
{
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    const std::string outside = tmp / "outside";
    ASSERT_EQ(mkdir(outside.c_str(), 0755), 0);
    writeFile(outside + "/precious", "keep me");
    makeTree(tmp / "tree", outside);

    EXPECT_EQ(mxDirRemoveRecursively((tmp / "tree").c_str()), 0);

    EXPECT_FALSE(exists(tmp / "tree"));
    EXPECT_EQ(mxtest::readFile(outside + "/precious"), "keep me");

    // Named with trailing slashes, a link to a directory is still only the link.
    ASSERT_EQ(symlink(outside.c_str(), (tmp / "dirlink").c_str()), 0);
    EXPECT_EQ(mxDirRemoveRecursively((tmp / "dirlink//").c_str()), 0);
    EXPECT_FALSE(exists(tmp / "dirlink"));
    EXPECT_EQ(mxtest::readFile(outside + "/precious"), "keep me");
}

TEST(DirRemoveRecursively, ResultRule)
{
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    writeFile(tmp / "file", "f");
    ASSERT_EQ(symlink((tmp / "file").c_str(), (tmp / "link").c_str()), 0);

    EXPECT_EQ(mxDirRemoveRecursively(nullptr), -1);
    EXPECT_EQ(mxDirRemoveRecursively((tmp / "missing").c_str()), 0);
    EXPECT_EQ(mxDirRemoveRecursively((tmp / "missing/below").c_str()), 0);
    EXPECT_EQ(mxDirRemoveRecursively(""), 0);

    // A link goes, what it points to stays; a plain file goes.
    EXPECT_EQ(mxDirRemoveRecursively((tmp / "link").c_str()), 0);
    EXPECT_FALSE(exists(tmp / "link"));
    EXPECT_TRUE(exists(tmp / "file"));
    EXPECT_EQ(mxDirRemoveRecursively((tmp / "file").c_str()), 0);
    EXPECT_FALSE(exists(tmp / "file"));
}

TEST(DirRemoveRecursively, RefusesDotAndDotDot)
{
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    ASSERT_EQ(mkdir((tmp / "d").c_str(), 0755), 0);
    writeFile(tmp / "d/f", "f");

    for (const std::string& path : {tmp / "d/.", tmp / "d/./", tmp / "d/../d/.", tmp / "d/.."}) {
        errno = 0;
        EXPECT_EQ(mxDirRemoveRecursively(path.c_str()), -1) << path;
    }
    EXPECT_TRUE(exists(tmp / "d/f"));
}

TEST(DirWrappers, NamesLongerThan255CharactersFailWithoutHarm)
{
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    const std::string tooLong = tmp / std::string(256, 'n');
    const std::string pathTooLong = tmp.path() + std::string(5000, '/') + "x";
    MxDir dir;
    for (const std::string& path : {tooLong, pathTooLong}) {
        EXPECT_EQ(mxDirMake(path.c_str()), -1);
        EXPECT_EQ(mxDirOpen(path.c_str(), &dir), -1);
        EXPECT_EQ(mxDirChange(path.c_str()), -1);
        EXPECT_EQ(mxDirRemove(path.c_str()), -1);
        errno = 0;
        EXPECT_EQ(mxDirRemoveRecursively(path.c_str()), -1);
        EXPECT_EQ(errno, ENAMETOOLONG);
    }
}

TEST(DirStream, ReadsEveryNameIncludingDotsThenEnds)
{
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    const std::string longest(255, 'n');
    writeFile(tmp / longest, "");
    writeFile(tmp / "short", "");

    MxDir dir;
    ASSERT_EQ(mxDirOpen(tmp.path().c_str(), &dir), 0);
    std::set<std::string> names;
    char name[MX_DIR_NAME_SIZE];
    while (mxDirRead(&dir, name) == 0) names.insert(name);
    EXPECT_EQ(mxDirRead(&dir, name), -1);
    EXPECT_EQ(mxDirClose(&dir), 0);
    EXPECT_EQ(names, (std::set<std::string>{".", "..", longest, "short"}));
}

TEST(DirStream, BadArgumentsFail)
{
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    MxDir dir = {nullptr};
    char name[MX_DIR_NAME_SIZE];
    EXPECT_EQ(mxDirOpen(nullptr, &dir), -1);
    EXPECT_EQ(mxDirOpen(tmp.path().c_str(), nullptr), -1);
    EXPECT_EQ(mxDirOpen((tmp / "missing").c_str(), &dir), -1);
    EXPECT_EQ(mxDirRead(&dir, name), -1);
    EXPECT_EQ(mxDirRead(nullptr, name), -1);
    EXPECT_EQ(mxDirClose(&dir), -1);
    EXPECT_EQ(mxDirClose(nullptr), -1);
    ASSERT_EQ(mxDirOpen(tmp.path().c_str(), &dir), 0);
    EXPECT_EQ(mxDirRead(&dir, nullptr), -1);
    EXPECT_EQ(mxDirClose(&dir), 0);
    EXPECT_EQ(mxDirClose(&dir), -1) << "closing twice";
}

TEST(DirList, WritesOneLinePerEntry)
{
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    writeFile(tmp / "one", "");
    ASSERT_EQ(mkdir((tmp / "two").c_str(), 0755), 0);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);

    EXPECT_EQ(mxDirList(fds[1], tmp.path().c_str()), 0);
    EXPECT_EQ(mxDirList(fds[1], (tmp / "missing").c_str()), -1);
    EXPECT_EQ(mxDirList(fds[1], nullptr), -1);
    close(fds[1]);

    std::string text;
    char piece[256];
    ssize_t n;
    while ((n = read(fds[0], piece, sizeof piece)) > 0) text.append(piece, static_cast<size_t>(n));
    close(fds[0]);
    std::istringstream lines(text);
    std::multiset<std::string> names;
    for (std::string line; std::getline(lines, line);) names.insert(line);
    EXPECT_EQ(names, (std::multiset<std::string>{".", "..", "one", "two"}));
    EXPECT_EQ(text.back(), '\n');
}

TEST(DirWrappers, MakeChangeGetRemove)
{
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    mxtest::ScopedCwd restore(tmp.path());
    const mode_t oldMask = umask(0);
    const std::string made = tmp / "made";
    EXPECT_EQ(mxDirMake(made.c_str()), 0);
    umask(oldMask);
    struct stat st;
    ASSERT_EQ(stat(made.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
    EXPECT_EQ(mxDirMake(made.c_str()), -1);
    EXPECT_EQ(errno, EEXIST);

    EXPECT_EQ(mxDirChange(made.c_str()), 0);
    char cwd[255];
    ASSERT_EQ(mxDirGet(cwd), 0);
    char* real = realpath(made.c_str(), nullptr);
    EXPECT_STREQ(cwd, real);
    free(real);

    writeFile(made + "/f", "");
    EXPECT_EQ(mxDirRemove(made.c_str()), -1) << "not empty";
    ASSERT_EQ(unlink((made + "/f").c_str()), 0);
    EXPECT_EQ(mxDirChange(tmp.path().c_str()), 0);
    EXPECT_EQ(mxDirRemove(made.c_str()), 0);
    EXPECT_EQ(mxDirRemove(made.c_str()), -1);

    EXPECT_EQ(mxDirGet(nullptr), -1);
    EXPECT_EQ(mxDirChange(nullptr), -1);
    EXPECT_EQ(mxDirMake(nullptr), -1);
    EXPECT_EQ(mxDirRemove(nullptr), -1);
}

} // namespace
