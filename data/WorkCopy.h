#pragma once
// A private copy of a calculation file in a folder of its own, removed with the object.
// Commands that must leave the user's file byte-identical open the copy instead; so does
// the window for a calculation the user may read but not write.
#include <string>

namespace vorn {

class WorkCopy {
public:
    // Throws std::runtime_error with a Russian message naming source (never the copy)
    // when the copy cannot be made.
    explicit WorkCopy(const std::string& source);
    ~WorkCopy();
    WorkCopy(const WorkCopy&) = delete;
    WorkCopy& operator=(const WorkCopy&) = delete;
    const std::string& path() const { return path_; }

    // Removes the copy and its folder now. A table already open on it reads on through its
    // descriptor; nothing is left behind however the process ends afterwards.
    void removeNow();

private:
    std::string dir_;
    std::string path_;
};

} // namespace vorn
