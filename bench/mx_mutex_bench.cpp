// Uncontended lock/unlock: the layer's mutex against a plain POSIX mutex.
#include "mx/mx.h"

#include <benchmark/benchmark.h>
#include <pthread.h>

namespace {

void mxMutexWaitForever(benchmark::State& state)
{
    MxMutex m = mxMutexCreate();
    for (auto _ : state) {
        mxMutexLock(m, MX_WAIT_FOREVER);
        mxMutexUnlock(m);
    }
    mxMutexDestroy(m);
}
BENCHMARK(mxMutexWaitForever);

void mxMutexNoWait(benchmark::State& state)
{
    MxMutex m = mxMutexCreate();
    for (auto _ : state) {
        mxMutexLock(m, MX_NO_WAIT);
        mxMutexUnlock(m);
    }
    mxMutexDestroy(m);
}
BENCHMARK(mxMutexNoWait);

void mxMutexTimed(benchmark::State& state)
{
    MxMutex m = mxMutexCreate();
    for (auto _ : state) {
        mxMutexLock(m, 1000);
        mxMutexUnlock(m);
    }
    mxMutexDestroy(m);
}
BENCHMARK(mxMutexTimed);

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
