#pragma once
// A copy of the bundled DATA in a temporary folder with a small catalogue kat-18.dbf and
// group table of the test's own, a calculation made from the template and open as taWork,
// and the selection over it. The required capacity is set straight into box 11.
#include "../data/Fixtures.h"
#include "document/Session.h"
#include "data/DataModule.h"
#include "selection/Selection.h"

#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vorn::test {

// One fixture catalogue row: code, Q25 (the other pairs fall from it), T25, VO, group.
struct KatRow {
    std::string sis;
    long q25;
    double t25 = 6;
    int vo = 1;
    int group = 1;
};

class SelectionFixture : public ::testing::Test {
protected:
    // Writes the tables, opens the reference tables and the calculation with these fields.
    void open(const std::vector<KatRow>& rows, const std::map<std::string, Value>& fields);
    // Sets record fields (posted) and the required capacity in kW.
    void setRecord(const std::map<std::string, Value>& fields);
    void setRequired(double kw) { session->results().setBox(11, kw); }
    std::vector<std::string> listed() const;
    std::string field(const std::string& name) const { return dm.taWork.asString(name); }

    TempDir dir;
    DataModule dm;
    std::unique_ptr<Session> session;
    std::unique_ptr<Selection> selection;
};

} // namespace vorn::test
