// The selection rules and one run over a small catalogue: classes, bounds, the band, the
// cooling condition, the choice into the record and the temperatures no catalogue fits.
#include "SelectionFixture.h"

#include <cstring>
#include <filesystem>
#include <gmock/gmock.h>

namespace vorn::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(SelectionRules, CatalogueByChamberTemperature) {
    const struct {
        double t;
        const char* file; // nullptr: none
        const char* caption;
    } cases[] = {
        {30, "kat12.dbf", "+12"},   {11, "kat12.dbf", "+12"},   {10, "kat8.dbf", "+8"},
        {7, "kat8.dbf", "+8"},      {6, "kat4.dbf", "+4"},      {3, "kat4.dbf", "+4"},
        {2, "kat0.dbf", "0"},       {-2, "kat0.dbf", "0"},      {-3, "kat-5.dbf", "-5"},
        {-8, "kat-5.dbf", "-5"},    {-9, "kat-12.dbf", "-12"},  {-14, "kat-12.dbf", "-12"},
        {-15, "kat-18.dbf", "-18"}, {-21, "kat-18.dbf", "-18"}, {-22, "kat-25.dbf", "-25"},
        {-27, "kat-25.dbf", "-25"}, {-28, "kat-30.dbf", "-30"}, {-44, "kat-30.dbf", "-30"},
        {-45, nullptr, nullptr},    {31, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        const CatalogueClass* cls = Selection::catalogueFor(c.t);
        if (!c.file) {
            EXPECT_EQ(cls, nullptr) << c.t;
            continue;
        }
        ASSERT_NE(cls, nullptr) << c.t;
        EXPECT_STREQ(cls->file, c.file) << c.t;
        EXPECT_STREQ(cls->caption, c.caption) << c.t;
    }
}

TEST(SelectionRules, AmbientClassByOutsideTemperature) {
    const std::pair<double, int> cases[] = {{0, 25},  {27, 25}, {28, 30}, {32, 30}, {33, 35},
                                            {37, 35}, {38, 40}, {49, 40}, {50, 0},  {-1, 0}};
    for (auto [t, cls] : cases)
        EXPECT_EQ(Selection::ambientClassFor(t), cls) << t;
}

TEST(SelectionRules, BoundsRoundTiesToEven) {
    const struct {
        double kw;
        int systems;
        long watts, lo, hi;
    } cases[] = {
        {10.10, 4, 10100, 2272, 2904}, // 2272.5 and 2903.75
        {10.00, 3, 10000, 3000, 3833}, // 3833.33
        {10.00, 1, 10000, 9000, 11500}, {10.00, 2, 10000, 4500, 5750}, {0, 1, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const long w = Selection::requiredWatts(c.kw);
        EXPECT_EQ(w, c.watts) << c.kw;
        EXPECT_EQ(Selection::bound(90, w, c.systems), c.lo) << c.kw << " / " << c.systems;
        EXPECT_EQ(Selection::bound(115, w, c.systems), c.hi) << c.kw << " / " << c.systems;
    }
}

TEST(SelectionRules, PercentagesOutOfRangeOrUnreadable) {
    const struct {
        const char* text;
        double lower, upper; // as the lower box and as the upper box take it
    } cases[] = {{"95", 95, 100}, {"250", 100, 200},  {"", 60, 100},    {"abc", 60, 100},
                 {"50", 60, 100}, {" 120", 100, 120}, {"9,5", 60, 100}, {"1e2", 100, 100}};
    for (const auto& c : cases) {
        EXPECT_EQ(Selection::percentValue(c.text, 60, 100), c.lower) << c.text;
        EXPECT_EQ(Selection::percentValue(c.text, 100, 200), c.upper) << c.text;
    }
}

TEST(SelectionRules, FilterTextAndCoolingCondition) {
    EXPECT_EQ(Selection::filterFor(25, 9000, 11500, false), "Q25 >= 9000 and Q25 <= 11500");
    EXPECT_EQ(Selection::filterFor(40, 4500, 5750, true),
              "Q40 >= 4500 and Q40 <= 5750 and T40 <= 7 and VO = 1");
    EXPECT_TRUE(Selection::coolingApplies("Охлаждение", 7));
    EXPECT_FALSE(Selection::coolingApplies("Охлаждение", 8));
    EXPECT_FALSE(Selection::coolingApplies("Хранение", -18));
    EXPECT_FALSE(Selection::coolingApplies("охлаждение", 2)); // exactly as stored
}

class SelectionRun : public SelectionFixture {
protected:
    void SetUp() override {
        open({{"A", 8999},
              {"B", 9000},
              {"C", 10000, 8, 0},
              {"D", 11500, 6, 1, 2},
              {"E", 11501},
              {"LONGCODE", 10500, 6, 1, 7}},
             {{"OB_TEMKAM", -18}, {"OB_RGTMAX", 25}, {"OB_TERMR", "Хранение"}, {"KOLSYS", 1}});
        setRequired(10.00);
    }
};

TEST_F(SelectionRun, ListsTheBandInclusiveWithTheFirstRowCurrent) {
    EXPECT_EQ(selection->run(), Selection::Outcome::Listed);
    EXPECT_EQ(selection->catalogueFile(), "kat-18.dbf");
    EXPECT_EQ(selection->classCaption(), "-18");
    EXPECT_EQ(selection->ambientClass(), 25);
    EXPECT_EQ(selection->filterText(), "Q25 >= 9000 and Q25 <= 11500");
    EXPECT_THAT(listed(), ElementsAre("B", "C", "D", "LONGCODE"));
    EXPECT_EQ(selection->currentRow(), 0);
    EXPECT_EQ(selection->groupLine1(), "Группа один");
    EXPECT_TRUE(selection->catalogue().filtered());
}

TEST_F(SelectionRun, CoolingBelowEightAdmitsOnlyCoolingRows) {
    setRecord({{"OB_TERMR", "Охлаждение"}, {"OB_TEMKAM", -18}});
    selection->run();
    EXPECT_THAT(listed(), ElementsAre("B", "D", "LONGCODE")); // C has VO = 0 and dT 8
}

TEST_F(SelectionRun, PairFollowsTheAmbientClassAndTheBandTheSystems) {
    setRecord({{"OB_RGTMAX", 38}, {"KOLSYS", 2}});
    setRequired(20.00);
    selection->lowerPercentText = "";    // 60
    selection->upperPercentText = "250"; // 200
    selection->run();
    EXPECT_EQ(selection->shownPair(), 40);
    EXPECT_EQ(selection->qField(), "Q40");
    EXPECT_EQ(selection->tCaption(), "dT +40°С");
    EXPECT_EQ(selection->lo(), 6000);
    EXPECT_EQ(selection->hi(), 20000);
    EXPECT_EQ(selection->rows().size(), 6u);
    EXPECT_EQ(selection->rows()[0].q, 8999 - 300); // the shown pair's capacity
}

TEST_F(SelectionRun, TemperatureOutsideEveryClassListsNothing) {
    selection->run();
    setRecord({{"OB_TEMKAM", 35}});
    EXPECT_EQ(selection->run(), Selection::Outcome::NoCatalogue);
    EXPECT_THAT(selection->rows(), IsEmpty());
    EXPECT_FALSE(selection->catalogue().isOpen());
    EXPECT_FALSE(selection->canChoose());
    EXPECT_EQ(selection->classCaption(), "-18"); // kept for the heading of the systems list
    EXPECT_NE(selection->noCatalogueText().find("35"), std::string::npos);

    setRecord({{"OB_TEMKAM", -18}, {"OB_RGTMAX", 50}});
    EXPECT_EQ(selection->run(), Selection::Outcome::NoCatalogue);
    EXPECT_EQ(selection->shownPair(), 25);
    EXPECT_TRUE(selection->filterText().empty());
}

TEST_F(SelectionRun, MissingCatalogueFailsWithNothingListed) {
    selection->run();
    std::filesystem::remove(dir.file("kat-18.dbf"));
    EXPECT_THROW(selection->run(), DbfError);
    EXPECT_EQ(selection->outcome(), Selection::Outcome::NotRun);
    EXPECT_FALSE(selection->canChoose());
}

TEST_F(SelectionRun, EmptyBandCannotBeChosen) {
    setRequired(0);
    setRecord({{"SIS", "OLD"}, {"OBR_AGR", "старый"}});
    EXPECT_EQ(selection->run(), Selection::Outcome::Empty);
    EXPECT_FALSE(selection->canChoose());
    EXPECT_FALSE(selection->choose());
    EXPECT_EQ(field("OBR_AGR"), "старый");
}

TEST_F(SelectionRun, ChooseWritesOneSystemAndCapacityChangeEmptiesIt) {
    setRecord({{"KOLSYS", 3}});
    setRequired(30.00); // 9000 ... 11500 per system
    selection->run();
    selection->setCurrentRow(3); // LONGCODE, group 7 is missing
    EXPECT_EQ(selection->groupLine1(), "");
    ASSERT_TRUE(selection->choose());
    EXPECT_EQ(dm.taWork.state(), Table::State::Browse); // posted by the choice itself
    EXPECT_EQ(field("SIS"), "LONGCO");
    EXPECT_EQ(field("OBR_NAIM"), ","); // ", " with its blank read back as the field's padding
    EXPECT_EQ(field("OBR_AGR"), "АГР LONGCODE");
    EXPECT_EQ(field("OBR_VO"), "ВО LONGCODE");
    EXPECT_EQ(field("OBR_SHKAF"), "ШУ-3ф-10А");
    EXPECT_EQ(field("OBR_KMONT"), "НМ-1");
    EXPECT_EQ(dm.taWork.asDouble("PROIZSYS"), 10500);

    selection->setCurrentRow(2);
    selection->choose();
    EXPECT_EQ(field("OBR_NAIM"), "Группа два, Подгруппа два");

    session->selectionOpened = false;
    session->currencyEdit11Change();
    EXPECT_EQ(field("OBR_AGR"), "АГР D");
    session->selectionOpened = true;
    session->currencyEdit11Change();
    for (const char* f : {"OBR_NAIM", "OBR_AGR", "OBR_VO", "OBR_SHKAF", "OBR_KMONT"})
        EXPECT_EQ(field(f), "") << f;
    EXPECT_EQ(dm.taWork.asDouble("PROIZSYS"), 0);
    EXPECT_EQ(field("SIS"), "D");
}

TEST_F(SelectionRun, SystemsAndChosenBoxesStoreTyping) {
    const std::pair<const char*, double> systems[] = {{"3", 3}, {"0", 0}, {"", 0}};
    for (const auto& [text, stored] : systems) {
        ASSERT_TRUE(selection->storeSystems(text)) << text;
        EXPECT_EQ(dm.taWork.asDouble("KOLSYS"), stored) << text;
    }
    EXPECT_FALSE(selection->storeSystems("12"));
    EXPECT_FALSE(selection->storeSystems("x"));

    EXPECT_TRUE(selection->storeChosenField("PROIZSYS", "4500"));
    EXPECT_EQ(dm.taWork.asDouble("PROIZSYS"), 4500);
    EXPECT_FALSE(selection->storeChosenField("PROIZSYS", "45 кВт"));
    EXPECT_EQ(dm.taWork.asDouble("PROIZSYS"), 4500);
    EXPECT_TRUE(selection->storeChosenField("SIS", "ABCDEFGH"));
    EXPECT_EQ(field("SIS"), "ABCDEF");
}

} // namespace
} // namespace vorn::test
