#include "data/CalcRecord.h"

#include "Fixtures.h"
#include "data/DataModule.h"

#include <cmath>
#include <gtest/gtest.h>
#include <algorithm>
#include <set>

using namespace vorn;
using vorn::test::TempDir;

namespace {

std::map<std::string, Value> chamber(Value dl, Value sh, Value vs) {
    return {{"OB_KAMDL", dl}, {"OB_KAMSH", sh}, {"OB_KAMVS", vs}, {"SIS", "S1"}};
}

std::string openError(Table& t) {
    try {
        t.open();
    } catch (const DbfError& e) {
        return e.what();
    }
    return {};
}

} // namespace

TEST(CalcRecord, DeclaresEveryStoredFieldOnce) {
    const auto& fields = calcRecordFields();
    EXPECT_EQ(fields.front().name, "OB_RGNAIM");
    EXPECT_EQ(fields.back().name, "VO_OTTDOL");
    std::set<std::string> names;
    for (const FieldDecl& f : fields) {
        EXPECT_TRUE(names.insert(f.name).second) << f.name;
        // the heater fields, and only they, may be missing from a file
        EXPECT_EQ(f.optional, isHeaterField(f.name)) << f.name;
    }
    for (const char* n : {"CH9", "ST_TEM6", "ST_IZT1", "OB_DATE", "PROIZSYS", "VO_POW"})
        EXPECT_TRUE(names.count(n)) << n;
}

TEST(CalcRecord, AreasAndVolumeFollowTheDimensions) {
    TempDir dir;
    const std::string path = dir.file("a.vrn");
    test::writeCalcFile(path, test::calcFieldSpecs(), chamber(6.0, 4.0, 3.0));
    Table t;
    t.setTableName(path);
    configureCalcTable(t);
    t.open();
    EXPECT_DOUBLE_EQ(t.asDouble("ob_kamv"), 72);
    EXPECT_DOUBLE_EQ(t.asDouble("OB_KAMv"), 72); // names match whatever the case
    EXPECT_DOUBLE_EQ(t.asDouble("ob_s1"), 12);
    EXPECT_DOUBLE_EQ(t.asDouble("ob_s3"), 12);
    EXPECT_DOUBLE_EQ(t.asDouble("OB_S2"), 18);
    EXPECT_DOUBLE_EQ(t.asDouble("ob_s4"), 18);
    EXPECT_DOUBLE_EQ(t.asDouble("ob_s5"), 24);
    EXPECT_DOUBLE_EQ(t.asDouble("ob_s6"), 24);

    // A change while editing is reflected at once.
    t.edit();
    t.setValue("OB_KAMDL", 6.5);
    EXPECT_DOUBLE_EQ(t.asDouble("ob_kamv"), 6.5 * 4.0 * 3.0);
    EXPECT_DOUBLE_EQ(t.asDouble("ob_s2"), 19.5);
    EXPECT_DOUBLE_EQ(t.asDouble("ob_s1"), 12);
    t.close();
}

TEST(CalcRecord, BlankHeightGivesZeroWallsButKeepsCeilingAndFloor) {
    TempDir dir;
    const std::string path = dir.file("b.vrn");
    test::writeCalcFile(path, test::calcFieldSpecs(), chamber(6.0, 4.0, Value()));
    Table t;
    t.setTableName(path);
    configureCalcTable(t);
    t.open();
    EXPECT_EQ(t.asDouble("ob_kamv"), 0);
    for (const char* w : {"ob_s1", "ob_s2", "ob_s3", "ob_s4"})
        EXPECT_EQ(t.asDouble(w), 0) << w;
    EXPECT_DOUBLE_EQ(t.asDouble("ob_s5"), 24);
    EXPECT_DOUBLE_EQ(t.asDouble("ob_s6"), 24);
}

TEST(CalcRecord, BindingRefusesMissingFieldsAndOtherFamilies) {
    TempDir dir;
    {
        auto fields = test::calcFieldSpecs();
        fields.erase(std::find_if(fields.begin(), fields.end(),
                                  [](const DbfFieldSpec& f) { return f.name == "SIS"; }));
        test::writeCalcFile(dir.file("nosis.vrn"), fields, chamber(6.0, 4.0, 3.0));
        Table t;
        t.setTableName(dir.file("nosis.vrn"));
        configureCalcTable(t);
        EXPECT_NE(openError(t).find("Field 'SIS' not found"), std::string::npos);
        EXPECT_FALSE(t.isOpen());
    }
    {
        auto fields = test::calcFieldSpecs();
        for (auto& f : fields)
            if (f.name == "ST_MT1")
                f = {"ST_MT1", 'N', 8, 2}; // a whole field stored with decimals
        test::writeCalcFile(dir.file("frac.vrn"), fields, chamber(6.0, 4.0, 3.0));
        Table t;
        t.setTableName(dir.file("frac.vrn"));
        configureCalcTable(t);
        const std::string err = openError(t);
        EXPECT_NE(err.find("Type mismatch for field 'ST_MT1'"), std::string::npos) << err;
        EXPECT_FALSE(t.isOpen());
    }
    {
        auto fields = test::calcFieldSpecs();
        for (auto& f : fields)
            if (f.name == "OB_TEMKAM")
                f = {"OB_TEMKAM", 'N', 6, 0}; // small whole stored wider: same family
        test::writeCalcFile(dir.file("wide.vrn"), fields, chamber(6.0, 4.0, 3.0));
        Table t;
        t.setTableName(dir.file("wide.vrn"));
        configureCalcTable(t);
        EXPECT_EQ(openError(t), "");
        EXPECT_TRUE(t.isOpen());
    }
}

TEST(CalcRecord, ExtraFieldSurvivesWritesAndSisIsCutToSix) {
    TempDir dir;
    const std::string path = dir.file("extra.vrn");
    auto fields = test::calcFieldSpecs();
    fields.insert(fields.begin() + 3, {"EXTRA", 'C', 12, 0});
    fields.push_back({"EXTRA_N", 'N', 7, 2});
    auto values = chamber(6.0, 4.0, 3.0);
    values["EXTRA"] = "не трогать";
    values["EXTRA_N"] = -12.5;
    test::writeCalcFile(path, fields, values);
    const std::string before = test::readFile(path);

    Table t;
    t.setTableName(path);
    configureCalcTable(t);
    t.open();
    t.edit();
    t.setValue("OB_KAMDL", 7.0);
    t.setValue("SIS", "ABCDEFGH");
    t.first(); // posts
    EXPECT_EQ(t.asString("SIS"), "ABCDEF");
    t.close();

    t.open();
    EXPECT_DOUBLE_EQ(t.asDouble("ob_kamv"), 84);
    t.close();

    Table plain; // without a declared list every field of the file shows
    plain.setTableName(path);
    plain.open();
    EXPECT_EQ(plain.asString("EXTRA"), "не трогать");
    EXPECT_DOUBLE_EQ(plain.asDouble("EXTRA_N"), -12.5);
    plain.close();

    // The extra fields' bytes are exactly those written at creation.
    const std::string after = test::readFile(path);
    ASSERT_EQ(before.size(), after.size());
    const size_t headerLen =
        static_cast<unsigned char>(before[8]) | (static_cast<unsigned char>(before[9]) << 8);
    size_t offset = headerLen + 1;
    for (const DbfFieldSpec& f : fields) {
        if (f.name.rfind("EXTRA", 0) == 0) {
            EXPECT_EQ(before.substr(offset, f.length), after.substr(offset, f.length)) << f.name;
        }
        offset += f.length;
    }
}

TEST(CalcRecord, TemplatesOpenAsSoundNewCalculations) {
    TempDir dir;
    test::copyData(dir.path());
    DataModule dm;
    dm.setDataDir(dir.path().string());
    ASSERT_TRUE(dm.openReferenceTables());
    for (const char* name : {"vorn.dbf", "trec.dbf"}) {
        SCOPED_TRACE(name);
        Table t;
        t.setTableName(dir.file(name));
        configureCalcTable(t);
        ASSERT_NO_THROW(t.open());
        EXPECT_EQ(t.recordCount(), 1);

        // Every stored field has exactly its declared kind (widths within the kind's rules).
        std::map<std::string, FieldKind> kinds;
        for (int i = 0; i < t.fieldCount(); ++i)
            kinds[foldCase(t.field(i).name)] = t.field(i).kind;
        for (const FieldDecl& d : calcRecordFields())
            EXPECT_EQ(kinds[foldCase(d.name)], d.kind) << d.name;

        for (int n = 1; n <= 9; ++n)
            EXPECT_TRUE(t.asBool("CH" + std::to_string(n))) << n;
        EXPECT_EQ(t.asString("OB_TERMR"), "Хранение");
        EXPECT_GT(t.asDouble("ob_kamv"), 0);
        EXPECT_GE(t.asDouble("OB_TIMEWRK"), 1);
        EXPECT_LE(t.asDouble("OB_TIMEWRK"), 24);
        EXPECT_GE(t.asDouble("OB_KZAPAS"), 1);
        EXPECT_GT(t.asDouble("KOLSYS"), 0);

        // The names refer to rows of the reference tables, the climate to its region.
        ASSERT_TRUE(dm.taRegion.locate("REG_NAIM", t.value("OB_RGNAIM")));
        EXPECT_EQ(t.asDouble("OB_RGTMAX"), dm.taRegion.asDouble("REG_TEM"));
        EXPECT_EQ(t.asDouble("OB_RGVLAJ"), dm.taRegion.asDouble("REG_VLAJ"));
        for (int n = 1; n <= 6; ++n) {
            const std::string k = std::to_string(n);
            EXPECT_EQ(t.asDouble("ST_TEM" + k), t.asDouble("OB_RGTMAX"));
            EXPECT_TRUE(dm.taMater.locate("M_NAIM", t.value("ST_M" + k)));
            EXPECT_TRUE(dm.taIzolm.locate("IZ_NAIM", t.value("ST_IZ" + k)));
            EXPECT_GT(t.asDouble("ST_IZT" + k), 0);
        }
        EXPECT_TRUE(dm.taProd.locate("NAIM", t.value("TE_PTIP")));
        EXPECT_TRUE(dm.taTara.locate("NAIM", t.value("TE_TTIP")));

        // Room for what the program writes: the automatic rate of a one-litre chamber,
        // the capacity of a large system, the thickest insulation.
        t.edit();
        EXPECT_NO_THROW(t.setValue("VN_KR", 70 / std::sqrt(0.001)));
        EXPECT_NO_THROW(t.setValue("PROIZSYS", 999999));
        EXPECT_NO_THROW(t.setValue("ST_IZT1", 2000));
        EXPECT_NO_THROW(t.setValue("OB_TEMKAM", -60));
        t.cancel();
    }
}

// The table layer's English reasons reach the user in Russian.
TEST(CalcOpenFailureText, SaysTheTableLayersReasonsInRussian) {
    const struct {
        const char* what;
        const char* says;
    } cases[] = {
        {"Field 'OB_KAMDL' not found", "в файле нет поля OB_KAMDL"},
        {"Type mismatch for field 'OB_KAMDL', expecting: Float", "поле OB_KAMDL в файле другого типа"},
        {"Record is locked by another user", "занята другим пользователем"},
        {"нет такого файла", "нет такого файла"},
    };
    for (const auto& c : cases)
        EXPECT_NE(calcOpenFailureText(c.what).find(c.says), std::string::npos) << c.what;
}
