#include "CalcFixture.h"

#include "calc/Recalculate.h"

namespace vorn::test {

double fixtureEnthalpy(double t, int phi) {
    return t + phi / 10.0;
}
double fixturePersonHeat(double t) {
    return 200 - 2 * t;
}

CalcFixture::CalcFixture() {
    for (int t : {-40, -20, 0, 20, 40}) {
        DbfRow row{t};
        for (int phi = 50; phi <= 100; phi += 5)
            row.push_back(fixtureEnthalpy(t, phi));
        row.push_back(fixturePersonHeat(t));
        airRows.push_back(row);
    }
}

void CalcFixture::writeReferenceTables() const {
    createDbf(dir.file("s_mater.DBF"), {{"M_NAIM", 'C', 20, 0}, {"M_KTP", 'N', 8, 3}}, materials);
    createDbf(dir.file("s_izolm.DBF"), {{"IZ_NAIM", 'C', 20, 0}, {"IZ_KTP", 'N', 8, 3}},
              insulations);
    createDbf(dir.file("s_region.dbf"),
              {{"REG_NAIM", 'C', 30, 0}, {"REG_TEM", 'N', 4, 0}, {"REG_VLAJ", 'N', 4, 0}},
              {{"Москва", 30, 55}, {"Другой", 25, 60}});
    std::vector<DbfFieldSpec> air{{"TEMVOZD", 'N', 4, 0}};
    for (int phi = 50; phi <= 100; phi += 5)
        air.push_back({"VL" + std::to_string(phi), 'N', 8, 2});
    air.push_back({"QP", 'N', 6, 1});
    createDbf(dir.file("s_int.DBF"), air, airRows);
    createDbf(dir.file("products.DBF"),
              {{"NAIM", 'C', 20, 0},
               {"TIP", 'C', 10, 0},
               {"TZAM", 'N', 6, 1},
               {"CP1", 'N', 6, 2},
               {"CP2", 'N', 6, 2},
               {"LSKR", 'N', 6, 1},
               {"Q1", 'N', 8, 1},
               {"Q2", 'N', 8, 1},
               {"Q3", 'N', 8, 1}},
              products);
    createDbf(dir.file("s_tara.DBF"), {{"NAIM", 'C', 20, 0}, {"SP", 'N', 6, 2}}, tara);
    createDbf(dir.file("s_isp.DBF"), {{"NAME", 'C', 40, 0}}, {});
    createDbf(dir.file("grups.dbf"), {{"ID", 'N', 5, 0}, {"GR", 'C', 98, 0}}, {});
    createDbf(dir.file("S_INIT.DBF"), {{"DIR", 'C', 254, 0}}, {{Value()}});
    writeCalcFile(dir.file("trec.dbf"), calcFieldSpecs(), {});
}

void CalcFixture::writeCalc(const std::string& path) const {
    writeCalcFile(path, calcFieldSpecs(), record);
}

void CalcFixture::open() {
    writeReferenceTables();
    writeCalc(calcPath());
    dm.setDataDir(dir.path().string());
    std::string error;
    ASSERT_TRUE(dm.openReferenceTables(&error)) << error;
    dm.taWork.setTableName(calcPath());
    dm.taWork.open();
}

void CalcFixture::run() {
    recalculate(dm, screen, results);
}

} // namespace vorn::test
