#pragma once
// A private folder, a bundled calculation in it, and vorn run as a process on the shipped
// DATA, with its own folder for temporary files (so that leftovers can be counted).
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace vorn::test {

class FilesFixture : public ::testing::Test {
public:
    // The bytes of a calculation that opens and calculates.
    static std::string goodCalculation();

protected:
    void SetUp() override;
    void TearDown() override;

    // Runs vorn with args (each already quoted as needed), optionally as another user
    // through a prefix such as "setpriv ..."; out and err keep what it printed.
    int vorn(const std::string& args, const std::string& prefix = {});
    std::string path(const std::string& name) const { return (dir / name).string(); }
    // Private copies left in the commands' temporary folder.
    int leftovers() const;

    static std::string readFile(const std::string& path);
    static void writeFile(const std::string& path, const std::string& bytes);

    std::string dataDir = VORN_DATA_DIR; // --data of every run
    std::filesystem::path dir;
    std::string calc; // a copy of goodCalculation() in dir
    std::string out, err;
};

} // namespace vorn::test
