// One Recalculate on the bundled DATA and the new-calculation template, and vorn calc as
// a whole process.
#include "data/WorkCopy.h"
#include "bench/BundledCalculation.h"
#include "calc/Recalculate.h"

#include <benchmark/benchmark.h>
#include <cstdlib>

namespace {
void BM_Recalculate(benchmark::State& state) {
    BundledCalculation calc(state);
    if (!calc.session)
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(vorn::recalculate(calc.dm, calc.session->screen().includeBoxes,
                                                   calc.session->results()));
}
BENCHMARK(BM_Recalculate)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_VornCalcProcess(benchmark::State& state) {
    const vorn::WorkCopy copy(VORN_DATA_DIR "/vorn.dbf");
    const std::string& path = copy.path();
    const std::string cmd = std::string(VORN_BINARY) + " calc " + path + " --json >/dev/null";
    for (auto _ : state)
        if (std::system(cmd.c_str()) != 0)
            state.SkipWithError("vorn calc failed");
}
BENCHMARK(BM_VornCalcProcess)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
