#pragma once
// A private copy of a calculation file in a folder of its own, removed with the object.
// Commands that must leave the user's file byte-identical open the copy instead.
#include <string>

namespace vorn {

class WorkCopy {
public:
    // Throws std::runtime_error or std::filesystem::filesystem_error when the copy fails.
    explicit WorkCopy(const std::string& source);
    ~WorkCopy();
    WorkCopy(const WorkCopy&) = delete;
    WorkCopy& operator=(const WorkCopy&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string dir_;
    std::string path_;
};

} // namespace vorn
