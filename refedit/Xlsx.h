#pragma once
// Excel workbooks (XLSX): the first sheet read as text and numbers (shared strings, inline
// strings, numbers), and a sheet written with a header row and numbers as numbers.
#include "refedit/Sheet.h"

#include <string>
#include <vector>

namespace vorn {

class Xlsx {
public:
    // False in a build without the workbook libraries: read and write then throw.
    static bool available();

    // The rows of the workbook's first sheet; line numbers are the sheet's row numbers.
    // Throws TransferError for a file that is not a readable workbook.
    static Sheet read(const std::string& path);

    struct Column {
        std::string header;
        int decimals = -1; // numbers with this many decimals; -1: text
        int width = 10;    // in characters
    };
    // Writes one sheet: the header row (bold, frozen), then the rows. A cell of a number
    // column holding text that is not a plain number is written as text; an empty cell is
    // left empty. Throws TransferError when the file cannot be written.
    static void write(const std::string& path, const std::string& sheetName,
                      const std::vector<Column>& columns,
                      const std::vector<std::vector<std::string>>& rows);
};

} // namespace vorn
