#include "AppFixture.h"
#include "app/CalcFolderSetting.h"
#include "app/Executors.h"

#include <algorithm>

namespace vorn::test {

class AdditionalDataTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        files->newCalculation(path("a.vrn"));
    }
    void setExecutor(const std::string& name) {
        dm->taWork.edit();
        dm->taWork.setValue("OB_ISP", Value(name));
    }
    int countOf(const std::vector<std::string>& names, const std::string& name) {
        int n = 0;
        for (const std::string& s : names)
            n += equalsIgnoreCase(s, name) ? 1 : 0;
        return n;
    }
};

TEST_F(AdditionalDataTest, AddAppendsANewNameOnceInSortedPlace) {
    const size_t before = Executors::names(dm->taIsp).size();
    setExecutor("Яковлев Я.Я.");
    std::vector<std::string> names = Executors::add(dm->taIsp, dm->taWork);
    EXPECT_EQ(names.size(), before + 1);
    EXPECT_EQ(countOf(names, "Яковлев Я.Я."), 1);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(),
                               [](auto& a, auto& b) { return foldCase(a) < foldCase(b); }));
    setExecutor("яковлев я.я.");
    names = Executors::add(dm->taIsp, dm->taWork);
    EXPECT_EQ(names.size(), before + 1);

    setExecutor("");
    EXPECT_EQ(Executors::add(dm->taIsp, dm->taWork).size(), before + 1);
}

TEST_F(AdditionalDataTest, DeleteIgnoresCaseAndEmptiesTheExecutor) {
    setExecutor("Борисов Б.Б.");
    Executors::add(dm->taIsp, dm->taWork);
    setExecutor("борисов б.б.");
    std::vector<std::string> names = Executors::remove(dm->taIsp, dm->taWork);
    EXPECT_EQ(countOf(names, "Борисов Б.Б."), 0);
    EXPECT_EQ(dm->taWork.asString("OB_ISP"), "");

    setExecutor("Нет такого");
    const size_t size = names.size();
    EXPECT_EQ(Executors::remove(dm->taIsp, dm->taWork).size(), size);
    EXPECT_EQ(dm->taWork.asString("OB_ISP"), "Нет такого");
}

TEST_F(AdditionalDataTest, OpeningACalculationShowsExecutorsAnotherProcessAdded) {
    std::vector<std::string> shownList;
    session->refillExecutors = [&] { shownList = Executors::names(dm->taIsp); };
    {
        Table other("other");
        other.setTableName((std::filesystem::path(dataDir()) / "s_isp.DBF").string());
        other.open();
        other.append();
        other.setValue("NAME", Value("Гость Г.Г."));
        other.post();
        other.close();
    }
    files->openCalculation(path("a.vrn"));
    EXPECT_EQ(countOf(shownList, "Гость Г.Г."), 1);
}

TEST_F(AdditionalDataTest, AFolderThatCannotBeStoredExactlyIsNotStored) {
    const std::string kept = "/home/user/Расчеты";
    ASSERT_EQ(CalcFolderSetting::write(dm->taInit, kept), "");
    const std::string refused[] = {"/home/user/Café", "/home/user/ООО «Север»",
                                   "/home/user/" + std::string(300, 'a')};
    for (const std::string& folder : refused) {
        EXPECT_NE(CalcFolderSetting::write(dm->taInit, folder), "") << folder;
        EXPECT_EQ(CalcFolderSetting::read(dm->taInit), kept) << folder;
    }
}

TEST_F(AdditionalDataTest, FolderSettingSurvivesARestart) {
    EXPECT_EQ(CalcFolderSetting::write(dm->taInit, "/home/user/Расчеты"), "");
    EXPECT_EQ(CalcFolderSetting::read(dm->taInit), "/home/user/Расчеты");
    files.reset();
    session.reset();
    dm = std::make_unique<DataModule>();
    dm->setDataDir(dataDir());
    std::string folder;
    dm->onSettingsOpened = [&] { folder = CalcFolderSetting::read(dm->taInit); };
    ASSERT_TRUE(dm->openReferenceTables());
    EXPECT_EQ(folder, "/home/user/Расчеты");
}

} // namespace vorn::test
