// A 50,000-row price list imported into the bundled DATA's copy: the check alone (a dry
// run) and the whole import (check, lock, one journaled write). Prints min / median of 5
// runs of each and their ratio; the import should stay within about ten times the check.
//   bench_import [ROWS]
#include "refedit/RefTables.h"
#include "refedit/TableTransfer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

using namespace vorn;
namespace fs = std::filesystem;

namespace {

double seconds(const std::function<void()>& work) {
    const auto t0 = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

struct Stats {
    double min, median;
};

Stats stats(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return {v.front(), v[v.size() / 2]};
}

} // namespace

int main(int argc, char** argv) {
    const int rows = argc > 1 ? std::atoi(argv[1]) : 50000;
    const fs::path dir =
        fs::temp_directory_path() / ("vorn_bench_import_" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    fs::copy(VORN_DATA_DIR, dir / "DATA");
    std::string csv = "ARTICLE;NAME;PRICE\n";
    for (int i = 0; i < rows; ++i)
        csv += "АРТ-" + std::to_string(i) + ";Изделие номер " + std::to_string(i) + ";" +
               std::to_string(100 + i % 9000) + "," + std::to_string(10 + i % 90) + "\n";
    const std::string file = (dir / "prices.csv").string();
    std::ofstream(file, std::ios::binary) << csv;

    const RefTableDesc& desc = *findRefTable("prices");
    const Sheet sheet = TableTransfer::readFile(file);
    const auto run = [&](bool dryRun) {
        auto table = TableTransfer::open((dir / "DATA").string(), desc);
        ImportOptions opt;
        opt.dryRun = dryRun;
        const ImportResult r = TableTransfer::import(*table, desc, sheet, opt);
        if (!r.errors.empty() || r.rows != rows) {
            std::fprintf(stderr, "import refused: %s\n",
                         r.errors.empty() ? "" : r.errors[0].c_str());
            std::exit(1);
        }
    };
    std::vector<double> check, import;
    for (int i = 0; i < 5; ++i) {
        check.push_back(seconds([&] { run(true); }));
        import.push_back(seconds([&] { run(false);
    }));
}
const Stats c = stats(check), w = stats(import);
std::printf("import of %d rows: check %.3f / %.3f s, import %.3f / %.3f s (min / median), "
            "import / check %.1f\n",
            rows, c.min, c.median, w.min, w.median, w.median / c.median);
fs::remove_all(dir);
return 0;
}
