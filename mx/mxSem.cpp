// Counting semaphores with a time-out in milliseconds. The count lives in a
// POSIX semaphore that is only ever tried; waiting is done in the shared
// waiting room. A give raises the count before it wakes the waiters, under
// the guard they test in, so no give falls between a failed test and a wait.
#include "mx/mx.h"
#include "mx/mxWaitQueue.h"

#include <new>
#include <semaphore.h>

struct LinuxSem {
    sem_t m_sem;
    MxWaitQueue m_wait; // woken on every give, flush and destruction
};

namespace {

bool tryTake(void* ctx)
{
    return sem_trywait(&static_cast<LinuxSem*>(ctx)->m_sem) == 0;
}

bool usable(MxSem s)
{
    return s != nullptr && !s->m_wait.closed();
}

} // namespace

extern "C" {

MxSem mxSemCreate(int initialCount)
{
    if (initialCount < 0)
        return nullptr;
    void* block = mxMalloc(sizeof(LinuxSem));
    if (block == nullptr)
        return nullptr;
    LinuxSem* s = new (block) LinuxSem;
    if (sem_init(&s->m_sem, 0, static_cast<unsigned>(initialCount)) != 0) {
        s->~LinuxSem();
        mxFree(block);
        return nullptr;
    }
    if (!s->m_wait.init(false)) {
        sem_destroy(&s->m_sem);
        s->~LinuxSem();
        mxFree(block);
        return nullptr;
    }
    return s;
}

MxSem mxSemBinaryCreate(int initialCount)
{
    return mxSemCreate(initialCount);
}

int mxSemGive(MxSem s)
{
    if (!usable(s))
        return -1;
    if (sem_post(&s->m_sem) != 0)
        return -1;
    s->m_wait.wakeAll();
    return 0;
}

int mxSemTake(MxSem s, long timeoutMs)
{
    if (!usable(s))
        return -1;
    if (timeoutMs == MX_NO_WAIT)
        return tryTake(s) ? 0 : -1;
    return s->m_wait.wait(timeoutMs, tryTake, s);
}

void mxSemFlush(MxSem s)
{
    if (usable(s))
        s->m_wait.wakeAll();
}

int mxSemGetValue(MxSem s)
{
    if (!usable(s))
        return -1;
    int value = 0;
    if (sem_getvalue(&s->m_sem, &value) != 0)
        return -1;
    return value;
}

void mxSemDestroy(MxSem s)
{
    if (s == nullptr)
        return;
    s->m_wait.close();
    sem_destroy(&s->m_sem);
    s->~LinuxSem();
    mxFree(s);
}

} // extern "C"
