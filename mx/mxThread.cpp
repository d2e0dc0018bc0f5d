// Threads: detached POSIX threads started through a start record that the
// new thread owns, with the layer's priorities mapped onto the FIFO policy.
#include "mx/mx.h"
#include "mx/mxPriority.h"

#include <cerrno>
#include <cstdio>
#include <sched.h>
#include <sys/select.h>
#include <unistd.h>

namespace {

const int argCount = 10;

struct StartRecord {
    MxThreadEntry entry;
    long args[argCount];
};

void* linuxEntry(void* arg)
{
    StartRecord record = *static_cast<StartRecord*>(arg);
    mxFree(arg);

    pthread_setcancelstate(PTHREAD_CANCEL_ENABLE, nullptr);
    pthread_setcanceltype(PTHREAD_CANCEL_ASYNCHRONOUS, nullptr);
    fprintf(stderr, "New thread, tid = %d / PID = %d\n", static_cast<int>(pthread_self()),
            static_cast<int>(getpid()));

    const long* a = record.args;
    record.entry(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9]);
    return nullptr;
}

int fifoMax()
{
    const int max = sched_get_priority_max(SCHED_FIFO);
    return max > 0 ? max : 99;
}

} // namespace

extern "C" {

MxThread mxThreadSpawn(const char* /*name*/, int priority, int /*stackSize*/, MxThreadEntry entry,
                       long a1, long a2, long a3, long a4, long a5,
                       long a6, long a7, long a8, long a9, long a10)
{
    if (entry == nullptr)
        return MX_THREAD_ERROR;
    pthread_attr_t attr;
    if (pthread_attr_init(&attr) != 0)
        return MX_THREAD_ERROR;
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);

    StartRecord* record = static_cast<StartRecord*>(mxMalloc(sizeof(StartRecord)));
    if (record == nullptr) {
        pthread_attr_destroy(&attr);
        return MX_THREAD_ERROR;
    }
    *record = StartRecord{entry, {a1, a2, a3, a4, a5, a6, a7, a8, a9, a10}};

    pthread_t thread;
    const int rc = pthread_create(&thread, &attr, linuxEntry, record);
    pthread_attr_destroy(&attr);
    if (rc != 0) {
        mxFree(record);
        return MX_THREAD_ERROR;
    }
    mxThreadSetPriority(thread, priority);
    return thread;
}

int mxThreadDelete(MxThread thread)
{
    return pthread_cancel(thread);
}

MxThread mxThreadIdSelf(void)
{
    return pthread_self();
}

const char* mxThreadName(void)
{
    return "";
}

int mxThreadSetPriority(MxThread thread, int priority)
{
    if (!mxPriorityValid(priority)) {
        errno = MX_EPRIORITY;
        return -1;
    }
    printf("thread spawn: mx priority = %d\n", priority);
    const int linuxPriority = mxPriorityToLinux(priority, fifoMax());
    printf("thread spawn: linux priority = %d\n", linuxPriority);
    if (geteuid() != 0)
        return -1;
    struct sched_param param = {};
    param.sched_priority = linuxPriority;
    return pthread_setschedparam(thread, SCHED_FIFO, &param) == 0 ? 0 : -1;
}

int mxThreadGetPriority(MxThread thread, int* priority)
{
    int policy = 0;
    struct sched_param param = {};
    if (priority == nullptr || pthread_getschedparam(thread, &policy, &param) != 0)
        return -1;
    *priority = mxPriorityFromLinux(param.sched_priority, fifoMax());
    return 0;
}

int mxThreadSuspend(int milliseconds)
{
    if (milliseconds < 0)
        return -1;
    struct timeval tv;
    tv.tv_sec = milliseconds / 1000;
    tv.tv_usec = (milliseconds % 1000) * 1000;
    return select(0, nullptr, nullptr, nullptr, &tv) < 0 ? -1 : 0;
}

int mxThreadStackAvailable(void)
{
    return 0x7FFFFFFF;
}

int mxThreadPause(MxThread /*thread*/)
{
    return -1;
}

int mxThreadResume(MxThread /*thread*/)
{
    return -1;
}

} // extern "C"
