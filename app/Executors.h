#pragma once
// The executor list of the additional-data window: the names in s_isp.DBF, and adding
// or deleting the executor named in the calculation's OB_ISP.
#include <string>
#include <vector>

namespace vorn {

class Table;

class Executors {
public:
    // NAME of every visible row, sorted as the drop-down list shows them (letters folded,
    // Cyrillic and Latin). Moving to the first row also posts a row appended before.
    static std::vector<std::string> names(Table& taIsp);

    // Appends OB_ISP of the calculation when no row holds it in any letter case.
    // An empty OB_ISP adds nothing. Returns the rebuilt list.
    static std::vector<std::string> add(Table& taIsp, Table& taWork);

    // Deletes the row holding OB_ISP (any letter case) and empties OB_ISP, leaving the
    // calculation record in edit state. Returns the rebuilt list.
    static std::vector<std::string> remove(Table& taIsp, Table& taWork);
};

} // namespace vorn
