#pragma once
// The commercial offer as an Excel workbook, for the sales engineer who edits it further:
// the same content as the PDF on one sheet, every figure a number and every sum, the VAT
// and the running cost a formula over the cells above it (with its value cached, so that a
// reader that does not calculate still sees it).
#include "project/OfferLayout.h"

#include <string>

namespace vorn {

class OfferXlsx {
public:
    // Writes into a temporary file beside path and renames it over path only when complete.
    // On failure returns false with a message for the user in error.
    static bool write(const OfferSource& src, const std::string& path, std::string* error);
};

} // namespace vorn
