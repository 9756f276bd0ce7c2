#pragma once
// Small tables in a temporary folder for the record and reference-table tests.
#include "data/DbfCreate.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace vorn::test {

// A fresh folder under the system temp dir, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Field specs for every declared field of the calculation record, in declared order, at
// widths valid for each kind.
std::vector<DbfFieldSpec> calcFieldSpecs();

// Writes a one-record calculation file; values are by field name (missing ones blank).
void writeCalcFile(const std::string& path, const std::vector<DbfFieldSpec>& fields,
                   const std::map<std::string, Value>& values);

std::string readFile(const std::string& path);

// Runs program with args through the system's shell, its output and errors into files
// (none: discarded; both into one when they are the same). Returns its exit status, or
// 128 + the signal that ended it.
int runProgram(const std::string& program, const std::vector<std::string>& args,
               const std::string& outFile = {}, const std::string& errFile = {});

// Copies the generated DATA folder into dir.
void copyData(const std::filesystem::path& dir);

} // namespace vorn::test
