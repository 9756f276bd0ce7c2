#include "Fixtures.h"

#include "data/CalcRecord.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace vorn::test {

TempDir::TempDir() {
    // Unique across the test processes ctest runs side by side.
    static std::atomic<int> counter{0};
    static const unsigned long long run =
        std::random_device{}() ^ static_cast<unsigned long long>(
                                     std::chrono::steady_clock::now().time_since_epoch().count());
    do {
        path_ = std::filesystem::temp_directory_path() /
                ("vorn-test-" + std::to_string(run % 1000000007) + "-" + std::to_string(counter++));
    } while (!std::filesystem::create_directories(path_));
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::vector<DbfFieldSpec> calcFieldSpecs() {
    std::vector<DbfFieldSpec> out;
    for (const FieldDecl& d : calcRecordFields()) {
        switch (d.kind) {
        case FieldKind::Text:
            out.push_back({d.name, 'C', d.name == "SIS" ? 6 : (d.name == "TE_PTIP" ? 20 : 40), 0});
            break;
        case FieldKind::SmallInt:
            out.push_back({d.name, 'N', 4, 0});
            break;
        case FieldKind::Int:
            out.push_back({d.name, 'N', 8, 0});
            break;
        case FieldKind::Float:
            out.push_back({d.name, 'N', 10, 3});
            break;
        case FieldKind::Logical:
            out.push_back({d.name, 'L', 1, 0});
            break;
        case FieldKind::Date:
            out.push_back({d.name, 'D', 8, 0});
            break;
        default:
            break;
        }
    }
    return out;
}

void writeCalcFile(const std::string& path, const std::vector<DbfFieldSpec>& fields,
                   const std::map<std::string, Value>& values) {
    DbfRow row;
    for (const DbfFieldSpec& f : fields) {
        auto it = values.find(f.name);
        row.push_back(it == values.end() ? Value() : it->second);
    }
    createDbf(path, fields, {row});
}

namespace {
// One argument for the shell: cmd.exe takes double quotes, sh single ones.
std::string quoted(const std::string& s) {
#ifdef _WIN32
    return "\"" + s + "\"";
#else
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
#endif
}
} // namespace

int runProgram(const std::string& program, const std::vector<std::string>& args,
               const std::string& outFile, const std::string& errFile) {
#ifdef _WIN32
    const std::string none = "NUL";
#else
    const std::string none = "/dev/null";
#endif
    std::string cmd = quoted(program);
    for (const std::string& a : args)
        cmd += " " + quoted(a);
    cmd += " >" + (outFile.empty() ? none : quoted(outFile));
    cmd += errFile == outFile && !outFile.empty()
               ? std::string(" 2>&1")
               : " 2>" + (errFile.empty() ? none : quoted(errFile));
#ifdef _WIN32
    // cmd.exe /c drops the first and the last quote of a line that starts with one.
    return std::system(("\"" + cmd + "\"").c_str());
#else
    const int raw = std::system(cmd.c_str());
    if (raw == -1)
        return -1;
    return (raw & 0x7F) == 0 ? (raw >> 8) & 0xFF : 128 + (raw & 0x7F);
#endif
}

std::string readFile(const std::string& path) {
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void copyData(const std::filesystem::path& dir) {
    for (const auto& e : std::filesystem::directory_iterator(VORN_DATA_DIR))
        std::filesystem::copy_file(e.path(), dir / e.path().filename(),
                                   std::filesystem::copy_options::overwrite_existing);
}

} // namespace vorn::test
