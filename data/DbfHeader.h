#pragma once
// The header of a table file: its 32 bytes, the field descriptors after them and the
// record layout they give. Read once at open; the record count and the date of the last
// change are the only parts ever written.
#include "data/FieldCodec.h"
#include "data/platform/PlatformFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vorn {

struct DbfHeader {
    size_t headerLength = 0; // where the first record starts
    size_t recordLength = 0; // the deletion flag and every field
    std::vector<StoredField> fields;

    // Reads and checks the header of the open file fd. Throws DbfError naming path and
    // what is wrong. Nothing is written.
    static DbfHeader read(const platform::File& f, const std::string& path);

    // The record count the header gives (0 when it cannot be read).
    static std::uint32_t recordCount(const platform::File& f);

    // Where the date of the last change and the record count lie in the header, and their
    // bytes: today's date, and the count n.
    static constexpr std::int64_t kDateOffset = 1;
    static constexpr std::int64_t kCountOffset = 4;
    static std::string dateBytes();
    static std::string countBytes(std::uint32_t n);
};

} // namespace vorn
