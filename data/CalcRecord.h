#pragma once
// The calculation record: the stored fields a ".vrn" file must hold, and the calculated
// wall areas and volume.
#include "data/Table.h"

#include <vector>

namespace vorn {

// Every stored field of a calculation, in declared order, with its kind.
const std::vector<FieldDecl>& calcRecordFields();

// Declares the stored fields and the calculated ob_s1..ob_s6, ob_kamv on a table and
// installs the OnCalcFields hook that derives them. Leaves afterOpen/beforeClose alone.
void configureCalcTable(Table& table);

} // namespace vorn
