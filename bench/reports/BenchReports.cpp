// vorn report and vorn systems writing their PDF as whole processes, and the layout of the
// calculation report on its own.
#include "reports/CalcReportLayout.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {
namespace fs = std::filesystem;

const std::string kCase = std::string(VORN_SOURCE_DIR) + "/tests/cases/cooling-apples/input.vrn";

std::string outPath(const char* name) {
    return (fs::temp_directory_path() / (name + std::to_string(getpid()) + ".pdf")).string();
}

void runProcess(benchmark::State& state, const char* command) {
    const std::string out = outPath(command);
    const std::string cmd = std::string(VORN_BINARY) + " " + command + " '" + kCase + "' -o '" +
                            out + "' --data '" VORN_DATA_DIR "' 2>/dev/null";
    for (auto _ : state)
        if (std::system(cmd.c_str()) != 0)
            state.SkipWithError("the command failed");
    fs::remove(out);
}

void BM_VornReportProcess(benchmark::State& state) {
    runProcess(state, "report");
}
BENCHMARK(BM_VornReportProcess)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_VornSystemsProcess(benchmark::State& state) {
    runProcess(state, "systems");
}
BENCHMARK(BM_VornSystemsProcess)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

void BM_CalcReportLayout(benchmark::State& state) {
    vorn::ReportSource src;
    src.field = [](const std::string& f) { return f; };
    src.label = [](int n) { return std::to_string(n); };
    for (auto _ : state)
        benchmark::DoNotOptimize(vorn::CalcReportLayout::layout(src));
}
BENCHMARK(BM_CalcReportLayout);

} // namespace

BENCHMARK_MAIN();
