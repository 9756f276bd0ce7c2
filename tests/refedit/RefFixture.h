#pragma once
// A copy of the bundled DATA in a temporary folder, and file helpers.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace vorn::test {

class DataCopy {
public:
    DataCopy() {
        dir_ = (std::filesystem::temp_directory_path() /
                ("vorn_refedit_" + std::to_string(std::random_device{}())))
                   .string();
        std::filesystem::create_directories(dir_);
        std::filesystem::copy(VORN_DATA_DIR, dir_ + "/DATA");
    }
    ~DataCopy() { std::filesystem::remove_all(dir_); }
    DataCopy(const DataCopy&) = delete;
    DataCopy& operator=(const DataCopy&) = delete;

    std::string data() const { return dir_ + "/DATA"; }
    std::string file(const std::string& name) const { return dir_ + "/" + name; }

private:
    std::string dir_;
};

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The file without its header's last-update date (bytes 1 to 3).
inline std::string withoutDate(std::string bytes) {
    if (bytes.size() > 4)
        bytes.replace(1, 3, "...");
    return bytes;
}

} // namespace vorn::test
