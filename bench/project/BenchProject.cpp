// `vorn project show` on a project of 50 chambers, as a whole process: start, the reference
// tables, every chamber opened from a copy and recalculated, the catalogue rows, the price
// list and the JSON. Goal: under 1 s.
#include "app/cli/Commands.h"
#include "data/DbfCreate.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {
namespace fs = std::filesystem;

constexpr int kChambers = 50;

struct Site {
    fs::path dir;
    std::string project;

    Site() {
        dir = fs::temp_directory_path() / ("vorn-bench-project-" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "calc");
        std::ostringstream out, err;
        vorn::CliContext ctx{"", VORN_DATA_DIR, out, err};
        project = (dir / "site.vrp").string();
        vorn::runSubcommand(ctx, {"project", "new", project, "--client", "Склад"});
        // Every other chamber a copy of a cooling case, the rest the storage template; each
        // with the first system of its list.
        const fs::path cases = fs::path(VORN_SOURCE_DIR) / "tests" / "cases";
        for (int i = 0; i < kChambers; ++i) {
            const fs::path file = dir / "calc" / ("k" + std::to_string(i) + ".vrn");
            fs::copy_file(i % 2 ? cases / "cooling-apples" / "input.vrn"
                                : fs::path(VORN_DATA_DIR) / "vorn.dbf",
                          file);
            vorn::runSubcommand(ctx, {"select", file.string(), "--choose", "1"});
            vorn::runSubcommand(ctx, {"project", "add", project, file.string(), "--qty",
                                      std::to_string(1 + i % 3)});
        }
    }
    ~Site() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

void BM_ProjectShow(benchmark::State& state) {
    static Site site;
    const std::string cmd = std::string("'") + VORN_BINARY + "' project show '" + site.project +
                            "' --json --data '" + VORN_DATA_DIR + "' >/dev/null 2>&1";
    for (auto _ : state) {
        if (std::system(cmd.c_str()) != 0) {
            state.SkipWithError("vorn project show failed");
            break;
        }
    }
}
BENCHMARK(BM_ProjectShow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

} // namespace

BENCHMARK_MAIN();
