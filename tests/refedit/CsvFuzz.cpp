// libFuzzer target: any bytes as a CSV file, and every cell through the number and text
// checks. Nothing may crash, hang or read out of bounds.
#include "refedit/Csv.h"
#include "refedit/ValueCheck.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        const vorn::Sheet sheet =
            vorn::Csv::read(std::string(reinterpret_cast<const char*>(data), size));
        for (const vorn::SheetRow& row : sheet)
            for (const vorn::SheetCell& cell : row.cells) {
                double d = 0;
                vorn::parseDecimal(cell.text, d);
                std::string fitted;
                vorn::fitCodePage866(cell.text, fitted);
            }
    } catch (const vorn::TransferError&) {
        // a refused file is a fine outcome
    }
    return 0;
}
