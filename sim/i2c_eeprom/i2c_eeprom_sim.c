/*
 * Puts an emulated EEPROM behind /dev/i2c-0.
 *
 * Loaded with LD_PRELOAD (libi2c_eeprom_sim.so), or linked into a test program, this
 * file defines open, ioctl, read, write and close. Descriptors of /dev/i2c-0 opened
 * while I2C_EEPROM_IMAGE is set talk to the model of eeprom_model.c; every other call
 * goes on to the next definition (the C library).
 *
 *   I2C_EEPROM_IMAGE=<file>     the part's 512 bytes; a missing file is a blank part.
 *                               The file is (re)written whole after every stored page.
 *   I2C_EEPROM_TWR_MS=<ms>      write-cycle time, default 5
 *   I2C_EEPROM_LOG=<file>       one line per acknowledged transfer:
 *                                 "W <slave> <bytes...>"  or  "R <slave> <count>"
 *   I2C_EEPROM_FAIL_AFTER=<n>   the part stops answering after n write transfers
 *
 * The settings are read when the device is opened while no other descriptor of it is
 * open; the part then starts from the file again.
 */
#undef _FORTIFY_SOURCE
#include "sim/i2c_eeprom/eeprom_model.h"

#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/i2c-dev.h>
#include <pthread.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

#define SIM_DEVICE "/dev/i2c-0"
#define SIM_MAX_FDS 16

typedef int (*open_fn)(const char*, int, ...);
typedef int (*open2_fn)(const char*, int);
typedef int (*ioctl_fn)(int, unsigned long, ...);
typedef ssize_t (*read_fn)(int, void*, size_t);
typedef ssize_t (*write_fn)(int, const void*, size_t);
typedef int (*close_fn)(int);

struct sim_fd {
    int used;
    int fd;
    int slave; /* selected with I2C_SLAVE; -1 none */
};

static pthread_mutex_t sim_lock = PTHREAD_MUTEX_INITIALIZER;
static struct eeprom_part sim_part;
static struct sim_fd sim_fds[SIM_MAX_FDS];
static int sim_open_count;
static char sim_image[4096];
static char sim_log[4096];

/* The next definition of a symbol (the C library's), looked up once. */
static void* next_symbol(void** slot, const char* name)
{
    void* fn = __atomic_load_n(slot, __ATOMIC_ACQUIRE);
    if (!fn) {
        fn = dlsym(RTLD_NEXT, name);
        __atomic_store_n(slot, fn, __ATOMIC_RELEASE);
    }
    return fn;
}

/* One cached address per forwarded symbol. */
static void* next_open;
static void* next_open64;
static void* next_ioctl;
static void* next_read;
static void* next_write;
static void* next_close;

#define NEXT(type, name) ((type)next_symbol(&next_##name, #name))

static int real_open(const char* path, int flags, mode_t mode)
{
    return NEXT(open_fn, open)(path, flags, mode);
}

static ssize_t real_read(int fd, void* buf, size_t n)
{
    return NEXT(read_fn, read)(fd, buf, n);
}

static ssize_t real_write(int fd, const void* buf, size_t n)
{
    return NEXT(write_fn, write)(fd, buf, n);
}

static int real_close(int fd)
{
    return NEXT(close_fn, close)(fd);
}

static long long now_ns(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

static long env_long(const char* name, long fallback)
{
    const char* s = getenv(name);
    char* end;
    long v;
    if (!s || !*s)
        return fallback;
    errno = 0;
    v = strtol(s, &end, 10);
    if (errno || *end || v < 0)
        return fallback;
    return v;
}

static void copy_env(char* dst, size_t size, const char* name)
{
    const char* s = getenv(name);
    dst[0] = '\0';
    if (s && strlen(s) < size)
        strcpy(dst, s);
}

static int write_all(int fd, const void* buf, size_t n)
{
    const char* p = (const char*)buf;
    while (n > 0) {
        ssize_t w = real_write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        p += w;
        n -= (size_t)w;
    }
    return 0;
}

/* The image file always holds exactly the part's bytes. */
static int save_image(void)
{
    int fd = real_open(sim_image, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    int rc, saved;
    if (fd < 0)
        return -1;
    rc = write_all(fd, sim_part.mem, EEPROM_SIZE);
    if (rc == 0)
        rc = ftruncate(fd, EEPROM_SIZE);
    saved = errno;
    real_close(fd);
    errno = saved;
    return rc;
}

static int load_image(void)
{
    int fd = real_open(sim_image, O_RDONLY | O_CLOEXEC, 0);
    size_t got = 0;
    if (fd < 0)
        return errno == ENOENT ? save_image() : -1;
    while (got < EEPROM_SIZE) {
        ssize_t r = real_read(fd, sim_part.mem + got, EEPROM_SIZE - got);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            break;
        got += (size_t)r;
    }
    real_close(fd);
    /* a short file is padded with blank bytes and written back whole */
    return got == EEPROM_SIZE ? 0 : save_image();
}

static void log_line(const char* line, size_t n)
{
    int fd;
    if (!sim_log[0])
        return;
    fd = real_open(sim_log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    write_all(fd, line, n);
    real_close(fd);
}

static void log_write(int slave, const unsigned char* buf, size_t n)
{
    static const char hex[] = "0123456789abcdef";
    size_t i, len = 0;
    char* line = (char*)malloc(8 + 3 * n);
    if (!line)
        return;
    len += (size_t)sprintf(line, "W %02x", (unsigned)slave & 0xFF);
    for (i = 0; i < n; i++) {
        line[len++] = ' ';
        line[len++] = hex[buf[i] >> 4];
        line[len++] = hex[buf[i] & 15];
    }
    line[len++] = '\n';
    log_line(line, len);
    free(line);
}

static void log_read(int slave, size_t n)
{
    char line[48];
    int len = snprintf(line, sizeof line, "R %02x %zu\n", (unsigned)slave & 0xFF, n);
    log_line(line, (size_t)len);
}

static struct sim_fd* find_fd(int fd)
{
    int i;
    for (i = 0; i < SIM_MAX_FDS; i++)
        if (sim_fds[i].used && sim_fds[i].fd == fd)
            return &sim_fds[i];
    return NULL;
}

static struct sim_fd* free_slot(void)
{
    int i;
    for (i = 0; i < SIM_MAX_FDS; i++)
        if (!sim_fds[i].used)
            return &sim_fds[i];
    return NULL;
}

static int emulated(const char* path)
{
    const char* image = getenv("I2C_EEPROM_IMAGE");
    return path && image && *image && strcmp(path, SIM_DEVICE) == 0;
}

static int sim_open(int flags)
{
    struct sim_fd* slot;
    int fd;

    pthread_mutex_lock(&sim_lock);
    if (sim_open_count == 0) {
        copy_env(sim_image, sizeof sim_image, "I2C_EEPROM_IMAGE");
        copy_env(sim_log, sizeof sim_log, "I2C_EEPROM_LOG");
        eeprom_init(&sim_part, env_long("I2C_EEPROM_TWR_MS", 5) * 1000000LL,
                    env_long("I2C_EEPROM_FAIL_AFTER", -1));
        if (!sim_image[0] || load_image() != 0) {
            int saved = sim_image[0] ? errno : ENAMETOOLONG;
            pthread_mutex_unlock(&sim_lock);
            errno = saved;
            return -1;
        }
    }
    slot = free_slot();
    if (!slot) {
        pthread_mutex_unlock(&sim_lock);
        errno = EMFILE;
        return -1;
    }
    /* a real descriptor keeps the number unique in the process */
    fd = real_open("/dev/null", O_RDWR | (flags & O_CLOEXEC), 0);
    if (fd >= 0) {
        slot->used = 1;
        slot->fd = fd;
        slot->slave = -1;
        sim_open_count++;
    }
    pthread_mutex_unlock(&sim_lock);
    return fd;
}

static int do_open(const char* path, int flags, mode_t mode)
{
    if (emulated(path))
        return sim_open(flags);
    return real_open(path, flags, mode);
}

static mode_t open_mode(int flags, va_list ap)
{
    if ((flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE)
        return (mode_t)va_arg(ap, int);
    return 0;
}

int open(const char* path, int flags, ...)
{
    va_list ap;
    mode_t mode;
    va_start(ap, flags);
    mode = open_mode(flags, ap);
    va_end(ap);
    return do_open(path, flags, mode);
}

int open64(const char* path, int flags, ...)
{
    va_list ap;
    mode_t mode;
    va_start(ap, flags);
    mode = open_mode(flags, ap);
    va_end(ap);
    if (emulated(path))
        return sim_open(flags);
    return NEXT(open_fn, open64)(path, flags, mode);
}

int __open_2(const char* path, int flags)
{
    return do_open(path, flags, 0);
}

int __open64_2(const char* path, int flags)
{
    return open64(path, flags);
}

int ioctl(int fd, unsigned long request, ...)
{
    struct sim_fd* slot;
    va_list ap;
    void* arg;

    va_start(ap, request);
    arg = va_arg(ap, void*);
    va_end(ap);

    pthread_mutex_lock(&sim_lock);
    slot = find_fd(fd);
    if (slot) {
        int rc = 0;
        int slave = (int)(unsigned long)arg;
        if (request != I2C_SLAVE && request != I2C_SLAVE_FORCE) {
            errno = ENOTTY;
            rc = -1;
        } else if (!eeprom_slave_valid(slave)) {
            errno = ENXIO;
            rc = -1;
        } else {
            slot->slave = slave;
        }
        pthread_mutex_unlock(&sim_lock);
        return rc;
    }
    pthread_mutex_unlock(&sim_lock);
    return NEXT(ioctl_fn, ioctl)(fd, request, arg);
}

ssize_t read(int fd, void* buf, size_t n)
{
    struct sim_fd* slot;
    pthread_mutex_lock(&sim_lock);
    slot = find_fd(fd);
    if (slot) {
        long rc = eeprom_read(&sim_part, slot->slave, (unsigned char*)buf, n, now_ns());
        int saved = errno;
        if (rc >= 0)
            log_read(slot->slave, n);
        pthread_mutex_unlock(&sim_lock);
        errno = saved;
        return rc;
    }
    pthread_mutex_unlock(&sim_lock);
    return real_read(fd, buf, n);
}

ssize_t write(int fd, const void* buf, size_t n)
{
    struct sim_fd* slot;
    pthread_mutex_lock(&sim_lock);
    slot = find_fd(fd);
    if (slot) {
        int stored = 0;
        long rc = eeprom_write(&sim_part, slot->slave, (const unsigned char*)buf, n, now_ns(),
                               &stored);
        int saved = errno;
        if (rc >= 0) {
            log_write(slot->slave, (const unsigned char*)buf, n);
            if (stored && save_image() != 0) {
                saved = EIO; /* the part took the page but it could not be kept */
                rc = -1;
            }
        }
        pthread_mutex_unlock(&sim_lock);
        errno = saved;
        return rc;
    }
    pthread_mutex_unlock(&sim_lock);
    return real_write(fd, buf, n);
}

int close(int fd)
{
    struct sim_fd* slot;
    pthread_mutex_lock(&sim_lock);
    slot = find_fd(fd);
    if (slot) {
        slot->used = 0;
        sim_open_count--;
    }
    pthread_mutex_unlock(&sim_lock);
    return real_close(fd);
}
