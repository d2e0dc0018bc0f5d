// User storage. Every test moves the storage root into a folder of its own first, and
// checks that the move took before anything is cleared: these tests run as root on CI.
#include "mx/mx.h"
#include "mx/mxDiskRoot.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

using mxtest::exists;
using mxtest::TempDir;
using mxtest::writeFile;

namespace {

unsigned long long totalBytes(const std::string& path)
{
    struct statvfs fs;
    if (statvfs(path.c_str(), &fs) != 0) return 0;
    return static_cast<unsigned long long>(fs.f_frsize) * fs.f_blocks;
}

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

TEST(DiskRoot, DefaultsToTheProductPathsAndRejectsARelativeRoot)
{
    ASSERT_EQ(mxDiskSetRoot(nullptr), 0);
    EXPECT_STREQ(mxDiskProductDir(), "/opt/qvt/");
    EXPECT_STREQ(mxDiskUserDir(), "/opt/qvt/user/");
    EXPECT_STREQ(mxDiskRootDir(), "/");

    ASSERT_EQ(mxDiskSetRoot("/some/where/"), 0);
    EXPECT_STREQ(mxDiskProductDir(), "/some/where/opt/qvt/");
    EXPECT_STREQ(mxDiskUserDir(), "/some/where/opt/qvt/user/");
    EXPECT_STREQ(mxDiskRootDir(), "/some/where/");

    EXPECT_EQ(mxDiskSetRoot("relative"), -1);
    EXPECT_EQ(mxDiskSetRoot(("/" + std::string(5000, 'x')).c_str()), -1);
    EXPECT_STREQ(mxDiskUserDir(), "/some/where/opt/qvt/user/") << "a rejected root changes nothing";
}

class Disk : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tmp.ok());
        ASSERT_EQ(mxDiskSetRoot(m_tmp.path().c_str()), 0);
        ASSERT_TRUE(startsWith(mxDiskUserDir(), m_tmp.path() + "/")) << "refusing to touch " << mxDiskUserDir();
        ASSERT_TRUE(startsWith(mxDiskProductDir(), m_tmp.path() + "/"));
        m_product = m_tmp / "opt/qvt";
        m_user = m_product + "/user";
        ASSERT_EQ(mkdir((m_tmp / "opt").c_str(), 0755), 0);
        ASSERT_EQ(mkdir(m_product.c_str(), 0755), 0);
    }
    // The root stays inside the (removed) folder, so nothing later in this program can
    // reach the real storage by accident.
    void makeUserDir() { ASSERT_EQ(mkdir(m_user.c_str(), 0755), 0); }

    TempDir m_tmp;
    std::string m_product;
    std::string m_user;
};

TEST_F(Disk, CleanRemovesFilesAndEmptyDirectoriesThenTheToken)
{
    makeUserDir();
    writeFile(m_user + "/file", "f");
    writeFile(m_user + "/.hidden", "h");
    ASSERT_EQ(mkdir((m_user + "/empty").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((m_user + "/full").c_str(), 0755), 0);
    writeFile(m_user + "/full/inner", "stays");
    writeFile(m_tmp / "outside", "outside");
    ASSERT_EQ(symlink((m_tmp / "outside").c_str(), (m_user + "/link").c_str()), 0);
    writeFile(m_product + "/PROG.TKN", "t");
    writeFile(m_product + "/other", "o");

    EXPECT_EQ(mxDiskClean(), 0);

    for (const char* gone : {"/file", "/.hidden", "/empty", "/link"}) EXPECT_FALSE(exists(m_user + gone)) << gone;
    EXPECT_TRUE(exists(m_user + "/full/inner")) << "a directory with content is not emptied";
    EXPECT_TRUE(exists(m_user));
    EXPECT_EQ(mxtest::readFile(m_tmp / "outside"), "outside") << "links are not followed";
    EXPECT_FALSE(exists(m_product + "/PROG.TKN"));
    EXPECT_TRUE(exists(m_product + "/other"));
}

TEST_F(Disk, CleanWithoutTokenClearsTheStorageAndFails)
{
    makeUserDir();
    writeFile(m_user + "/file", "f");
    EXPECT_EQ(mxDiskClean(), -1);
    EXPECT_FALSE(exists(m_user + "/file"));
}

TEST_F(Disk, CleanWithoutStorageFailsAndKeepsTheToken)
{
    writeFile(m_product + "/PROG.TKN", "t");
    EXPECT_EQ(mxDiskClean(), -1);
    EXPECT_TRUE(exists(m_product + "/PROG.TKN"));
}

TEST_F(Disk, SizeCountsTheStorageAndTheRootFileSystem)
{
    const unsigned long long fsBytes = totalBytes(m_tmp.path());
    ASSERT_GT(fsBytes, 0u);
    EXPECT_EQ(mxDiskSize(), fsBytes) << "a storage that cannot be queried counts as 0";
    EXPECT_EQ(mxDiskFree(), 0u);

    makeUserDir();
    EXPECT_EQ(mxDiskSize(), 2 * fsBytes);
    const unsigned long long free = mxDiskFree();
    EXPECT_GT(free, 0u);
    EXPECT_LE(free, fsBytes);
}

} // namespace
