#include "CalcFixture.h"

#include "calc/CalcError.h"
#include "calc/Recalculate.h"
#include "tools/mkdata/RefLayouts.h"

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
    createDbf(dir.file("s_mater.DBF"), layouts::materials(), materials);
    createDbf(dir.file("s_izolm.DBF"), layouts::insulation(), insulations);
    createDbf(dir.file("s_region.dbf"), layouts::regions(),
              {{"Москва", 30, 55}, {"Другой", 25, 60}});
    createDbf(dir.file("s_int.DBF"), layouts::air(), airRows);
    createDbf(dir.file("products.DBF"), layouts::products(), products);
    createDbf(dir.file("s_tara.DBF"), layouts::packaging(), tara);
    createDbf(dir.file("s_isp.DBF"), layouts::executors(), {});
    createDbf(dir.file("grups.dbf"), layouts::groups(), {});
    createDbf(dir.file("S_INIT.DBF"), layouts::settings(), {{Value()}});
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
    Recalculation r = recalculate(dm, screen.includeBoxes, results);
    results = r.results;
    if (r.ventilationRate) { // the write the document makes after the run
        dm.taWork.edit();
        dm.taWork.setValue("VN_KR", *r.ventilationRate);
        dm.taWork.post();
    }
    if (!results.error.empty())
        throw CalcError(results.error);
}

} // namespace vorn::test
