// The project's figures from chambers given by hand: annual energy, the bill of materials
// by article, prices, VAT and totals, a chamber that could not be read, an article without
// a price; and the .vrp file's own rules.
#include "project/ChamberLoader.h"
#include "project/ProjectSummary.h"

#include "../data/Fixtures.h"
#include "project/PriceList.h"
#include "project/ProjectFile.h"

#include <gtest/gtest.h>

namespace vorn::test {
namespace {

ChamberFigures chamber(double sumKw, double requiredKw, int n, double systemKw, double powerKw,
                       const char* unit, const char* cooler, const char* cabinet, const char* kit) {
    ChamberFigures f;
    f.sumKw = sumKw;
    f.requiredKw = requiredKw;
    f.system = "А001-1";
    f.systems = n;
    f.systemKw = systemKw;
    f.powerKw = powerKw;
    f.unit = unit;
    f.cooler = cooler;
    f.cabinet = cabinet;
    f.kit = kit;
    return f;
}

struct Hand {
    Project project;
    std::vector<ChamberFigures> figures;
    PriceList prices;
};

// Three chambers: (qty 2, Q 6, n 1, Qs 8, P 3), (qty 1, Q 20, n 2, Qs 5, P 2),
// (qty 3, Q 4, n 1, Qs 12, P 1.5).
Hand threeChambers() {
    Hand h;
    h.project.path = "/site/p.vrp";
    h.project.settings.tariff = 5.5;
    h.project.chambers = {{"a.vrn", 2, "Мясо"}, {"b.vrn", 1, ""}, {"sub/c.vrn", 3, ""}};
    h.figures = {chamber(6, 7.5, 1, 8, 3, "U1", "C1", "S1", "K1"),
                 chamber(20, 22, 2, 5, 2, "U2", "c1", "S1", "K2"),
                 chamber(4, 5, 1, 12, 1.5, "U1", "C3", "S2", "K1")};
    const std::pair<const char*, double> prices[] = {{"U1", 1000.10}, {"U2", 2500}, {"C1", 300.25},
                                                     {"C3", 400},     {"S1", 150},  {"S2", 99.99},
                                                     {"K1", 10},      {"K2", 20.5}};
    for (const auto& [article, price] : prices)
        h.prices.add(article, {std::string("Изделие ") + article, price});
    return h;
}

TEST(ProjectSummary, ThreeChambersAgainstSumsWorkedByHand) {
    const Hand h = threeChambers();
    const ProjectSummary s = ProjectSummaries::summarize(h.project, h.figures, h.prices, {});

    // t = min(24, 24·Q/(n·Qs)): 18 h, 48 → 24 h, 8 h; E = 365·n·P·t·qty.
    ASSERT_EQ(s.chambers.size(), 3u);
    EXPECT_DOUBLE_EQ(*s.chambers[0].hoursPerDay, 18);
    EXPECT_DOUBLE_EQ(*s.chambers[1].hoursPerDay, 24);
    EXPECT_DOUBLE_EQ(*s.chambers[2].hoursPerDay, 8);
    EXPECT_DOUBLE_EQ(*s.chambers[0].energyKwh, 365 * 1 * 3 * 18 * 2);  // 39 420
    EXPECT_DOUBLE_EQ(*s.chambers[1].energyKwh, 365 * 2 * 2 * 24 * 1);  // 35 040
    EXPECT_DOUBLE_EQ(*s.chambers[2].energyKwh, 365 * 1 * 1.5 * 8 * 3); // 13 140
    EXPECT_EQ(s.chambers[2].path, "/site/sub/c.vrn");

    // Pieces n·qty: 2, 2, 3. By article, case folded; units, coolers, cabinets, kits.
    struct Want {
        const char* article;
        long qty;
        double sum;
    };
    const Want want[] = {{"U1", 5, 5000.50}, {"U2", 2, 5000},   {"C1", 4, 1201}, {"C3", 3, 1200},
                         {"S1", 4, 600},     {"S2", 3, 299.97}, {"K1", 5, 50},   {"K2", 2, 41}};
    ASSERT_EQ(s.materials.size(), std::size(want));
    for (size_t i = 0; i < std::size(want); ++i) {
        EXPECT_EQ(s.materials[i].article, want[i].article) << i;
        EXPECT_EQ(s.materials[i].qty, want[i].qty) << want[i].article;
        EXPECT_DOUBLE_EQ(*s.materials[i].sum, want[i].sum) << want[i].article;
        EXPECT_EQ(s.materials[i].name, std::string("Изделие ") + want[i].article);
    }

    const ProjectTotals& t = s.totals;
    EXPECT_DOUBLE_EQ(t.requiredKw, 2 * 7.5 + 22 + 3 * 5);
    EXPECT_DOUBLE_EQ(t.energyKwh, 87600);
    EXPECT_DOUBLE_EQ(*t.runningCost, 481800);
    EXPECT_DOUBLE_EQ(t.equipment, 13392.47);
    EXPECT_DOUBLE_EQ(t.vat, 2678.49); // 20 % of 13 392,47 = 2 678,494
    EXPECT_DOUBLE_EQ(t.total, 16070.96);
    EXPECT_TRUE(t.complete);
    EXPECT_TRUE(s.warnings.empty());

    // The overrides of one run.
    const ProjectSummary o =
        ProjectSummaries::summarize(h.project, h.figures, h.prices, {2.0, 10.0});
    EXPECT_DOUBLE_EQ(*o.totals.runningCost, 175200);
    EXPECT_DOUBLE_EQ(o.totals.vat, 1339.25); // 1 339,247
}

TEST(ProjectSummary, WhatIsLeftOutMakesTheTotalsIncomplete) {
    struct Case {
        const char* name;
        void (*change)(Hand&);
        double energy;
        double equipment;
        const char* flag; // of chamber 2
    };
    const Case cases[] = {
        {"missing chamber",
         [](Hand& h) {
             h.figures[1] = ChamberFigures{};
             h.figures[1].error = "файл не найден";
         },
         39420 + 13140, 13392.47 - 5000 - 2 * 300.25 - 2 * 150 - 41, "файл не найден"},
        {"no system chosen",
         [](Hand& h) {
             h.figures[1].system.clear();
             h.figures[1].systemKw = 0;
         },
         39420 + 13140, 13392.47, "система не выбрана"},
        {"system not in the catalogue", [](Hand& h) { h.figures[1].powerKw.reset(); },
         39420 + 13140, 13392.47, "система не найдена в каталоге"},
        {"article without a price",
         [](Hand& h) {
             PriceList p;
             for (const char* a : {"U1", "U2", "C1", "C3", "S1", "S2", "K1"})
                 p.add(a, *h.prices.find(a));
             h.prices = p;
         },
         87600, 13392.47 - 41, ""},
    };
    for (const Case& c : cases) {
        Hand h = threeChambers();
        c.change(h);
        const ProjectSummary s = ProjectSummaries::summarize(h.project, h.figures, h.prices, {});
        EXPECT_FALSE(s.totals.complete) << c.name;
        EXPECT_FALSE(s.warnings.empty()) << c.name;
        EXPECT_DOUBLE_EQ(s.totals.energyKwh, c.energy) << c.name;
        EXPECT_NEAR(s.totals.equipment, c.equipment, 1e-9) << c.name;
        EXPECT_EQ(s.chambers[1].flag, c.flag) << c.name;
        EXPECT_EQ(s.chambers.size(), 3u) << c.name << ": still listed";
    }
    // The unpriced article stays on the list with its quantity.
    Hand h = threeChambers();
    cases[3].change(h);
    const ProjectSummary s = ProjectSummaries::summarize(h.project, h.figures, h.prices, {});
    EXPECT_EQ(s.materials.back().article, "K2");
    EXPECT_EQ(s.materials.back().qty, 2);
    EXPECT_FALSE(s.materials.back().price);
    EXPECT_EQ(s.materials.back().name, "Набор монтажника");
}

TEST(ProjectSummary, HoursPerDayEdges) {
    EXPECT_DOUBLE_EQ(ProjectSummaries::hoursPerDay(0, 1, 5), 0);
    EXPECT_DOUBLE_EQ(ProjectSummaries::hoursPerDay(-1, 1, 5), 0);
    EXPECT_DOUBLE_EQ(ProjectSummaries::hoursPerDay(5, 1, 5), 24);
    EXPECT_DOUBLE_EQ(ProjectSummaries::hoursPerDay(5, 1, 0), 0);
}

TEST(ProjectFile, KeepsChambersRelativeAndRefusesWhatItCannotHold) {
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "site" / "calc");
    const std::string p = dir.file("site/p.vrp");
    OfferSettings s;
    s.client = "ООО «Холод» €"; // no euro sign in code page 866: refused by name
    try {
        ProjectFile::create(p, s);
        ADD_FAILURE() << "created";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("\"€\""), std::string::npos) << e.what();
    }
    s.client = "ООО «Тест-Холод»"; // guillemets are kept as plain quotes
    s.number = "КП–7";
    ProjectFile::create(p, s);
    EXPECT_THROW(ProjectFile::create(p, s), std::runtime_error) << "an existing file";

    ProjectFile::addChamber(p, dir.file("site/calc/a.vrn"), 2, "Мясо");
    ProjectFile::addChamber(p, dir.file("other.vrn"), 1);
    ProjectFile::addChamber(p, dir.file("site/b.vrn"), 3);
    EXPECT_THROW(ProjectFile::addChamber(p, dir.file("site/c.vrn"), 0), std::runtime_error);
    EXPECT_THROW(ProjectFile::addChamber(p, dir.file("site/é.vrn"), 1), std::runtime_error);
    ProjectFile::removeChamber(p, 2);
    EXPECT_THROW(ProjectFile::removeChamber(p, 3), std::runtime_error);
    ProjectFile::setChamber(p, 2, 4, "Молоко „свежее“");

    const Project loaded = ProjectFile::load(p);
    EXPECT_EQ(loaded.settings.client, "ООО \"Тест-Холод\"");
    EXPECT_EQ(loaded.settings.number, "КП-7");
    EXPECT_NE(loaded.settings.date.year, 0) << "dated when created";
    EXPECT_DOUBLE_EQ(loaded.settings.vatPercent, 20);
    ASSERT_EQ(loaded.chambers.size(), 2u);
    EXPECT_EQ(loaded.chambers[0].file, "calc/a.vrn");
    EXPECT_EQ(loaded.chambers[0].qty, 2);
    EXPECT_EQ(loaded.chambers[0].note, "Мясо");
    EXPECT_EQ(loaded.chambers[1].file, "b.vrn");
    EXPECT_EQ(loaded.chambers[1].qty, 4);
    EXPECT_EQ(loaded.chambers[1].note, "Молоко \"свежее\"");

    // Any other table is not a project.
    EXPECT_THROW(ProjectFile::load(VORN_DATA_DIR "/grups.dbf"), std::runtime_error);
}

} // namespace
} // namespace vorn::test

// One loader reads the chambers of a project again and again (the project window does on
// every activation): a chamber's figures do not depend on the one read before it.
TEST(ChamberLoader, AChamberReadsTheSameAfterAnother) {
    vorn::ChamberLoader loader(VORN_DATA_DIR);
    const std::string cooling = VORN_SOURCE_DIR "/tests/cases/cooling-apples/input.vrn";
    const std::string storage = VORN_DATA_DIR "/vorn.dbf";
    const vorn::ChamberFigures first = loader.load(cooling);
    ASSERT_TRUE(first.error.empty()) << first.error;
    loader.load(storage);
    const vorn::ChamberFigures again = loader.load(cooling);
    EXPECT_EQ(again.sumKw, first.sumKw);
    EXPECT_EQ(again.requiredKw, first.requiredKw);
}
