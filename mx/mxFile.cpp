// File wrappers: status, copy, sizes, times, formatted output to descriptors.
#define _FILE_OFFSET_BITS 64

#include "mx/mx.h"
#include "mx/mxFilePriv.h"

#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

const size_t kCopyPiece = 1024;
const size_t kPrintfSize = 1024;

uint16_t statFlags(const char* path, mode_t mode)
{
    uint16_t flags = MX_FILE_TYPE_OTHER;
    if (S_ISREG(mode)) flags = MX_FILE_TYPE_FILE;
    else if (S_ISDIR(mode)) flags = MX_FILE_TYPE_DIR;
    if (mode & S_IRUSR) flags |= MX_FILE_OWNER_READ;
    if (mode & S_IWUSR) flags |= MX_FILE_OWNER_WRITE;
    if (mode & S_IXUSR) flags |= MX_FILE_OWNER_EXEC;
    if (path[0] == '.') flags |= MX_FILE_DOT_PATH;
    return flags;
}

unsigned twoDigits(int value)
{
    return static_cast<unsigned>(value) % 100u;
}

long sizeResult(int statResult, const struct stat& st)
{
    if (statResult != 0) return -1;
    if (st.st_size > LONG_MAX) {
        errno = EOVERFLOW;
        return -1;
    }
    return static_cast<long>(st.st_size);
}

// Copies the stream, reporting any read or write fault (a copy that lost data is a failure).
int copyStream(FILE* in, FILE* out)
{
    char piece[kCopyPiece];
    size_t n;
    while ((n = std::fread(piece, 1, sizeof piece, in)) > 0) {
        if (std::fwrite(piece, 1, n, out) != n) return -1;
    }
    return std::ferror(in) ? -1 : 0;
}

bool sameFile(const char* a, const char* b)
{
    struct stat sa, sb;
    return stat(a, &sa) == 0 && stat(b, &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// The path variants of the descriptor calls: open read-only, call, close.
template <class Call>
int onOpenedFile(const char* path, Call call)
{
    if (!path) return mx::invalidArgument();
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    int result = call(fd);
    close(fd);
    return result;
}

} // namespace

extern "C" {

int mxFileStat(const char* path, MxFileInfo* info)
{
    if (!path || !info) return mx::invalidArgument();
    struct stat st;
    if (stat(path, &st) != 0) return -1;
    std::memset(info, 0, sizeof *info);
    info->flags = statFlags(path, st.st_mode);
    info->size = static_cast<uint32_t>(st.st_size);
    time_t modified = st.st_mtime;
    struct tm local;
    if (!localtime_r(&modified, &local)) return -1;
    info->month = static_cast<uint8_t>(local.tm_mon + 1);
    info->day = static_cast<uint8_t>(local.tm_mday);
    info->year = static_cast<uint16_t>(local.tm_year + 1900);
    info->hour = static_cast<uint8_t>(local.tm_hour);
    info->minute = static_cast<uint8_t>(local.tm_min);
    info->second = static_cast<uint8_t>(local.tm_sec);
    // Each field is held to its width, so the texts always fit their records.
    std::snprintf(info->time, sizeof info->time, "%02u:%02u:%02u", twoDigits(local.tm_hour), twoDigits(local.tm_min),
                  twoDigits(local.tm_sec));
    std::snprintf(info->date, sizeof info->date, "%02u/%02u/%04u", twoDigits(local.tm_mon + 1),
                  twoDigits(local.tm_mday), static_cast<unsigned>(local.tm_year + 1900) % 10000u);
    return 0;
}

int mxFileDelete(const char* path)
{
    if (!path) return mx::invalidArgument();
    return unlink(path);
}

int mxFileCopy(const char* source, const char* destination)
{
    if (!source || !destination) return mx::invalidArgument();
    // Opening the destination truncates it: copying a file onto itself would empty it.
    if (sameFile(source, destination)) return mx::invalidArgument();
    FILE* in = std::fopen(source, "rb");
    if (!in) return -1;
    FILE* out = std::fopen(destination, "wb");
    if (!out) {
        int saved = errno;
        std::fclose(in);
        errno = saved;
        return -1;
    }
    int result = copyStream(in, out);
    int saved = errno;
    std::fclose(in);
    if (std::fclose(out) != 0 && result == 0) {
        result = -1;
        saved = errno;
    }
    if (result != 0) {
        // A partial copy is worse than none: nobody could tell it from the real thing.
        unlink(destination);
        errno = saved;
    }
    return result;
}

long mxFileSize(const char* path)
{
    if (!path) return mx::invalidArgument();
    struct stat st;
    return sizeResult(stat(path, &st), st);
}

long mxFileSizeByFd(int fd)
{
    struct stat st;
    return sizeResult(fstat(fd, &st), st);
}

int mxFileSystemStat(const char* path, MxFsInfo* info)
{
    if (!path || !info) return mx::invalidArgument();
    struct statvfs fs;
    if (statvfs(path, &fs) != 0) return -1;
    info->reserved = 0;
    info->blockSize = static_cast<uint32_t>(fs.f_frsize ? fs.f_frsize : fs.f_bsize);
    info->totalBlocks = static_cast<uint32_t>(fs.f_blocks);
    info->freeBlocks = static_cast<uint32_t>(fs.f_bavail);
    return 0;
}

int mxFileTimeGet(const char* path, long* time, long* seconds)
{
    if (!path) return mx::invalidArgument();
    struct stat st;
    if (stat(path, &st) != 0) return -1;
    if (time) *time = static_cast<long>(st.st_mtime);
    if (seconds) *seconds = 0;
    return 0;
}

int mxFileFTimeSet(int, long, long)
{
    return -1;
}

int mxFileFStatAttrib(int, unsigned, unsigned)
{
    return -1;
}

int mxFileTimeSet(const char* path, long time, long seconds)
{
    return onOpenedFile(path, [=](int fd) { return mxFileFTimeSet(fd, time, seconds); });
}

int mxFileStatAttrib(const char* path, unsigned attributes, unsigned mask)
{
    return onOpenedFile(path, [=](int fd) { return mxFileFStatAttrib(fd, attributes, mask); });
}

int mxFdPrintf(int fd, const char* format, ...)
{
    if (!format) return mx::invalidArgument();
    char text[kPrintfSize];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (n < 0) return -1;
    size_t length = static_cast<size_t>(n) < sizeof text ? static_cast<size_t>(n) : sizeof text - 1;
    return static_cast<int>(write(fd, text, length));
}

int mxPrintf(const char* format, ...)
{
    if (!format) return mx::invalidArgument();
    va_list args;
    va_start(args, format);
    int n = std::vprintf(format, args);
    va_end(args);
    return n;
}

} // extern "C"
