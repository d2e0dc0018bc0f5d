/* Files, directories, disks and host names of the portability layer.
 *
 * Plain functions with unmangled names. They return 0 for success and -1 for failure
 * (leaving errno as the system set it) unless a function says otherwise. Three of them
 * work on the panel's user storage, "/opt/qvt/user/" below the product directory
 * "/opt/qvt/".
 */
#ifndef MX_MXFILE_H
#define MX_MXFILE_H

#include <dirent.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* A directory handle owned by the caller: the open stream of mxDirOpen. */
typedef struct MxDir {
    DIR* stream;
} MxDir;

/* Size of the name buffer that mxDirRead fills. */
#define MX_DIR_NAME_SIZE 256

/* flags of MxFileInfo */
#define MX_FILE_TYPE_MASK   0x03
#define MX_FILE_TYPE_OTHER  0x00
#define MX_FILE_TYPE_DIR    0x01
#define MX_FILE_TYPE_FILE   0x02
#define MX_FILE_OWNER_READ  0x04
#define MX_FILE_OWNER_WRITE 0x08
#define MX_FILE_OWNER_EXEC  0x10
#define MX_FILE_DOT_PATH    0x80 /* the path as given begins with '.' */

typedef struct MxFileInfo {
    uint16_t flags;
    uint32_t size;
    char time[10]; /* "%02d:%02d:%02d" hour, minute, second (local time) */
    char date[12]; /* "%02d/%02d/%04d" month, day, year */
    uint8_t month; /* 1 to 12 */
    uint8_t day;
    uint16_t year;
    uint8_t hour;
    uint8_t minute;
    uint8_t second;
} MxFileInfo;

typedef struct MxFsInfo {
    uint32_t reserved;    /* always 0 */
    uint32_t blockSize;
    uint32_t totalBlocks;
    uint32_t freeBlocks;  /* available to ordinary users */
} MxFsInfo;

/* Directories */
int mxDirGet(char* buffer); /* buffer of at least 255 bytes */
int mxDirChange(const char* path);
int mxDirMake(const char* path); /* mode 0755 */
int mxDirRemove(const char* path);
/* Removes the tree below path (and path itself) without following symbolic links.
 * 0 when nothing is left of it, also for a path that does not exist; -1 for a null path
 * or when part of the tree could not be removed. */
int mxDirRemoveRecursively(const char* path);
int mxDirOpen(const char* path, MxDir* dir);
int mxDirRead(MxDir* dir, char* name); /* name buffer of MX_DIR_NAME_SIZE; -1 at the end */
int mxDirClose(MxDir* dir);
int mxDirList(int fd, const char* path);

/* Files */
int mxFileStat(const char* path, MxFileInfo* info);
int mxFileDelete(const char* path);
int mxFileCopy(const char* source, const char* destination);
long mxFileSize(const char* path);
long mxFileSizeByFd(int fd);
int mxFileSystemStat(const char* path, MxFsInfo* info);
int mxFileTimeGet(const char* path, long* time, long* seconds);
/* Not supported on this system: always -1. */
int mxFileTimeSet(const char* path, long time, long seconds);
int mxFileFTimeSet(int fd, long time, long seconds);
int mxFileStatAttrib(const char* path, unsigned attributes, unsigned mask);
int mxFileFStatAttrib(int fd, unsigned attributes, unsigned mask);

/* User storage */
unsigned long long mxDiskFree(void);
unsigned long long mxDiskSize(void);
int mxDiskClean(void);

/* Output */
int mxFdPrintf(int fd, const char* format, ...) __attribute__((format(printf, 2, 3)));
int mxPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

/* Host names; addresses are IPv4 in network byte order */
uint32_t mxGetHostByName(const char* name);
void mxInetNtoa(uint32_t address, char* text); /* text of at least 16 bytes */
uint32_t mxInetAddr(const char* text);
int mxGetHostName(char* buffer, int size);

#ifdef __cplusplus
}
#endif

#endif
