#pragma once
// A private copy of the bundled DATA in a temporary folder, the data module with every
// reference table open, a session and the file commands over it.
#include "app/FileCommands.h"
#include "document/Session.h"
#include "data/DataModule.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace vorn::test {

class AppFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string path(const std::string& name) const { return (dir / name).string(); }
    std::string dataDir() const { return (dir / "DATA").string(); }
    static std::string readFile(const std::string& path);
    // Opens a file as a calculation in a table of its own and reads one field.
    static Value fieldOf(const std::string& file, const std::string& field);

    std::filesystem::path dir;
    std::unique_ptr<DataModule> dm;
    std::unique_ptr<Session> session;
    std::unique_ptr<FileCommands> files;
    std::vector<std::string> shown; // messages of the session's rules
};

// The calculation table at from written to to in the layout before the heater fields;
// field, when given, holding text.
void writeEarlierLayout(const std::filesystem::path& from, const std::filesystem::path& to,
                        const char* field = nullptr, const char* text = nullptr);

} // namespace vorn::test
