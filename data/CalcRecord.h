#pragma once
// The calculation record: the stored fields a ".vrn" file must hold, and the calculated
// wall areas and volume.
#include "data/Table.h"

#include <string>
#include <vector>

namespace vorn {

// Every stored field of a calculation, in declared order, with its kind.
const std::vector<FieldDecl>& calcRecordFields();

// A blank number field reads as 0, and an input of 0 is stored blank, so a stored number
// that reads 0 is shown and printed as an empty field. The temperatures are the exception:
// 0 °C is a value the calculation uses, and it is shown as 0.
bool zeroIsShown(const std::string& field);

// Declares the stored fields and the calculated ob_s1..ob_s6, ob_kamv on a table and
// installs the OnCalcFields hook that derives them. Leaves afterOpen/beforeClose alone.
void configureCalcTable(Table& table);

} // namespace vorn
