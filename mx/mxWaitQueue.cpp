#include "mx/mxWaitQueue.h"

#include <cerrno>

struct timespec mxDeadlineAfter(const MxTime& now, long timeoutMs)
{
    const long nsPerSec = 1000000000L;
    struct timespec at;
    at.tv_sec = static_cast<time_t>(now.tv_sec) + static_cast<time_t>(timeoutMs / 1000);
    long nsec = static_cast<long>(now.tv_nsec % nsPerSec) + (timeoutMs % 1000) * 1000000L;
    if (nsec >= nsPerSec) {
        nsec -= nsPerSec;
        ++at.tv_sec;
    } else if (nsec < 0) {
        nsec += nsPerSec;
        --at.tv_sec;
    }
    if (at.tv_sec < 0) {
        at.tv_sec = 0;
        nsec = 0;
    }
    at.tv_nsec = nsec;
    return at;
}

bool MxWaitQueue::init(bool recursive)
{
    m_deleteCalled.store(0);
    m_waiters = 0;
    pthread_mutexattr_t attr;
    if (pthread_mutexattr_init(&attr) != 0)
        return false;
    if (recursive)
        pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    const int rc = pthread_mutex_init(&m_condMutex, &attr);
    pthread_mutexattr_destroy(&attr);
    if (rc != 0)
        return false;
    if (pthread_cond_init(&m_cond, nullptr) != 0) {
        pthread_mutex_destroy(&m_condMutex);
        return false;
    }
    if (pthread_cond_init(&m_lastGone, nullptr) != 0) {
        pthread_cond_destroy(&m_cond);
        pthread_mutex_destroy(&m_condMutex);
        return false;
    }
    return true;
}

int MxWaitQueue::wait(long timeoutMs, bool (*tryOnce)(void*), void* ctx)
{
    const bool timed = timeoutMs != MX_WAIT_FOREVER;
    struct timespec deadline = {0, 0};
    if (timed) {
        MxTime now;
        if (mxGetTime(&now) != 0)
            return -1;
        deadline = mxDeadlineAfter(now, timeoutMs);
    }

    pthread_mutex_lock(&m_condMutex);
    ++m_waiters;
    int error = 0;
    for (;;) {
        if (closed()) {
            error = MX_EDELETED;
            break;
        }
        if (tryOnce(ctx))
            break;
        const int rc = timed ? pthread_cond_timedwait(&m_cond, &m_condMutex, &deadline)
                             : pthread_cond_wait(&m_cond, &m_condMutex);
        if (rc == ETIMEDOUT) {
            error = closed() ? MX_EDELETED : MX_ETIMEOUT;
            break;
        }
    }
    if (--m_waiters == 0 && closed())
        pthread_cond_broadcast(&m_lastGone);
    pthread_mutex_unlock(&m_condMutex);

    if (error == 0)
        return 0;
    errno = error;
    return -1;
}

void MxWaitQueue::wakeAll()
{
    pthread_mutex_lock(&m_condMutex);
    pthread_cond_broadcast(&m_cond);
    pthread_mutex_unlock(&m_condMutex);
}

void MxWaitQueue::close()
{
    pthread_mutex_lock(&m_condMutex);
    m_deleteCalled.store(1, std::memory_order_release);
    pthread_cond_broadcast(&m_cond);
    while (m_waiters > 0)
        pthread_cond_wait(&m_lastGone, &m_condMutex);
    pthread_mutex_unlock(&m_condMutex);

    pthread_cond_destroy(&m_lastGone);
    pthread_cond_destroy(&m_cond);
    pthread_mutex_destroy(&m_condMutex);
}
