#include "project/PriceList.h"

#include "data/Table.h"

#include <filesystem>
#include <system_error>

namespace vorn {

namespace {
std::string keyOf(const std::string& article) {
    const auto b = article.find_first_not_of(' ');
    if (b == std::string::npos)
        return {};
    const auto e = article.find_last_not_of(' ');
    return foldCase(article.substr(b, e - b + 1));
}
} // namespace

PriceList PriceList::load(const std::string& dataDir) {
    PriceList list;
    namespace fs = std::filesystem;
    const fs::path path = fs::u8path(dataDir) / kFileName;
    std::error_code ec;
    if (!fs::is_regular_file(path, ec))
        return list;
    try {
        Table t;
        t.setTableName(path.u8string());
        t.setReadOnly(true);
        t.open();
        if (!t.hasField("ARTICLE") || !t.hasField("PRICE"))
            throw DbfError("нет полей ARTICLE и PRICE");
        const bool named = t.hasField("NAME");
        for (t.first(); !t.eof(); t.next()) {
            PriceEntry e;
            if (named)
                e.name = t.asString("NAME");
            // an empty field reads 0, but means that the article has no price yet
            if (!t.isBlank("PRICE"))
                e.price = t.asDouble("PRICE");
            list.add(t.asString("ARTICLE"), std::move(e));
        }
        t.close();
    } catch (const std::exception& e) {
        list.entries_.clear();
        list.error_ = "Прайс-лист " + path.u8string() + " не прочитан: " + e.what();
    }
    return list;
}

void PriceList::add(const std::string& article, PriceEntry entry) {
    const std::string key = keyOf(article);
    if (key.empty())
        return;
    const auto [it, fresh] = entries_.emplace(key, std::move(entry));
    if (fresh)
        return;
    // Two rows of one article (the file written by another program): neither price is
    // taken, and the totals say they are incomplete.
    if (it->second.price)
        duplicates_.push_back(article);
    it->second.price.reset();
}

const PriceEntry* PriceList::find(const std::string& article) const {
    const auto it = entries_.find(keyOf(article));
    return it == entries_.end() ? nullptr : &it->second;
}

} // namespace vorn
