#pragma once
// Who names a row of a reference table: the open calculation, the chambers of the open
// project. Asked before the row is deleted or its name changed, since a calculation whose
// row is gone is computed without it.
#include "data/Table.h"

#include <string>
#include <vector>

namespace vorn {

// The calculation fields that store a row's name for the table ("products" -> TE_PTIP);
// empty for a table no calculation names rows of.
std::vector<std::string> fieldsNamingRows(const std::string& tableName);

// Whether the calculation record (the table's current record) names key in one of them.
bool recordNamesRow(const Table& record, const std::string& tableName, const std::string& key);

// The users of the row, each as a Russian phrase ("открытый расчет C.vrn", "камера
// K.vrn проекта"): the open calculation (null when none) and the chamber files, each read
// without being written. A chamber that cannot be read is passed over.
std::vector<std::string> rowUsers(const std::string& tableName, const std::string& key,
                                  const Table* openCalculation, const std::string& calcName,
                                  const std::vector<std::string>& chamberFiles);

} // namespace vorn
