// Recursive, owner-checked mutexes with a time-out in milliseconds. The
// thread library has no timed lock, so waiting is done in the shared waiting
// room and the lock itself is only ever tried.
#include "mx/mx.h"
#include "mx/mxWaitQueue.h"

#include <cerrno>
#include <new>

struct LinuxMutex {
    pthread_mutex_t m_mutex;              // recursive
    MxWaitQueue m_wait;                   // woken on every release
    std::atomic<pthread_t> m_ownerTID;    // last acquirer; not cleared on unlock
    std::atomic<int> m_depth;             // the owner's lock count; 0 once it has let go
};

namespace {

// Only ever tried, never waited on. 0 or the thread library's code.
int tryLock(LinuxMutex* m)
{
    const int rc = pthread_mutex_trylock(&m->m_mutex);
    if (rc != 0)
        return rc;
    m->m_ownerTID.store(pthread_self(), std::memory_order_relaxed);
    m->m_depth.fetch_add(1, std::memory_order_relaxed);
    return 0;
}

bool tryAcquire(void* ctx)
{
    return tryLock(static_cast<LinuxMutex*>(ctx)) == 0;
}

bool ownedByCaller(const LinuxMutex* m)
{
    return pthread_equal(m->m_ownerTID.load(std::memory_order_relaxed), pthread_self()) &&
           m->m_depth.load(std::memory_order_relaxed) > 0;
}

} // namespace

extern "C" {

MxMutex mxMutexCreate(void)
{
    void* block = mxMalloc(sizeof(LinuxMutex));
    if (block == nullptr)
        return nullptr;
    LinuxMutex* m = new (block) LinuxMutex;
    m->m_ownerTID.store(0);
    m->m_depth.store(0);

    pthread_mutexattr_t attr;
    bool ok = pthread_mutexattr_init(&attr) == 0;
    if (ok) {
        pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
        ok = pthread_mutex_init(&m->m_mutex, &attr) == 0;
        pthread_mutexattr_destroy(&attr);
    }
    if (ok && !m->m_wait.init(true)) {
        pthread_mutex_destroy(&m->m_mutex);
        ok = false;
    }
    if (!ok) {
        m->~LinuxMutex();
        mxFree(block);
        return nullptr;
    }
    return m;
}

int mxMutexLock(MxMutex m, long timeoutMs)
{
    if (m == nullptr)
        return -1;
    if (timeoutMs == MX_NO_WAIT) {
        const int rc = tryLock(m);
        if (rc != 0)
            errno = rc;
        return rc == 0 ? 0 : -1;
    }
    return m->m_wait.wait(timeoutMs, tryAcquire, m);
}

int mxMutexUnlock(MxMutex m)
{
    // The owner is not cleared on unlock; the depth tells whether the last
    // owner still holds the lock, so a surplus unlock is refused here.
    if (m == nullptr || !ownedByCaller(m))
        return -1;
    m->m_depth.fetch_sub(1, std::memory_order_relaxed);
    const int rc = pthread_mutex_unlock(&m->m_mutex);
    if (rc != 0) {
        errno = rc;
        return -1;
    }
    m->m_wait.wakeAll();
    return 0;
}

void mxMutexDestroy(MxMutex m)
{
    if (m == nullptr)
        return;
    m->m_wait.close();
    // Destroying a held lock is undefined; a destroyer that holds it (at any
    // depth) releases it first. The waiters have all left by now.
    if (ownedByCaller(m))
        for (int depth = m->m_depth.exchange(0); depth > 0; --depth)
            pthread_mutex_unlock(&m->m_mutex);
    pthread_mutex_destroy(&m->m_mutex);
    m->~LinuxMutex();
    mxFree(m);
}

} // extern "C"
