// One field commit as the screen makes it (commit rule, the field's handler, the
// recalculation, the record posted to the file with its journal) on the bundled DATA, and vorn set with ten assignments as a whole process.
#include "data/WorkCopy.h"
#include "bench/BundledCalculation.h"
#include "document/ControlTable.h"

#include <benchmark/benchmark.h>
#include <cstdlib>

namespace {
// Leaving a field with a new value; the two texts alternate so every commit changes it.
void commitBench(benchmark::State& state, const char* control, const char* a, const char* b) {
    BundledCalculation calc(state);
    if (!calc.session)
        return;
    const vorn::ControlSpec& spec = *vorn::findControl(control);
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        benchmark::DoNotOptimize(calc.session->commitText(spec, flip ? a : b));
    }
}

// The chamber height: the stacking-height rule, then the recalculation.
void BM_CommitChamberHeight(benchmark::State& state) {
    commitBench(state, "OB_KAMVS", "3,2", "3,4");
}
BENCHMARK(BM_CommitChamberHeight)->Repetitions(5)->ReportAggregatesOnly(true);

// A wall thickness: the walls rule copying row 1 (the template has it checked).
void BM_CommitWallThickness(benchmark::State& state) {
    commitBench(state, "ST_MT1", "1", "2");
}
BENCHMARK(BM_CommitWallThickness)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_VornSetTenAssignments(benchmark::State& state) {
    const vorn::WorkCopy copy(VORN_DATA_DIR "/vorn.dbf");
    const std::string& path = copy.path();
    const std::string cmd = std::string(VORN_BINARY) + " set " + path +
                            " OB_KAMDL=6,5 OB_KAMSH=5 OB_KAMVS=3.2 OB_TEMKAM=-18"
                            " RadioGroup2=Большая IN_PLOTN=200 BitBtn1 TE_VLAJ=85"
                            " IN_ZAV=Штора VO_PROC=15 --data " VORN_DATA_DIR " >/dev/null";
    for (auto _ : state)
        if (std::system(cmd.c_str()) != 0)
            state.SkipWithError("vorn set failed");
}
BENCHMARK(BM_VornSetTenAssignments)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
