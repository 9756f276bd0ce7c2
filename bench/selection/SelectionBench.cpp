// One selection run (close, open the catalogue under the band filter, list the rows) on a
// bundled catalogue and on a generated catalogue of 100,000 rows.
#include "document/Session.h"
#include "data/DataModule.h"
#include "data/DbfCreate.h"
#include "selection/Selection.h"
#include "tools/mkdata/RefLayouts.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace {
namespace fs = std::filesystem;

// A private data folder: the bundled DATA, with kat-18.dbf replaced when rows > 0.
fs::path dataFolder(long rows) {
    const fs::path dir = fs::temp_directory_path() / ("vorn-bench-sel-" + std::to_string(getpid()) +
                                                      "-" + std::to_string(rows));
    fs::create_directories(dir);
    for (const auto& e : fs::directory_iterator(VORN_DATA_DIR))
        fs::copy_file(e.path(), dir / e.path().filename(), fs::copy_options::overwrite_existing);
    if (rows > 0) {
        std::mt19937 rng(7);
        std::uniform_int_distribution<int> q(1000, 60000);
        std::vector<vorn::DbfRow> kat;
        kat.reserve(static_cast<size_t>(rows));
        for (long i = 0; i < rows; ++i) {
            const double q25 = q(rng);
            vorn::DbfRow r{"Ж" + std::to_string(i % 100000), "АГС-100Н", "ВО-100-7"};
            for (double share : {1.0, 0.92, 0.84, 0.76}) {
                r.push_back(std::round(q25 * share));
                r.push_back(6.5 * share);
            }
            for (const vorn::Value& v : {vorn::Value(5.0), vorn::Value(9.1), vorn::Value("НМ-4"),
                                         vorn::Value("ШУ-3ф-16А"), vorn::Value(6), vorn::Value(1)})
                r.push_back(v);
            kat.push_back(std::move(r));
        }
        vorn::createDbf((dir / "kat-18.dbf").string(), vorn::layouts::catalogue(), kat);
    }
    fs::copy_file(dir / "vorn.dbf", dir / "calc.vrn", fs::copy_options::overwrite_existing);
    return dir;
}

void runSelection(benchmark::State& state, long rows) {
    const fs::path dir = dataFolder(rows);
    {
        vorn::DataModule dm;
        dm.setDataDir(dir.string());
        if (!dm.openReferenceTables()) {
            state.SkipWithError("DATA does not open");
            return;
        }
        vorn::Session session(dm);
        try {
            session.openCalculation((dir / "calc.vrn").string()); // -18 °C storage
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            return;
        }
        session.results().setBox(11, 10.00); // 9000 ... 11500 W
        vorn::Selection selection(session.data(), session.results(), session.selectionWriter());
        size_t listed = 0;
        for (auto _ : state) {
            selection.run();
            listed = selection.rows().size();
        }
        state.counters["listed"] = static_cast<double>(listed);
    }
    fs::remove_all(dir);
}

void BM_SelectionBundled(benchmark::State& state) {
    runSelection(state, 0);
}
void BM_Selection100k(benchmark::State& state) {
    runSelection(state, 100000);
}

BENCHMARK(BM_SelectionBundled)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Selection100k)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
