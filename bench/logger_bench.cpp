// Logger throughput: Info lines (written and stored) from several threads,
// with standard error sent to /dev/null.
#include "util/Logger.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

void loggerInfoLines(benchmark::State& state)
{
    Logger* log = Logger::Instance();
    int i = 0;
    for (auto _ : state)
        log->DiagnosticString(oidInput, 1, "EloTouchHandler: packet %d at %d,%d", ++i, 1234, 567);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(loggerInfoLines)->Threads(1)->Threads(4)->UseRealTime();

void loggerFilteredDiag(benchmark::State& state)
{
    Logger* log = Logger::Instance();
    for (auto _ : state)
        log->DiagnosticString(oidInput, 0, "dropped %d", 1);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(loggerFilteredDiag)->Threads(4)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    const int devNull = open("/dev/null", O_WRONLY);
    if (devNull >= 0) {
        dup2(devNull, 2);
        close(devNull);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
