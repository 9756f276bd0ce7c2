#include "AppFixture.h"
#include "data/Table.h"
#include "data/DbfCreate.h"

#include "data/CalcRecord.h"

#include <fstream>
#include <random>
#include <sstream>

namespace vorn::test {

namespace fs = std::filesystem;

void AppFixture::SetUp() {
    std::random_device rd;
    dir = fs::temp_directory_path() / ("vorn_app_" + std::to_string(rd()));
    fs::create_directories(dir);
    fs::copy(VORN_DATA_DIR, dir / "DATA", fs::copy_options::recursive);
    dm = std::make_unique<DataModule>();
    dm->setDataDir(dataDir());
    std::string error;
    ASSERT_TRUE(dm->openReferenceTables(&error)) << error;
    session = std::make_unique<Session>(*dm);
    session->showMessage = [this](const std::string& m) { shown.push_back(m); };
    files = std::make_unique<FileCommands>(*session, *dm);
}

void AppFixture::TearDown() {
    files.reset();
    session.reset();
    dm.reset();
    std::error_code ec;
    fs::remove_all(dir, ec);
}

std::string AppFixture::readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

Value AppFixture::fieldOf(const std::string& file, const std::string& field) {
    Table t("check");
    configureCalcTable(t);
    t.setTableName(file);
    t.open();
    t.first();
    Value v = t.value(field);
    t.close();
    return v;
}

void writeEarlierLayout(const std::filesystem::path& from, const std::filesystem::path& to, const char* field, const char* text) {
    Table t;
    t.setTableName(from.string());
    t.setReadOnly(true);
    t.open();
    t.first();
    std::vector<DbfFieldSpec> specs;
    DbfRow row;
    for (int i = 0; i < t.fieldCount(); ++i) {
        const FieldInfo f = t.field(i);
        if (isHeaterField(f.name))
            continue;
        specs.push_back({f.name, f.type, f.length, f.decimals});
        row.push_back(field && f.name == field ? Value(text) : t.value(f.name));
    }
    t.close();
    createDbf(to.string(), specs, {row});
}

} // namespace vorn::test
