// Directory wrappers.
#define _FILE_OFFSET_BITS 64

#include "mx/mx.h"
#include "mx/mxFilePriv.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const size_t kCwdSize = 255;

// Removes every entry of the open directory dirFd, descending into sub-directories
// without following symbolic links (a link is removed, never what it points to).
// Returns 0 when the directory was emptied, else -1 with errno of the first failure;
// it carries on past failures so that as much as possible goes.
int emptyDirectory(int dirFd)
{
    DIR* stream = fdopendir(dirFd);
    if (!stream) {
        int saved = errno;
        close(dirFd);
        errno = saved;
        return -1;
    }
    int result = 0;
    int firstError = 0;
    auto fail = [&]() {
        result = -1;
        if (!firstError) firstError = errno;
    };
    for (;;) {
        errno = 0;
        struct dirent* entry = readdir(stream);
        if (!entry) {
            if (errno != 0) fail();
            break;
        }
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        if (unlinkat(dirfd(stream), name, 0) == 0 || errno == ENOENT)
            continue;
        if (errno != EISDIR && errno != EPERM) {
            fail();
            continue;
        }
        // A directory (unlink gives EISDIR on Linux, EPERM elsewhere): O_NOFOLLOW keeps
        // the walk inside the tree should the entry have been swapped for a link.
        int child = openat(dirfd(stream), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (child < 0 || emptyDirectory(child) != 0 || unlinkat(dirfd(stream), name, AT_REMOVEDIR) != 0)
            fail();
    }
    closedir(stream);
    if (result != 0) errno = firstError;
    return result;
}

// Like rm, refuse a path that ends in "." or "..": removing it would take the current
// or the parent directory's contents with it.
bool endsInDotOrDotDot(const char* path)
{
    size_t n = std::strlen(path);
    while (n > 1 && path[n - 1] == '/') --n;
    size_t start = n;
    while (start > 0 && path[start - 1] != '/') --start;
    size_t len = n - start;
    return (len == 1 && path[start] == '.') || (len == 2 && path[start] == '.' && path[start + 1] == '.');
}

bool isFilesystemRoot(const struct stat& st)
{
    struct stat root;
    return stat("/", &root) == 0 && root.st_dev == st.st_dev && root.st_ino == st.st_ino;
}

} // namespace

extern "C" {

int mxDirGet(char* buffer)
{
    if (!buffer) return mx::invalidArgument();
    return getcwd(buffer, kCwdSize) ? 0 : -1;
}

int mxDirChange(const char* path)
{
    if (!path) return mx::invalidArgument();
    return chdir(path);
}

int mxDirMake(const char* path)
{
    if (!path) return mx::invalidArgument();
    return mkdir(path, 0755);
}

int mxDirRemove(const char* path)
{
    if (!path) return mx::invalidArgument();
    return rmdir(path);
}

// The path is used as one name and never handed to a shell, so no character of it
// (';', '$(', spaces, wildcards) has any meaning beyond naming a file.
int mxDirRemoveRecursively(const char* path)
{
    if (!path) return mx::invalidArgument();
    // Without its trailing slashes a link to a directory names the link, which is removed,
    // and not the directory it points to, which stays.
    std::string name(path);
    while (name.size() > 1 && name.back() == '/') name.pop_back();
    struct stat st;
    if (lstat(name.c_str(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? 0 : -1;
    if (!S_ISDIR(st.st_mode))
        return unlink(name.c_str()) == 0 || errno == ENOENT ? 0 : -1;
    if (endsInDotOrDotDot(name.c_str()) || isFilesystemRoot(st)) {
        errno = EINVAL;
        return -1;
    }
    int fd = open(name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return -1;
    int result = emptyDirectory(fd);
    int saved = errno;
    if (rmdir(name.c_str()) == 0 || errno == ENOENT) {
        errno = saved;
        return result;
    }
    return -1;
}

int mxDirOpen(const char* path, MxDir* dir)
{
    if (!path || !dir) return mx::invalidArgument();
    dir->stream = opendir(path);
    return dir->stream ? 0 : -1;
}

int mxDirRead(MxDir* dir, char* name)
{
    if (!dir || !dir->stream || !name) return mx::invalidArgument();
    struct dirent* entry = readdir(dir->stream);
    if (!entry) return -1;
    size_t length = strnlen(entry->d_name, MX_DIR_NAME_SIZE - 1);
    std::memcpy(name, entry->d_name, length);
    name[length] = '\0';
    return 0;
}

int mxDirClose(MxDir* dir)
{
    if (!dir || !dir->stream) return mx::invalidArgument();
    int result = closedir(dir->stream);
    dir->stream = nullptr;
    return result;
}

int mxDirList(int fd, const char* path)
{
    MxDir dir;
    if (mxDirOpen(path, &dir) != 0) return -1;
    char name[MX_DIR_NAME_SIZE];
    while (mxDirRead(&dir, name) == 0)
        mxFdPrintf(fd, "%s\n", name);
    return mxDirClose(&dir);
}

} // extern "C"
