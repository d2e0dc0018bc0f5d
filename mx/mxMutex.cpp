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
};

namespace {

bool tryAcquire(void* ctx)
{
    LinuxMutex* m = static_cast<LinuxMutex*>(ctx);
    if (pthread_mutex_trylock(&m->m_mutex) != 0)
        return false;
    m->m_ownerTID.store(pthread_self(), std::memory_order_relaxed);
    return true;
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
        const int rc = pthread_mutex_trylock(&m->m_mutex);
        if (rc != 0) {
            errno = rc;
            return -1;
        }
        m->m_ownerTID.store(pthread_self(), std::memory_order_relaxed);
        return 0;
    }
    return m->m_wait.wait(timeoutMs, tryAcquire, m);
}

int mxMutexUnlock(MxMutex m)
{
    if (m == nullptr || !pthread_equal(m->m_ownerTID.load(std::memory_order_relaxed), pthread_self()))
        return -1;
    // The owner is not cleared on unlock, so a surplus unlock by the last
    // owner reaches the thread library, which refuses it.
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
    if (pthread_equal(m->m_ownerTID.load(std::memory_order_relaxed), pthread_self()))
        while (pthread_mutex_unlock(&m->m_mutex) == 0) {
        }
    pthread_mutex_destroy(&m->m_mutex);
    m->~LinuxMutex();
    mxFree(m);
}

} // extern "C"
