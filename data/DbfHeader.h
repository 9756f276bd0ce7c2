#pragma once
// The header of a table file: its 32 bytes, the field descriptors after them and the
// record layout they give. Read once at open; the record count and the date of the last
// change are the only parts ever written.
#include "data/FieldCodec.h"

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
    static DbfHeader read(int fd, const std::string& path);

    // The record count the header gives (0 when it cannot be read).
    static std::uint32_t recordCount(int fd);
    static void writeRecordCount(int fd, std::uint32_t n, const std::string& path);
    // Sets the date of the last change to today.
    static void writeDate(int fd, const std::string& path);
};

} // namespace vorn
