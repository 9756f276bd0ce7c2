// A calculation naming reference rows that are gone from their tables: computed as before,
// exit 0, and each missing name said among the warnings of vorn calc.
#include "FilesFixture.h"
#include "data/DataModule.h"
#include "data/Table.h"
#include "document/Session.h"

#include <filesystem>
#include <nlohmann/json.hpp>

namespace vorn::test {

namespace fs = std::filesystem;

namespace {

// Renames (or, with an empty new name, deletes) the row of the table named name.
void changeRow(const std::string& table, const char* field, const std::string& name,
               const std::string& newName) {
    Table t;
    t.setTableName(table);
    t.open();
    ASSERT_TRUE(t.locate(field, Value(name))) << name;
    if (newName.empty()) {
        t.deleteRecord();
    } else {
        t.edit();
        t.setValue(field, Value(newName));
        t.post();
    }
}

class MissingRows : public FilesFixture {};

} // namespace

TEST_F(MissingRows, CalcNamesEveryMissingRow) {
    const struct {
        const char* table;
        const char* field;
        const char* name; // as the bundled calculation names it
        const char* renamed;
        const char* warning;
    } cases[] = {
        {"s_izolm.DBF", "IZ_NAIM", "Пенополистирол EPS", "EPS",
         "Теплоизоляции «Пенополистирол EPS» (стена А) нет в справочнике теплоизоляции: "
         "теплоприток через эту стену не учтен"},
        {"s_mater.DBF", "M_NAIM", "Сталь листовая", "",
         "Материала «Сталь листовая» (пол) нет в справочнике материалов стен"},
        {"s_tara.DBF", "NAIM", "Дерево (ящики)", "",
         "Тары «Дерево (ящики)» нет в справочнике тары"},
        {"products.DBF", "NAIM", "Яблоки", "", "Продукта «Яблоки» нет в справочнике продуктов"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        fs::remove_all(dir / "DATA");
        fs::copy(VORN_DATA_DIR, dir / "DATA");
        dataDir = path("DATA");
        ASSERT_EQ(vorn("calc --json '" + calc + "'"), 0) << err;
        EXPECT_EQ(nlohmann::json::parse(out)["warnings"].size(), 0u);
        changeRow(path("DATA/") + c.table, c.field, c.name, c.renamed);
        ASSERT_EQ(vorn("calc --json '" + calc + "'"), 0) << err;
        const std::string warnings = nlohmann::json::parse(out)["warnings"].dump();
        EXPECT_NE(warnings.find(c.warning), std::string::npos) << warnings;
        ASSERT_EQ(vorn("calc '" + calc + "'"), 0) << err;
        EXPECT_NE(out.find(c.warning), std::string::npos) << out;
    }
}

// The window's open replaces a missing product by its category's first, says so naming
// both, and makes it a step of its own: undone, the record names its own product again and
// the warnings say that it is missing.
TEST_F(MissingRows, ReplacedProductIsSaidAndUndoable) {
    fs::copy(VORN_DATA_DIR, dir / "DATA");
    changeRow(path("DATA/products.DBF"), "NAIM", "Яблоки", "");
    DataModule dm;
    dm.setDataDir(path("DATA"));
    ASSERT_TRUE(dm.openReferenceTables());
    Session session(dm);
    std::vector<std::string> messages;
    session.showMessage = [&messages](const std::string& m) { messages.push_back(m); };
    session.openCalculation(calc);
    const std::string taken = dm.taWork.asString("TE_PTIP");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0],
              "Продукта «Яблоки» нет в справочнике продуктов: вместо него взят «" + taken + "»");
    EXPECT_EQ(session.warnings(), messages);
    ASSERT_FALSE(session.undo().refused);
    EXPECT_EQ(dm.taWork.asString("TE_PTIP"), "Яблоки");
    ASSERT_EQ(session.warnings().size(), 1u);
    EXPECT_NE(session.warnings()[0].find("Продукта «Яблоки» нет в справочнике продуктов: в "
                                         "расчете свойства продукта"),
              std::string::npos)
        << session.warnings()[0];
    session.closeCalculation();
}

} // namespace vorn::test
