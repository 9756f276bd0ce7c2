// The bundled catalogues: the fields of a catalogue in their order and kinds, and the rules
// the rows keep (capacity falling with the outside temperature, the cooling flag against
// the temperature difference, every group present, the capacity range covered).
#include "data/CodePage.h"
#include "data/Table.h"
#include "selection/Selection.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace vorn {
namespace {

const char* const kFiles[] = {"kat12.dbf",  "kat8.dbf",   "kat4.dbf",   "kat0.dbf",  "kat-5.dbf",
                              "kat-12.dbf", "kat-18.dbf", "kat-25.dbf", "kat-30.dbf"};

void openData(Table& t, const std::string& file) {
    t.setDatabaseName(VORN_DATA_DIR);
    t.setTableName(file);
    t.setReadOnly(true);
    t.open();
}

TEST(CatalogueData, FieldsInOrderWithTheirKinds) {
    const std::pair<const char*, FieldKind> kFields[] = {
        {"SIS", FieldKind::Text},    {"AGR", FieldKind::Text},   {"VOHL", FieldKind::Text},
        {"Q25", FieldKind::Int},     {"T25", FieldKind::Float},  {"Q30", FieldKind::Int},
        {"T30", FieldKind::Float},   {"Q35", FieldKind::Int},    {"T35", FieldKind::Float},
        {"Q40", FieldKind::Int},     {"T40", FieldKind::Float},  {"PPOT", FieldKind::Float},
        {"IPOT", FieldKind::Float},  {"NABOR", FieldKind::Text}, {"SHKAF", FieldKind::Text},
        {"ID_GRUP", FieldKind::Int}, {"VO", FieldKind::SmallInt}};
    const std::pair<const char*, int> kTextWidths[] = {
        {"SIS", 8}, {"AGR", 30}, {"VOHL", 14}, {"NABOR", 7}, {"SHKAF", 16}};
    for (const char* file : kFiles) {
        Table t;
        openData(t, file);
        ASSERT_EQ(t.fieldCount(), 17) << file;
        for (int i = 0; i < 17; ++i) {
            EXPECT_EQ(t.field(i).name, kFields[i].first) << file;
            EXPECT_EQ(t.field(i).kind, kFields[i].second) << file << " " << kFields[i].first;
        }
        for (auto [name, width] : kTextWidths) {
            for (int i = 0; i < 17; ++i) {
                if (t.field(i).name == name) {
                    EXPECT_EQ(t.field(i).length, width) << file << " " << name;
                }
            }
        }
    }
}

TEST(CatalogueData, RowsKeepTheCatalogueRules) {
    Table groups;
    openData(groups, "grups.dbf");
    for (const char* file : kFiles) {
        Table t;
        openData(t, file);
        EXPECT_GE(t.recordCount(), 36) << file;
        std::set<std::string> codes;
        double minQ = 1e9, maxQ = 0;
        for (t.first(); !t.eof(); t.next()) {
            const std::string sis = t.asString("SIS");
            SCOPED_TRACE(std::string(file) + " " + sis);
            EXPECT_TRUE(codes.insert(sis).second);
            EXPECT_LE(utf8Characters(sis), 6u); // the record keeps six characters
            const double q[] = {t.asDouble("Q25"), t.asDouble("Q30"), t.asDouble("Q35"),
                                t.asDouble("Q40")};
            EXPECT_GT(q[0], q[1]);
            EXPECT_GT(q[1], q[2]);
            EXPECT_GT(q[2], q[3]);
            const double t25 = t.asDouble("T25");
            EXPECT_GE(t25, 5);
            EXPECT_LE(t25, 10);
            // VO = 1 exactly on the rows that keep dT within 7 K at every outside temperature
            bool cooling = true;
            for (const char* f : {"T25", "T30", "T35", "T40"})
                cooling = cooling && t.asDouble(f) <= 7;
            EXPECT_EQ(t.asDouble("VO") == 1, cooling);
            EXPECT_GT(t.asDouble("PPOT"), 0);
            EXPECT_GT(t.asDouble("IPOT"), 0);
            EXPECT_TRUE(groups.locate("ID", t.value("ID_GRUP")));
            minQ = std::min(minQ, q[0]);
            maxQ = std::max(maxQ, q[0]);
        }
        EXPECT_LE(minQ, 1100) << file;
        EXPECT_GE(maxQ, 55000) << file;
    }
}

// With the default band every required capacity of 1.2 … 40 kW per system finds a handful of
// systems in every catalogue at every outside temperature.
TEST(CatalogueData, UsualSelectionsListAHandful) {
    for (const char* file : kFiles) {
        Table t;
        openData(t, file);
        for (int ambient : {25, 30, 35, 40}) {
            for (double w = 1200; w <= 40000; w *= 1.1) {
                const long lo = Selection::bound(90, static_cast<long>(w), 1);
                const long hi = Selection::bound(115, static_cast<long>(w), 1);
                t.setFilter(Selection::filterFor(ambient, lo, hi, false));
                t.setFiltered(true);
                EXPECT_GE(t.recordCount(), 1) << file << " " << ambient << " " << w;
                EXPECT_LE(t.recordCount(), 9) << file << " " << ambient << " " << w;
                t.setFiltered(false);
            }
        }
    }
}

} // namespace
} // namespace vorn
