#include "refedit/RowUse.h"

namespace vorn {

std::vector<std::string> fieldsNamingRows(const std::string& tableName) {
    std::vector<std::string> out;
    const auto numbered = [&out](const char* stem) {
        for (int i = 1; i <= 6; ++i)
            out.push_back(stem + std::to_string(i));
    };
    if (equalsIgnoreCase(tableName, "s_mater"))
        numbered("ST_M");
    else if (equalsIgnoreCase(tableName, "s_izolm"))
        numbered("ST_IZ");
    else if (equalsIgnoreCase(tableName, "products"))
        out = {"TE_PTIP"};
    else if (equalsIgnoreCase(tableName, "s_tara"))
        out = {"TE_TTIP"};
    else if (equalsIgnoreCase(tableName, "s_region"))
        out = {"OB_RGNAIM"};
    return out;
}

bool recordNamesRow(const Table& record, const std::string& tableName, const std::string& key) {
    if (!record.isOpen() || record.eof() || key.empty())
        return false;
    for (const std::string& f : fieldsNamingRows(tableName))
        if (record.hasField(f) && equalsIgnoreCase(record.asString(f), key))
            return true;
    return false;
}

std::vector<std::string> rowUsers(const std::string& tableName, const std::string& key,
                                  const Table* openCalculation, const std::string& calcName,
                                  const std::vector<std::string>& chamberFiles) {
    std::vector<std::string> out;
    if (fieldsNamingRows(tableName).empty())
        return out;
    if (openCalculation && recordNamesRow(*openCalculation, tableName, key))
        out.push_back("открытый расчет " + calcName);
    for (const std::string& file : chamberFiles) {
        try {
            Table t;
            t.setTableName(file);
            t.setReadOnly(true);
            t.open();
            if (recordNamesRow(t, tableName, key))
                out.push_back("камера проекта " + file);
        } catch (const std::exception&) {
            // a chamber that does not open names nothing the user could lose here
        }
    }
    return out;
}

} // namespace vorn
