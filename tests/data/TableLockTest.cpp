// The record lock of Edit seen from another process, and a table written while other
// handles hold it open.
#include "DbfBytes.h"
#include "data/Table.h"
#include "data/platform/PlatformFile.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

using namespace vorn;
using namespace vorn::test;

namespace {

// lock_holder in a process of its own, holding the lock of one record until release().
class LockHolder {
public:
    LockHolder(const TempDir& dir, const std::string& table, long recNo)
        : ready_(dir.file("ready")), done_(dir.file("done")) {
        thread_ = std::thread([this, table, recNo] {
            status_ = runProgram(VORN_LOCK_HOLDER, {table, std::to_string(recNo), ready_, done_});
        });
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (readFile(ready_).empty() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ~LockHolder() { release(); }
    bool holding() const { return readFile(ready_) == "1"; }
    int release() {
        if (thread_.joinable()) {
            writeFile(done_, "1");
            thread_.join();
        }
        return status_;
    }

private:
    std::string ready_, done_;
    std::thread thread_;
    int status_ = -1;
};

std::string lockError(Table& t) {
    try {
        t.edit();
    } catch (const DbfError& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace

TEST(RecordLocking, AnotherProcessEditingBlocksEditButNotReading) {
    DbfBytes b;
    b.fields = {{"NAME", 'C', 4}};
    b.records = {" aaaa", " bbbb"};
    TempDir dir;
    const std::string p = dir.file("t.dbf");
    writeFile(p, b.bytes());

    LockHolder other(dir, p, 1); // holds the lock on record 1 until released
    ASSERT_TRUE(other.holding());

    Table t;
    t.setTableName(p);
    t.open();
    EXPECT_EQ(t.asString("NAME"), "aaaa"); // readers are not blocked
    EXPECT_EQ(lockError(t), "Record is locked by another user");
    EXPECT_EQ(t.state(), Table::State::Browse);
    t.next();
    EXPECT_NO_THROW(t.edit()); // another record is free
    t.cancel();
    t.append(); // appends take the header lock only
    t.setValue("NAME", Value("cccc"));
    EXPECT_NO_THROW(t.post());

    EXPECT_EQ(other.release(), 0);
    t.first();
    EXPECT_NO_THROW(t.edit());
    t.cancel();
}

// Two handles of one process: the lock belongs to the handle, as for another program.
TEST(RecordLocking, TwoTablesOfOneProcessLockEachOtherOut) {
    DbfBytes b;
    b.fields = {{"NAME", 'C', 4}};
    b.records = {" aaaa"};
    TempDir dir;
    const std::string p = dir.file("t.dbf");
    writeFile(p, b.bytes());
    Table a, c;
    for (Table* t : {&a, &c}) {
        t->setTableName(p);
        t->open();
    }
    a.edit();
    EXPECT_EQ(lockError(c), "Record is locked by another user");
    a.cancel();
    EXPECT_EQ(lockError(c), "(no error)");
    c.cancel();
}

// A whole-table write (an import) against the others: it waits for a record being
// edited, and while it holds the table no record is locked and readers wait for it; a
// reader waiting longer than a few seconds is told so in Russian.
TEST(RecordLocking, WholeTableWriteExcludesEditsAndReaders) {
    DbfBytes b;
    b.fields = {{"NAME", 'C', 4}};
    b.records = {" aaaa", " bbbb"};
    TempDir dir;
    const std::string p = dir.file("t.dbf");
    writeFile(p, b.bytes());
    Table writer, editor, reader;
    for (Table* t : {&writer, &editor, &reader}) {
        t->setTableName(p);
        t->open();
    }
    editor.edit();
    try {
        writer.lockTable(50);
        ADD_FAILURE() << "locked while a record is edited";
    } catch (const DbfError& e) {
        EXPECT_NE(std::string(e.what()).find("занята"), std::string::npos) << e.what();
    }
    editor.cancel();
    writer.lockTable(50);
    EXPECT_EQ(lockError(editor), "Record is locked by another user");
    writer.writeRows({{Value("cccc")}}, false);
    // released while a reader waits: the reader reads the new table
    std::thread release([&writer] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        writer.unlockTable();
    });
    reader.first();
    release.join();
    EXPECT_EQ(reader.asString("NAME"), "cccc");
    EXPECT_EQ(reader.recordCount(), 1);
    // held on: the reader gives up after its wait
    writer.lockTable(50);
    Table late;
    late.setTableName(p);
    try {
        late.open();
        ADD_FAILURE() << "read during a whole-table write";
    } catch (const DbfError& e) {
        EXPECT_NE(std::string(e.what()).find("перезаписывается"), std::string::npos) << e.what();
    }
    writer.unlockTable();
}

// Other programs keep tables open while we write (Windows: no share denied); a Cyrillic
// path goes through the journal as any other.
TEST(RecordLocking, WritesWhileOtherHandlesHoldTheFileOpen) {
    DbfBytes b;
    b.fields = {{"NAME", 'C', 12}};
    b.records = {" aaaa        "};
    TempDir dir;
    const std::string folder = dir.file("Расчёты");
    std::filesystem::create_directory(std::filesystem::u8path(folder));
    const std::string p = folder + "/камера №1.dbf";
    writeFile(p, b.bytes());

    platform::File other;
    ASSERT_FALSE(other.open(p, platform::File::Mode::ReadWrite));
    std::ifstream reader(std::filesystem::u8path(p), std::ios::binary);
    ASSERT_TRUE(reader.is_open());

    Table t;
    t.setTableName(p);
    t.open();
    t.edit();
    t.setValue("NAME", Value("Мясные"));
    t.post();
    t.append();
    t.setValue("NAME", Value("Рыба"));
    t.post();
    t.close();

    char flag = 0;
    ASSERT_EQ(other.readAt(&flag, 1, 33 + 32), 1u);
    EXPECT_EQ(flag, ' ');
    Table again;
    again.setTableName(p);
    again.open();
    EXPECT_EQ(again.asString("NAME"), "Мясные");
    again.next();
    EXPECT_EQ(again.asString("NAME"), "Рыба");
    EXPECT_EQ(again.recordCount(), 2);
    EXPECT_FALSE(platform::fileExists(p + "-journal"));
}
