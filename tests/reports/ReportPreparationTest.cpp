#include "reports/ReportPreparation.h"

#include "document/Session.h"
#include "calc/CalcResults.h"
#include "data/CalcRecord.h"
#include "data/DataModule.h"
#include "reports/CalcReportLayout.h"
#include "reports/HeaderLines.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <random>

namespace vorn {
namespace {

namespace fs = std::filesystem;

TEST(ReportPreparation, ValueText) {
    const std::pair<Value, std::string> cases[] = {
        {Value::null(), ""},         {Value(3.2), "3,2"},     {Value(3.3 * 4 * 2.5), "33"},
        {Value(-18), "-18"},         {Value(0.0), "0"},       {Value(-0.0), "0"},
        {Value("Яблоки"), "Яблоки"}, {Value(12600), "12600"}, {Value(0.1 + 0.2), "0,3"},
    };
    for (const auto& [v, text] : cases)
        EXPECT_EQ(valueText(v), text) << text;
}

// A new calculation from the template, with the shipped reference tables.
class PreparationTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("vorn_prep_" + std::to_string(std::random_device{}()));
        fs::create_directories(dir);
        file = (dir / "a.vrn").string();
        fs::copy_file(fs::path(VORN_DATA_DIR) / "vorn.dbf", file);
        dm.setDataDir(VORN_DATA_DIR);
        ASSERT_TRUE(dm.openReferenceTables());
        session = std::make_unique<Session>(dm);
        session->openCalculation(file, Session::OpenOrder::CategoryThenOptionBox);
    }
    void TearDown() override {
        session->closeCalculation();
        session.reset();
        dm.closeAll();
        fs::remove_all(dir);
    }
    ReportPage page() {
        src = ReportPreparation::calcReport(dm.taWork, session->results(), dir.string(), file,
                                            "Версия");
        return CalcReportLayout::layout(src).pages[0];
    }
    fs::path dir;
    std::string file;
    DataModule dm;
    std::unique_ptr<Session> session;
    ReportSource src;
};

TEST_F(PreparationTest, PrintsTheRecordAndTheLastRecalculation) {
    Table& w = dm.taWork;
    w.edit();
    w.setValue("KL_NAIM", Value("ООО Клиент"));
    w.setValue("TRS_POW", Value::null());
    w.setValue("PER_KOL", Value(0));
    w.setValue("OB_TEMKAM", Value(0));
    w.setValue("OB_KAMDL", Value(6.5));
    w.post();
    session->recalculate();
    const std::string capacity = session->results().label(98);

    const ReportPage p = page();
    EXPECT_EQ(p.find("KL_NAIM")->text, "ООО Клиент");
    EXPECT_EQ(p.find("OB_KAMDL")->text, "6,5");
    EXPECT_EQ(p.find("TRS_POW")->text, "") << "an empty field prints nothing, not 0";
    EXPECT_EQ(p.find("PER_KOL")->text, "") << "an input of 0 is stored empty";
    EXPECT_EQ(p.find("OB_TEMKAM")->text, "0") << "0 °C is a temperature";
    EXPECT_EQ(p.find("ob_kamv")->text, valueText(w.value("ob_kamv")))
        << "a calculated field prints its value";
    EXPECT_EQ(p.find("QRLabel98")->text, capacity);
    EXPECT_EQ(p.find("QRLabel90")->text, file);
    EXPECT_EQ(p.find("QRLabel89")->text, "Версия");
    EXPECT_EQ(src.headerLines, HeaderLines::builtIn());

    // A change not yet recalculated is in the record but not in the computed labels.
    w.edit();
    w.setValue("OB_KAMDL", Value(20.0));
    w.post();
    const ReportPage later = page();
    EXPECT_EQ(later.find("OB_KAMDL")->text, "20");
    EXPECT_EQ(later.find("QRLabel98")->text, capacity);
}

} // namespace
} // namespace vorn
