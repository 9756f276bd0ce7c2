#pragma once
// A new calculation from the bundled template, open in a session over the bundled DATA,
// on a private copy removed at the end.
#include "data/WorkCopy.h"
#include "data/DataModule.h"
#include "document/Session.h"
#include "document/ControlTable.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <string>

namespace vorn {

class BundledCalculation : public ::testing::Test {
protected:
    void SetUp() override {
        dm.setDataDir(VORN_DATA_DIR);
        ASSERT_TRUE(dm.openReferenceTables());
        copy = std::make_unique<WorkCopy>(VORN_DATA_DIR "/vorn.dbf");
        session = std::make_unique<Session>(dm);
        session->openCalculation(copy->path());
    }
    void TearDown() override {
        session.reset();
        dm.closeAll();
    }
    // The file as stored, without the date of the last update (header bytes 1..3).
    std::string fileBytes() const {
        std::ifstream in(copy->path(), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), {});
        return bytes.size() > 4 ? bytes.erase(1, 3) : bytes;
    }
    const ControlSpec& control(const char* name) { return *findControl(name); }

    DataModule dm;
    std::unique_ptr<WorkCopy> copy;
    std::unique_ptr<Session> session;
};

} // namespace vorn
