// One Recalculate on the bundled DATA and the new-calculation template, and vorn calc as
// a whole process.
#include "app/Session.h"
#include "calc/Recalculate.h"
#include "data/DataModule.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {
namespace fs = std::filesystem;

std::string workCopy() {
    const fs::path p =
        fs::temp_directory_path() / ("vorn-bench-" + std::to_string(getpid()) + ".vrn");
    fs::copy_file(fs::path(VORN_DATA_DIR) / "vorn.dbf", p, fs::copy_options::overwrite_existing);
    return p.string();
}

void BM_Recalculate(benchmark::State& state) {
    vorn::DataModule dm;
    dm.setDataDir(VORN_DATA_DIR);
    if (!dm.openReferenceTables()) {
        state.SkipWithError("DATA does not open");
        return;
    }
    const std::string path = workCopy();
    {
        vorn::Session session(dm);
        session.openCalculation(path);
        for (auto _ : state)
            vorn::recalculate(dm, session.screen(), session.results());
    }
    dm.closeAll();
    fs::remove(path);
}
BENCHMARK(BM_Recalculate)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_VornCalcProcess(benchmark::State& state) {
    const std::string path = workCopy();
    const std::string cmd = std::string(VORN_BINARY) + " calc " + path + " --json >/dev/null";
    for (auto _ : state)
        if (std::system(cmd.c_str()) != 0)
            state.SkipWithError("vorn calc failed");
    fs::remove(path);
}
BENCHMARK(BM_VornCalcProcess)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
