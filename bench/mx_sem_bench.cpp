// Two-thread hand-off: each iteration passes a token to a partner thread and
// back, through the layer's semaphores or through POSIX semaphores.
#include "mx/mx.h"

#include <benchmark/benchmark.h>
#include <atomic>
#include <semaphore.h>
#include <thread>

namespace {

void mxSemHandOff(benchmark::State& state)
{
    MxSem ping = mxSemCreate(0);
    MxSem pong = mxSemCreate(0);
    std::atomic<bool> stop(false);
    std::thread partner([&] {
        while (mxSemTake(ping, MX_WAIT_FOREVER) == 0 && !stop)
            mxSemGive(pong);
    });
    for (auto _ : state) {
        mxSemGive(ping);
        mxSemTake(pong, MX_WAIT_FOREVER);
    }
    stop = true;
    mxSemGive(ping);
    partner.join();
    mxSemDestroy(ping);
    mxSemDestroy(pong);
}
BENCHMARK(mxSemHandOff)->UseRealTime();

void posixSemHandOff(benchmark::State& state)
{
    sem_t ping, pong;
    sem_init(&ping, 0, 0);
    sem_init(&pong, 0, 0);
    std::atomic<bool> stop(false);
    std::thread partner([&] {
        while (sem_wait(&ping) == 0 && !stop)
            sem_post(&pong);
    });
    for (auto _ : state) {
        sem_post(&ping);
        sem_wait(&pong);
    }
    stop = true;
    sem_post(&ping);
    partner.join();
    sem_destroy(&ping);
    sem_destroy(&pong);
}
BENCHMARK(posixSemHandOff)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
