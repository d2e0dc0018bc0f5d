// The waiting room shared by the layer's mutexes and semaphores.
//
// Waiters block on one condition variable under one mutex and, after every
// wake-up, try the object again without blocking. Every release wakes them all.
// Destruction marks the room closed, wakes everybody and waits until the last
// waiter has left, so nobody touches the room after it is released.
#ifndef MX_MXWAITQUEUE_H
#define MX_MXWAITQUEUE_H

#include "mx/mx.h"

#include <atomic>
#include <pthread.h>
#include <time.h>

// Absolute deadline `timeoutMs` after `now` (negative time-outs lie in the past).
struct timespec mxDeadlineAfter(const MxTime& now, long timeoutMs);

class MxWaitQueue {
public:
    // `recursive` selects the kind of the guard mutex.
    bool init(bool recursive);

    // Calls tryOnce(ctx) under the guard until it returns true, waiting between
    // attempts; timeoutMs is MX_WAIT_FOREVER or a (possibly past) deadline in ms.
    // 0 on success; -1 with errno MX_ETIMEOUT or MX_EDELETED.
    int wait(long timeoutMs, bool (*tryOnce)(void*), void* ctx);

    void wakeAll();

    // Wakes every waiter with MX_EDELETED and returns once none is left inside.
    void close();

    bool closed() const { return m_deleteCalled.load(std::memory_order_acquire) != 0; }

private:
    pthread_mutex_t m_condMutex;
    pthread_cond_t m_cond;       // signalled on every release
    pthread_cond_t m_lastGone;   // signalled when the last waiter leaves a closed room
    std::atomic<int> m_deleteCalled;
    int m_waiters;               // guarded by m_condMutex
};

#endif
