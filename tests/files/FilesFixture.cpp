#include "FilesFixture.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sys/wait.h>

namespace vorn::test {

namespace fs = std::filesystem;

void FilesFixture::SetUp() {
    dir = fs::temp_directory_path() / ("vorn_files_" + std::to_string(std::random_device{}()));
    fs::create_directories(dir / "tmp");
    // Other users (the read-only tests) must reach the folder.
    fs::permissions(dir, fs::perms::all);
    fs::permissions(dir / "tmp", fs::perms::all);
    calc = path("calc.vrn");
    writeFile(calc, goodCalculation());
}

void FilesFixture::TearDown() {
    std::error_code ec;
    fs::remove_all(dir, ec);
}

int FilesFixture::vorn(const std::string& args, const std::string& prefix) {
    const std::string cmd = prefix + " env TMPDIR='" + (dir / "tmp").string() + "' '" +
                            VORN_BINARY + "' " + args + " --data '" + dataDir + "' >'" +
                            (dir / "tmp" / "out").string() + "' 2>'" +
                            (dir / "tmp" / "err").string() + "'";
    const int status = std::system(cmd.c_str());
    out = readFile((dir / "tmp" / "out").string());
    err = readFile((dir / "tmp" / "err").string());
    fs::remove(dir / "tmp" / "out");
    fs::remove(dir / "tmp" / "err");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int FilesFixture::leftovers() const {
    // Qt keeps a runtime folder of its own there; only the program's copies count.
    int n = 0;
    for (const auto& e : fs::directory_iterator(dir / "tmp"))
        n += e.path().filename().string().rfind("vorn-", 0) == 0;
    return n;
}

std::string FilesFixture::readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void FilesFixture::writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string FilesFixture::goodCalculation() {
    return readFile(VORN_SOURCE_DIR "/tests/cases/cooling-apples/input.vrn");
}

} // namespace vorn::test
