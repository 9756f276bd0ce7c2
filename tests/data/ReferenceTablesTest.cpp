#include "Fixtures.h"
#include "data/CalcRecord.h"
#include "data/DataModule.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>

using namespace vorn;
using vorn::test::TempDir;

namespace {

// The generated DATA, copied so that a test may write to it.
class GeneratedData : public ::testing::Test {
protected:
    void SetUp() override {
        test::copyData(dir.path());
        dm.setDataDir(dir.path().string());
    }
    TempDir dir;
    DataModule dm;
};

} // namespace

TEST_F(GeneratedData, EveryReferenceTableOpens) {
    std::string err;
    ASSERT_TRUE(dm.openReferenceTables(&err)) << err;
    for (Table* t : dm.referenceTables())
        EXPECT_TRUE(t->isOpen()) << t->objectName();
    EXPECT_GT(dm.taMater.recordCount(), 10);
    EXPECT_GT(dm.taIzolm.recordCount(), 5);
    EXPECT_GT(dm.taProd.recordCount(), 30);
    EXPECT_GT(dm.taTara.recordCount(), 5);
    EXPECT_EQ(dm.taInit.recordCount(), 1);
    EXPECT_EQ(dm.taRec.recordCount(), 1);
    EXPECT_TRUE(dm.taRegion.locate("REG_NAIM", "Другой"));

    // The air table: -40 ... +50 °C ascending in steps of 5, every humidity column.
    ASSERT_EQ(dm.taInt.recordCount(), 19);
    int expected = -40;
    for (dm.taInt.first(); !dm.taInt.eof(); dm.taInt.next(), expected += 5) {
        EXPECT_EQ(dm.taInt.asDouble("TEMVOZD"), expected);
        for (int phi = 50; phi <= 100; phi += 5)
            EXPECT_TRUE(dm.taInt.hasField("VL" + std::to_string(phi)));
        EXPECT_GT(dm.taInt.asDouble("QP"), 0);
    }
    // Person heat is held at its last listed value (+40 °C) above it.
    dm.taInt.last();
    EXPECT_DOUBLE_EQ(dm.taInt.asDouble("QP"), 212);
}

TEST_F(GeneratedData, AMissingTableFailsButTheOthersStillOpen) {
    std::filesystem::remove(dir.path() / "grups.dbf");
    std::string err;
    EXPECT_FALSE(dm.openReferenceTables(&err));
    EXPECT_FALSE(err.empty());
    EXPECT_FALSE(dm.taGrups.isOpen());
    EXPECT_TRUE(dm.taInit.isOpen());
    EXPECT_TRUE(dm.taRec.isOpen());
}

TEST_F(GeneratedData, NamesAreFoundIgnoringCaseButOnlyAsWholeNames) {
    ASSERT_TRUE(dm.openReferenceTables());
    EXPECT_TRUE(dm.taMater.locate("M_NAIM", "кирпич керамический"));
    EXPECT_DOUBLE_EQ(dm.taMater.asDouble("M_KTP"), 0.81);
    EXPECT_FALSE(dm.taMater.locate("M_NAIM", "кирпич"));
    EXPECT_TRUE(dm.taIzolm.locate("IZ_NAIM", "ПЕНОПОЛИУРЕТАН pur"));
}

TEST_F(GeneratedData, CategoryFilterHidesOtherCategories) {
    ASSERT_TRUE(dm.openReferenceTables());
    Table& p = dm.taProd;
    p.setFilter("TIP='Рыбные'");
    p.setFiltered(true);
    EXPECT_FALSE(p.locate("NAIM", "Говядина (туша)"));
    EXPECT_TRUE(p.locate("NAIM", "Треска"));
    for (p.first(); !p.eof(); p.next())
        EXPECT_EQ(p.asString("TIP"), "Рыбные");
    p.setFiltered(false);
    EXPECT_TRUE(p.locate("NAIM", "Говядина (туша)"));
}

TEST_F(GeneratedData, DeletedExecutorLeavesTheListButKeepsItsBytes) {
    ASSERT_TRUE(dm.openReferenceTables());
    Table& isp = dm.taIsp;
    for (const char* name : {"Иванов И. И.", "Петров П. П."}) {
        isp.append();
        isp.setValue("NAME", name);
        isp.post();
    }
    ASSERT_TRUE(isp.locate("NAME", "иванов и. и."));
    isp.deleteRecord();
    EXPECT_EQ(isp.recordCount(), 1);
    EXPECT_FALSE(isp.locate("NAME", "Иванов И. И."));
    dm.closeAll();

    const std::string bytes = test::readFile(dir.file("s_isp.DBF"));
    const size_t hlen = 32 + 32 + 1;
    ASSERT_GE(bytes.size(), hlen + 2 * 41);
    EXPECT_EQ(bytes[hlen], '*');
    EXPECT_EQ(bytes.substr(hlen + 1, 12), utf8ToCp866("Иванов И. И."));
    EXPECT_EQ(bytes[hlen + 41], ' ');
}

TEST(ReferenceTables, ANameCutToTheRecordWidthNoLongerFindsItsRow) {
    TempDir dir;
    const std::string longName = "Свинина охлажденная 1 сорт"; // 26 characters
    createDbf(dir.file("products.DBF"), {{"NAIM", 'C', 30, 0}, {"TIP", 'C', 10, 0}},
              {{"Говядина", "Мясные"}, {longName, "Мясные"}});
    test::writeCalcFile(dir.file("c.vrn"), test::calcFieldSpecs(), {{"SIS", "X"}});

    Table calc;
    calc.setTableName(dir.file("c.vrn"));
    configureCalcTable(calc);
    calc.open();
    calc.edit();
    calc.setValue("TE_PTIP", longName);
    calc.first();
    const std::string stored = calc.asString("TE_PTIP");
    EXPECT_EQ(stored, "Свинина охлажденная"); // first 20 characters, trailing blank dropped

    Table prod;
    prod.setTableName(dir.file("products.DBF"));
    prod.open();
    EXPECT_FALSE(prod.locate("NAIM", calc.value("TE_PTIP")));
    EXPECT_TRUE(prod.locate("NAIM", longName));
}

TEST(ReferenceTables, MkdataRefusesANameThatDoesNotFitTheRecord) {
    TempDir dir;
    const auto src = std::filesystem::path(VORN_SOURCE_DIR) / "refdata";
    std::filesystem::create_directories(dir.path() / "in");
    std::filesystem::create_directories(dir.path() / "out");
    for (const auto& e : std::filesystem::directory_iterator(src))
        std::filesystem::copy_file(e.path(), dir.path() / "in" / e.path().filename());
    {
        std::ofstream m(dir.path() / "in" / "materials.csv", std::ios::app);
        m << "Кирпич облицовочный пустотелый,0.5\n";
    }
    EXPECT_NE(test::runProgram(MKDATA_BINARY,
                               {(dir.path() / "in").string(), (dir.path() / "out").string()}, {},
                               dir.file("err.txt")),
              0);
    const std::string err = test::readFile(dir.file("err.txt"));
    EXPECT_NE(err.find("materials.csv"), std::string::npos) << err;
    EXPECT_NE(err.find("at most 20"), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "out" / "s_mater.DBF"));
}
