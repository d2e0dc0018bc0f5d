// A private folder for one test, removed with everything in it when the test ends.
// The removal uses nftw, not the layer under test, so a fault there cannot spread.
#ifndef MX_TESTS_TEMPDIR_H
#define MX_TESTS_TEMPDIR_H

#include <gtest/gtest.h>

#include <fcntl.h>
#include <ftw.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>

namespace mxtest {

class TempDir {
public:
    TempDir()
    {
        char pattern[] = "/tmp/mxtest.XXXXXX";
        const char* made = mkdtemp(pattern);
        if (made) m_path = made;
    }
    ~TempDir()
    {
        if (!m_path.empty())
            nftw(m_path.c_str(), [](const char* p, const struct stat*, int, struct FTW*) { return remove(p); }, 16,
                 FTW_DEPTH | FTW_PHYS);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    bool ok() const { return !m_path.empty(); }
    const std::string& path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

inline bool exists(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

inline void writeFile(const std::string& path, const std::string& content, mode_t mode = 0644)
{
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, mode);
    ASSERT_GE(fd, 0) << path;
    ASSERT_EQ(write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size()));
    ASSERT_EQ(fchmod(fd, mode), 0); // the mode exactly, whatever the umask
    close(fd);
}

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs the test body inside a folder and returns to where it was.
class ScopedCwd {
public:
    explicit ScopedCwd(const std::string& path)
    {
        char* here = getcwd(nullptr, 0);
        if (here) m_previous = here;
        free(here);
        m_entered = chdir(path.c_str()) == 0;
    }
    ~ScopedCwd()
    {
        if (!m_previous.empty() && chdir(m_previous.c_str()) != 0) perror("chdir back");
    }
    bool ok() const { return m_entered; }

private:
    std::string m_previous;
    bool m_entered = false;
};

} // namespace mxtest

#endif
