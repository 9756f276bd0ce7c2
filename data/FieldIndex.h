#pragma once
// Field name -> field of an open table, matched with blanks trimmed and letter case
// folded. Values and Locate look a field up on every call, so an ASCII name is folded
// while it is hashed and compared, straight from the caller's text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vorn {

// A field as the table object exposes it: a stored field or a calculated one.
struct FieldRef {
    bool calculated = false;
    int index = 0; // into the stored fields or the calculated ones
};

class FieldIndex {
public:
    void clear();
    // First insertion of a key wins.
    void add(const std::string& name, FieldRef ref);
    const FieldRef* find(const std::string& name) const;

private:
    struct Entry {
        std::string key;
        FieldRef ref;
    };

    // key: folded already, or ASCII to fold while comparing.
    const FieldRef* find(const char* key, size_t n, std::uint32_t hash, bool foldAscii) const;
    void place(int i);

    std::vector<Entry> entries_;
    std::vector<int> slots_; // open addressing, at most half full; -1 is empty
};

} // namespace vorn
