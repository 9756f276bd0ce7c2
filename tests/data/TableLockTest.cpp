// The record lock of Edit seen from another process.
#include "DbfBytes.h"
#include "data/Table.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vorn;
using namespace vorn::test;

TEST(RecordLocking, AnotherProcessEditingBlocksEditButNotReading) {
    DbfBytes b;
    b.fields = {{"NAME", 'C', 4}};
    b.records = {" aaaa", " bbbb"};
    TempDir dir;
    const std::string p = dir.file("t.dbf");
    writeFile(p, b.bytes());

    int ready[2], done[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(done), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        char c = 0;
        Table t;
        try {
            t.setTableName(p);
            t.open();
            t.edit(); // holds the lock on record 1 until the process ends
            c = 1;
        } catch (...) {
        }
        if (write(ready[1], &c, 1) != 1)
            _exit(2);
        if (read(done[0], &c, 1) != 1)
            _exit(3);
        _exit(0); // the lock goes with the process
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    ASSERT_EQ(c, 1);

    Table t;
    t.setTableName(p);
    t.open();
    EXPECT_EQ(t.asString("NAME"), "aaaa"); // readers are not blocked
    try {
        t.edit();
        ADD_FAILURE() << "edit succeeded";
    } catch (const DbfError& e) {
        EXPECT_STREQ(e.what(), "Record is locked by another user");
    }
    EXPECT_EQ(t.state(), Table::State::Browse);
    t.next();
    EXPECT_NO_THROW(t.edit()); // another record is free
    t.cancel();
    t.append(); // appends take the header lock only
    t.setValue("NAME", Value("cccc"));
    EXPECT_NO_THROW(t.post());

    ASSERT_EQ(write(done[1], &c, 1), 1);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    t.first();
    EXPECT_NO_THROW(t.edit());
    t.cancel();
}
