// User storage: free space, size and clearing of "/opt/qvt/user/".
#define _FILE_OFFSET_BITS 64

#include "mx/mx.h"
#include "mx/mxDiskRoot.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

const char kProductDir[] = "/opt/qvt/";
const char kUserDir[] = "/opt/qvt/user/";
const char kToken[] = "PROG.TKN";

// The storage paths with the root in front, rebuilt whenever the root changes.
struct StoragePaths {
    char product[PATH_MAX] = "/opt/qvt/";
    char user[PATH_MAX] = "/opt/qvt/user/";
    char root[PATH_MAX] = "/";
};

std::mutex g_lock;
StoragePaths g_paths;

StoragePaths currentPaths()
{
    std::lock_guard<std::mutex> hold(g_lock);
    return g_paths;
}

struct FsSpace {
    unsigned long long total = 0;
    unsigned long long available = 0;
};

// A failed query counts as an empty file system.
FsSpace space(const char* path)
{
    FsSpace s;
    struct statvfs fs;
    if (statvfs(path, &fs) != 0) return s;
    unsigned long long block = fs.f_frsize ? fs.f_frsize : fs.f_bsize;
    s.total = block * fs.f_blocks;
    s.available = block * fs.f_bavail;
    return s;
}

} // namespace

extern "C" {

int mxDiskSetRoot(const char* root)
{
    if (!root) root = "";
    std::string base(root);
    while (!base.empty() && base.back() == '/') base.pop_back();
    if ((root[0] != '\0' && root[0] != '/') || base.size() + sizeof kUserDir >= PATH_MAX) {
        errno = EINVAL;
        return -1;
    }
    StoragePaths paths;
    std::snprintf(paths.product, sizeof paths.product, "%s%s", base.c_str(), kProductDir);
    std::snprintf(paths.user, sizeof paths.user, "%s%s", base.c_str(), kUserDir);
    std::snprintf(paths.root, sizeof paths.root, "%s/", base.c_str());
    std::lock_guard<std::mutex> hold(g_lock);
    g_paths = paths;
    return 0;
}

const char* mxDiskProductDir(void)
{
    std::lock_guard<std::mutex> hold(g_lock);
    return g_paths.product;
}

const char* mxDiskUserDir(void)
{
    std::lock_guard<std::mutex> hold(g_lock);
    return g_paths.user;
}

const char* mxDiskRootDir(void)
{
    std::lock_guard<std::mutex> hold(g_lock);
    return g_paths.root;
}

unsigned long long mxDiskFree(void)
{
    return space(currentPaths().user).available;
}

unsigned long long mxDiskSize(void)
{
    StoragePaths paths = currentPaths();
    return space(paths.user).total + space(paths.root).total;
}

int mxDiskClean(void)
{
    StoragePaths paths = currentPaths();
    MxDir dir;
    int opened = mxDirOpen(paths.user, &dir);
    if (opened != 0) return opened;
    char name[MX_DIR_NAME_SIZE];
    std::string entry;
    while (mxDirRead(&dir, name) == 0) {
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
        // Only what sits directly in the storage goes: a file, or a directory that is
        // already empty. Links are removed, never followed.
        entry.assign(paths.user).append(name);
        if (unlink(entry.c_str()) != 0) rmdir(entry.c_str());
    }
    mxDirClose(&dir);
    std::string token = std::string(paths.product) + kToken;
    return unlink(token.c_str());
}

} // extern "C"
