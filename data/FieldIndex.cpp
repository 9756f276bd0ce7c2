#include "data/FieldIndex.h"

#include "data/FieldCodec.h"

#include <cstring>

namespace vorn {

namespace {

// The text between leading and trailing blanks of a field name.
void trimName(const std::string& name, size_t& b, size_t& e) {
    b = 0;
    e = name.size();
    while (b < e && name[b] == ' ')
        ++b;
    while (e > b && name[e - 1] == ' ')
        --e;
}

constexpr std::uint32_t kHashSeed = 2166136261u; // FNV-1a
constexpr std::uint32_t kHashPrime = 16777619u;

unsigned char asciiFold(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}

// Hash of a folded name key.
std::uint32_t hashKey(const char* p, size_t n) {
    std::uint32_t h = kHashSeed;
    for (size_t i = 0; i < n; ++i)
        h = (h ^ static_cast<unsigned char>(p[i])) * kHashPrime;
    return h;
}

bool sameFolded(const char* folded, const char* ascii, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (folded[i] != static_cast<char>(asciiFold(static_cast<unsigned char>(ascii[i]))))
            return false;
    return true;
}

} // namespace

void FieldIndex::clear() {
    entries_.clear();
    slots_.clear();
}

void FieldIndex::add(const std::string& name, FieldRef ref) {
    std::string key = FieldCodec::nameKey(name);
    if (find(key.data(), key.size(), hashKey(key.data(), key.size()), false))
        return;
    entries_.push_back({std::move(key), ref});
    if (slots_.size() < entries_.size() * 2) {
        size_t n = 16;
        while (n < entries_.size() * 2)
            n *= 2;
        slots_.assign(n, -1);
        for (size_t i = 0; i < entries_.size(); ++i)
            place(static_cast<int>(i));
    } else {
        place(static_cast<int>(entries_.size() - 1));
    }
}

const FieldRef* FieldIndex::find(const std::string& name) const {
    size_t b = 0, e = 0;
    trimName(name, b, e);
    const char* p = name.data() + b;
    const size_t n = e - b;
    // ASCII names, the usual case: hashed and compared with the letter case folded,
    // straight from the caller's text.
    std::uint32_t h = kHashSeed;
    unsigned char high = 0;
    for (size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(p[i]);
        high |= c;
        h = (h ^ asciiFold(c)) * kHashPrime;
    }
    if (high < 0x80)
        return find(p, n, h, true);
    const std::string key = FieldCodec::nameKey(name); // Cyrillic: rare
    return find(key.data(), key.size(), hashKey(key.data(), key.size()), false);
}

const FieldRef* FieldIndex::find(const char* key, size_t n, std::uint32_t hash,
                                 bool foldAscii) const {
    if (slots_.empty())
        return nullptr;
    const size_t mask = slots_.size() - 1;
    for (size_t s = hash & mask;; s = (s + 1) & mask) {
        const int i = slots_[s];
        if (i < 0)
            return nullptr;
        const Entry& en = entries_[static_cast<size_t>(i)];
        if (en.key.size() == n && (foldAscii ? sameFolded(en.key.data(), key, n)
                                             : std::memcmp(en.key.data(), key, n) == 0))
            return &en.ref;
    }
}

void FieldIndex::place(int i) {
    const std::string& k = entries_[static_cast<size_t>(i)].key;
    const size_t mask = slots_.size() - 1;
    size_t s = hashKey(k.data(), k.size()) & mask;
    while (slots_[s] >= 0)
        s = (s + 1) & mask;
    slots_[s] = i;
}

} // namespace vorn
