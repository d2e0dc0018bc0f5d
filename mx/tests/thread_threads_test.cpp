// Spawning, sleeping and cancelling threads.
#include "mx/mx.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <csignal>
#include <future>
#include <thread>
#include <unistd.h>

namespace {

std::promise<std::array<long, 10>>* received;

void recordArguments(long a1, long a2, long a3, long a4, long a5, long a6, long a7, long a8, long a9, long a10)
{
    received->set_value({a1, a2, a3, a4, a5, a6, a7, a8, a9, a10});
}

TEST(ThreadSpawnTest, EntryGetsTheTenArgumentsInOrderWhateverThePriority)
{
    for (int priority : {255, 256, -1}) {   // a refused priority does not stop the spawn
        std::promise<std::array<long, 10>> promise;
        received = &promise;
        const long big = static_cast<long>(reinterpret_cast<intptr_t>(&promise)); // word-sized
        const MxThread t = mxThreadSpawn("worker", priority, 0, recordArguments, 1, 2, 3, 4, 5, 6, 7, 8, 9, big);
        ASSERT_NE(t, MX_THREAD_ERROR) << priority;
        const std::array<long, 10> want = {1, 2, 3, 4, 5, 6, 7, 8, 9, big};
        EXPECT_EQ(promise.get_future().get(), want) << priority;
    }
}

TEST(ThreadSpawnTest, NoEntryIsRefused)
{
    EXPECT_EQ(mxThreadSpawn("none", 100, 0, nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), MX_THREAD_ERROR);
}

void onSignal(int) {}

TEST(ThreadSuspendTest, ASignalCutsTheSleepShort)
{
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    ASSERT_EQ(sigaction(SIGUSR2, &action, nullptr), 0);

    std::promise<pthread_t> self;
    auto sleeper = std::async(std::launch::async, [&] {
        self.set_value(pthread_self());
        return mxThreadSuspend(20000);
    });
    const pthread_t thread = self.get_future().get();
    // Repeat until it lands inside the sleep.
    while (sleeper.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready)
        pthread_kill(thread, SIGUSR2);
    EXPECT_EQ(sleeper.get(), -1);
}

std::atomic<int> ticks(0);

void tickForever(long, long, long, long, long, long, long, long, long, long)
{
    for (;;) {
        ++ticks;
        mxThreadSuspend(5);
    }
}

TEST(ThreadDeleteTest, CancelsARunningThread)
{
    const MxThread t = mxThreadSpawn("ticker", 200, 0, tickForever, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    ASSERT_NE(t, MX_THREAD_ERROR);
    while (ticks == 0)
        std::this_thread::yield();
    EXPECT_EQ(mxThreadDelete(t), 0);
}

TEST(ThreadPriorityTest, SetAndReadBackWhereAllowed)
{
    std::promise<int> setResult;
    std::promise<int> readBack;
    std::thread worker([&] {
        const int rc = mxThreadSetPriority(mxThreadIdSelf(), 255);
        setResult.set_value(rc);
        int p = -1;
        readBack.set_value(rc == 0 && mxThreadGetPriority(mxThreadIdSelf(), &p) == 0 ? p : -1);
    });
    const int rc = setResult.get_future().get();
    const int p = readBack.get_future().get();
    worker.join();
    if (geteuid() != 0) {
        EXPECT_EQ(rc, -1) << "printed but not applied without root rights";
    } else if (rc == 0) {
        EXPECT_EQ(p, 253) << "255 maps to 1, which reads back as 253";
    }
}

} // namespace
