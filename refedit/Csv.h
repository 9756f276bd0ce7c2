#pragma once
// CSV as Russian Excel and LibreOffice write it: UTF-8 with a byte-order mark, ";" between
// fields, a decimal comma. Reading also takes "," between fields (with decimal points),
// tab-separated text and Windows-1251 text, each recognised from the file itself.
#include "refedit/Sheet.h"

#include <string>
#include <vector>

namespace vorn {

class Csv {
public:
    // The rows of a CSV file's bytes; blank lines are left out but keep their numbers.
    // Throws RefusedFile for a quote that is never closed or a UTF-16 file.
    static Sheet read(const std::string& bytes);
    // One line of fields separated by ";", quoted where needed, ended by CR LF. Text holding
    // a comma is quoted too (for readers that take it for the separator); the cells marked
    // in numbers hold numbers with a decimal comma, left bare as spreadsheets write them.
    static std::string line(const std::vector<std::string>& cells,
                            const std::vector<bool>& numbers = {});
    static const char* const kBom;
};

} // namespace vorn
