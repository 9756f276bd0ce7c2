#include "document/MissingRows.h"

#include "data/CalcRecord.h"
#include "data/DataModule.h"

namespace vorn {

namespace {

const char* const kWalls[6] = {"стена А", "стена Б", "стена В", "стена Г", "потолок", "пол"};

std::string quoted(const std::string& s) {
    return "«" + s + "»";
}

// The name the table's current row holds, empty when it stands on none.
std::string currentRowName(const Table& t) {
    return t.isOpen() && !t.eof() ? t.asString("NAIM") : std::string();
}

} // namespace

std::string replacedProductWarning(const std::string& missing, const std::string& taken) {
    return "Продукта " + quoted(missing) + " нет в справочнике продуктов: вместо него взят " +
           quoted(taken);
}

std::vector<std::string> missingReferenceRows(DataModule& dm) {
    std::vector<std::string> out;
    Table& work = dm.taWork;
    if (!work.isOpen() || work.eof())
        return out;
    for (int i = 1; i <= 6; ++i) {
        const std::string n = std::to_string(i);
        const std::string material = work.asString("ST_M" + n);
        const std::string insulation = work.asString("ST_IZ" + n);
        const char* wall = kWalls[i - 1];
        if (!material.empty() && dm.taMater.isOpen() &&
            !findByName(dm.taMater, "M_NAIM", material)) {
            out.push_back("Материала " + quoted(material) + " (" + wall +
                          ") нет в справочнике материалов стен: теплоприток через эту "
                          "стену не учтен");
            continue;
        }
        if (!insulation.empty() && dm.taIzolm.isOpen() &&
            !findByName(dm.taIzolm, "IZ_NAIM", insulation))
            out.push_back("Теплоизоляции " + quoted(insulation) + " (" + wall +
                          ") нет в справочнике теплоизоляции: теплоприток через эту стену "
                          "не учтен");
    }
    const std::string product = work.asString("TE_PTIP");
    if (!product.empty() && dm.taProd.isOpen() && !findByName(dm.taProd, "NAIM", product)) {
        const std::string used = currentRowName(dm.taProd);
        out.push_back("Продукта " + quoted(product) + " нет в справочнике продуктов: " +
                      (used.empty() ? std::string("теплоприток от продукта рассчитан без его "
                                                  "свойств")
                                    : "в расчете свойства продукта " + quoted(used)));
    }
    const std::string tara = work.asString("TE_TTIP");
    if (!tara.empty() && dm.taTara.isOpen() && !findByName(dm.taTara, "NAIM", tara)) {
        const std::string used = currentRowName(dm.taTara);
        out.push_back("Тары " + quoted(tara) + " нет в справочнике тары: " +
                      (used.empty() ? std::string("теплоприток от тары рассчитан без ее "
                                                  "теплоемкости")
                                    : "в расчете теплоемкость тары " + quoted(used)));
    }
    return out;
}

} // namespace vorn
