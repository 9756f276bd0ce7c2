#pragma once
// What a report prints, gathered by the preparation step before every generation: the
// header lines, the two footer texts, the bound values of the open record and the labels
// the last recalculation set. The layout reads only this, so it runs without a table.
#include <functional>
#include <string>
#include <vector>

namespace vorn {

struct ReportSource {
    std::vector<std::string> headerLines;
    std::string fileLabel;   // QRLabel90: the calculation file as opened or saved
    std::string versionLine; // QRLabel89
    // The calculation's warnings (Session::warnings), each printed as a line of its own.
    std::vector<std::string> warnings;
    // The caption of gain 9's box; empty: the plain fans' caption.
    std::string fansCaption;
    // Text of a record field ("" for an empty field); unset: every field empty.
    std::function<std::string(const std::string& field)> field;
    // Text of the calculation report's label QRLabelNN; unset: every label empty.
    std::function<std::string(int number)> label;

    std::string fieldText(const std::string& name) const { return field ? field(name) : ""; }
    std::string labelText(int number) const { return label ? label(number) : ""; }
};

// The systems list adds the selection it lists.
struct SystemsListSource {
    ReportSource common;
    std::string classCaption;  // QRLabel14: "+12" ... "-30"
    std::string capacityLabel; // QRLabel98 of the list
    // Captions of the nine columns, left to right (system ... cabinet).
    std::vector<std::string> columnCaptions;
    // One row per listed catalogue row, nine texts each in column order.
    std::vector<std::vector<std::string>> rows;
};

} // namespace vorn
