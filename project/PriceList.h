#pragma once
// The price list prices.dbf of the data folder: one row per article (ARTICLE, NAME, PRICE),
// looked up by article without regard to case. A data folder without it prices nothing.
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vorn {

struct PriceEntry {
    std::string name;
    std::optional<double> price; // an empty PRICE field: no price
};

class PriceList {
public:
    static constexpr const char* kFileName = "prices.dbf";

    // Reads dataDir/prices.dbf when it is there. A file that cannot be read gives an empty
    // list and the reason in error().
    static PriceList load(const std::string& dataDir);

    void add(const std::string& article, PriceEntry entry);
    const PriceEntry* find(const std::string& article) const;
    bool empty() const { return entries_.empty(); }
    const std::string& error() const { return error_; }
    // Articles found on more than one row: they have no price.
    const std::vector<std::string>& duplicates() const { return duplicates_; }

private:
    std::map<std::string, PriceEntry> entries_; // by folded, trimmed article
    std::vector<std::string> duplicates_;
    std::string error_;
};

} // namespace vorn
