#include "SelectionFixture.h"

#include "tools/mkdata/RefLayouts.h"

#include <filesystem>

namespace vorn::test {

void SelectionFixture::open(const std::vector<KatRow>& rows,
                            const std::map<std::string, Value>& fields) {
    copyData(dir.path());
    std::vector<DbfRow> kat;
    for (const KatRow& r : rows) {
        DbfRow row{r.sis, "АГР " + r.sis, "ВО " + r.sis};
        for (int a = 0; a < 4; ++a) {
            row.push_back(static_cast<double>(r.q25 - 100 * a));
            row.push_back(r.t25 - 0.5 * a);
        }
        for (const Value& v : {Value(1.5), Value(3.2), Value("НМ-1"), Value("ШУ-3ф-10А"),
                               Value(r.group), Value(r.vo)})
            row.push_back(v);
        kat.push_back(row);
    }
    createDbf(dir.file("kat-18.dbf"), layouts::catalogue(), kat);
    createDbf(dir.file("grups.dbf"), layouts::groups(),
              {{1, "Группа один", "Подгруппа один"}, {2, "Группа два", "Подгруппа два"}});
    std::filesystem::copy_file(dir.path() / "vorn.dbf", dir.path() / "calc.vrn");

    dm.setDataDir(dir.path().string());
    std::string error;
    ASSERT_TRUE(dm.openReferenceTables(&error)) << error;
    session = std::make_unique<Session>(dm);
    // The open and close steps belong to the session's own tests; here the record is
    // exactly what the test writes.
    dm.taWork.afterOpen = nullptr;
    dm.taWork.beforeClose = nullptr;
    dm.taWork.setTableName(dir.file("calc.vrn"));
    dm.taWork.open();
    selection = std::make_unique<Selection>(session->data(), session->results(), session->selectionWriter());
    setRecord(fields);
}

void SelectionFixture::setRecord(const std::map<std::string, Value>& fields) {
    dm.taWork.first();
    dm.taWork.edit();
    for (const auto& [name, v] : fields)
        dm.taWork.setValue(name, v);
    dm.taWork.post();
}

std::vector<std::string> SelectionFixture::listed() const {
    std::vector<std::string> out;
    for (const CatalogueRow& r : selection->rows())
        out.push_back(r.sis);
    return out;
}

} // namespace vorn::test
