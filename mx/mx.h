/*
 * mx: the portability layer.
 *
 * A small real-time-kernel style operating-system interface over POSIX:
 * allocation entry points, threads with priorities 0 (highest) to 255
 * (lowest), counting semaphores and recursive owner-checked mutexes that
 * can be waited on with a time-out in milliseconds, and the wall clock.
 *
 * Every function returns 0 for success and -1 for failure unless noted, and
 * sets errno to one of the layer's own values below where it says so.
 * All names are plain, unmangled C symbols.
 */
#ifndef MX_MX_H
#define MX_MX_H

#include <pthread.h>

#ifdef __cplusplus
extern "C" {
#endif

/* errno values of the layer. */
#define MX_EPRIORITY 202 /* priority outside 0 to 255 */
#define MX_ETIMEOUT 203  /* the time-out expired */
#define MX_EDELETED 205  /* the object was destroyed while the caller waited */

/* Time-out arguments of mxMutexLock and mxSemTake, in milliseconds.
 * A positive value waits at most that long; any other negative value gives
 * a deadline already past (try once, then time out). */
#define MX_WAIT_FOREVER (-1L)
#define MX_NO_WAIT 0L

/* ---- allocation ------------------------------------------------------ */

/* On Linux every request goes straight to the system allocator; the heap
 * descriptor is accepted for the shape of the interface, never consulted,
 * and may be null. Nothing needs to be initialised first. */
void* mxMalloc(unsigned size);
void mxFree(void* block);
void* mxMallocByHeap(void* heap, unsigned size);
void mxFreeByHeap(void* heap, void* block);

/* ---- threads --------------------------------------------------------- */

typedef pthread_t MxThread;

/* What mxThreadSpawn returns when it fails. */
#define MX_THREAD_ERROR ((MxThread)-1)

/* A thread's entry function receives the ten word-sized spawn arguments. */
typedef void (*MxThreadEntry)(long, long, long, long, long, long, long, long, long, long);

/* Spawns a detached thread running entry(a1..a10). The name and the stack
 * size are accepted and not used. The priority is applied as by
 * mxThreadSetPriority, whose result is ignored. Returns the thread, or
 * MX_THREAD_ERROR. */
MxThread mxThreadSpawn(const char* name, int priority, int stackSize, MxThreadEntry entry,
                       long a1, long a2, long a3, long a4, long a5,
                       long a6, long a7, long a8, long a9, long a10);
/* Cancels the thread; 0 or the thread library's error code. */
int mxThreadDelete(MxThread thread);
MxThread mxThreadIdSelf(void);
/* Always the empty string. */
const char* mxThreadName(void);
/* errno MX_EPRIORITY for a priority outside 0..255; -1 without root rights
 * (the mapping is printed but not applied). */
int mxThreadSetPriority(MxThread thread, int priority);
int mxThreadGetPriority(MxThread thread, int* priority);
/* Sleeps; -1 if the sleep was cut short (it is not resumed). */
int mxThreadSuspend(int milliseconds);
/* Always 0x7FFFFFFF. */
int mxThreadStackAvailable(void);
/* Not supported: always -1. */
int mxThreadPause(MxThread thread);
int mxThreadResume(MxThread thread);

/* ---- counting semaphores --------------------------------------------- */

typedef struct LinuxSem* MxSem;

MxSem mxSemCreate(int initialCount);
/* The same as mxSemCreate: the count is not capped at 1. */
MxSem mxSemBinaryCreate(int initialCount);
int mxSemGive(MxSem sem);
int mxSemTake(MxSem sem, long timeoutMs);
/* Wakes every waiter to test the count again; gives and takes nothing. */
void mxSemFlush(MxSem sem);
/* The current count, or -1. */
int mxSemGetValue(MxSem sem);
/* Waiters fail with MX_EDELETED; returns once they have all left. */
void mxSemDestroy(MxSem sem);

/* ---- recursive, owner-checked mutexes -------------------------------- */

typedef struct LinuxMutex* MxMutex;

MxMutex mxMutexCreate(void);
/* Time-out 0 fails with the thread library's code (EBUSY) when another
 * thread holds the lock. */
int mxMutexLock(MxMutex mutex, long timeoutMs);
/* -1 unless the caller holds the lock. */
int mxMutexUnlock(MxMutex mutex);
/* Waiters fail with MX_EDELETED; returns once they have all left. */
void mxMutexDestroy(MxMutex mutex);

/* ---- time ------------------------------------------------------------- */

typedef struct MxTime {
    unsigned long tv_sec;  /* seconds since the epoch */
    unsigned long tv_nsec; /* nanoseconds within the second */
} MxTime;

/* The wall-clock time; on failure -1 and *t unchanged. */
int mxGetTime(MxTime* t);

#ifdef __cplusplus
}
#endif

#include "mx/mxFile.h"

#endif /* MX_MX_H */
