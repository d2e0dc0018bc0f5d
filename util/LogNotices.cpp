#include "util/LogNotices.h"

#include "util/Logger.h"

#include <atomic>
#include <cerrno>
#include <pthread.h>
#include <sched.h>
#include <semaphore.h>
#include <signal.h>

namespace {

// Notices still to be written. A slot holds the category index plus one, so
// that 0 marks a slot whose handler has taken its place but not filled it yet.
const unsigned queueSize = 64;
std::atomic<int> queue[queueSize];
std::atomic<unsigned> queueHead(0);
sem_t pending;
std::atomic<bool> started(false);
pthread_once_t startOnce = PTHREAD_ONCE_INIT;

void* writeNotices(void*)
{
    unsigned tail = 0;
    for (;;) {
        while (sem_wait(&pending) != 0 && errno == EINTR) {
        }
        std::atomic<int>& slot = queue[tail++ % queueSize];
        // A handler interrupted between taking its place and filling it
        // finishes at once; a slot that stays empty was lost to an overrun.
        int value = 0;
        for (int spins = 0; spins < 1000 && (value = slot.exchange(0, std::memory_order_acquire)) == 0; ++spins)
            sched_yield();
        const int index = value - 1;
        if (index >= 0 && index < LOGGER_OBJECT_COUNT)
            Logger::Instance()->DebugString("Now logging %s", objectNames[index]);
    }
    return nullptr;
}

void start()
{
    if (sem_init(&pending, 0, 0) != 0)
        return;
    // The helper takes no signals, so process-directed ones go to real threads.
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    pthread_t thread;
    started.store(pthread_create(&thread, &attr, writeNotices, nullptr) == 0);
    pthread_attr_destroy(&attr);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

} // namespace

void logNoticesStart()
{
    pthread_once(&startOnce, start);
}

void logNoticePost(int index)
{
    if (!started.load(std::memory_order_relaxed))
        return;
    const unsigned position = queueHead.fetch_add(1, std::memory_order_relaxed);
    queue[position % queueSize].store(index + 1, std::memory_order_release);
    sem_post(&pending);
}
