// Uncontended lock/unlock: the layer's mutex against a plain POSIX mutex.
#include "mx/mx.h"

#include <benchmark/benchmark.h>
#include <pthread.h>

namespace {

// The argument is the time-out: -1 waits for ever, 0 tries once, 1000 is timed.
void mxMutexLockUnlock(benchmark::State& state)
{
    const long timeoutMs = static_cast<long>(state.range(0));
    MxMutex m = mxMutexCreate();
    for (auto _ : state) {
        mxMutexLock(m, timeoutMs);
        mxMutexUnlock(m);
    }
    mxMutexDestroy(m);
}
BENCHMARK(mxMutexLockUnlock)->Arg(MX_WAIT_FOREVER)->Arg(MX_NO_WAIT)->Arg(1000);

void pthreadMutex(benchmark::State& state)
{
    pthread_mutex_t m = PTHREAD_MUTEX_INITIALIZER;
    for (auto _ : state) {
        pthread_mutex_lock(&m);
        benchmark::ClobberMemory();
        pthread_mutex_unlock(&m);
    }
    pthread_mutex_destroy(&m);
}
BENCHMARK(pthreadMutex);

} // namespace

BENCHMARK_MAIN();
