// Reading needs read access only: a user who may read but not write the calculation and
// DATA calculates, selects, prints and dumps; changes are refused, the window opens the
// calculation read-only.
#include "FilesFixture.h"
#include "app/FileCommands.h"
#include "data/DataModule.h"
#include "data/FileIo.h"
#include "data/Journal.h"
#include "data/Table.h"
#include "document/ControlTable.h"
#include "document/Session.h"

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vorn::test {
namespace {

namespace fs = std::filesystem;

class ReadOnly : public FilesFixture {
protected:
    void SetUp() override {
        if (::geteuid() != 0)
            GTEST_SKIP() << "needs root to drop to another user";
        const passwd* pw = ::getpwnam("nobody");
        if (!pw)
            GTEST_SKIP() << "no user nobody";
        uid = pw->pw_uid;
        gid = pw->pw_gid;
        FilesFixture::SetUp();
        // The calculation and DATA readable by everyone, writable by their owner only.
        fs::copy(VORN_DATA_DIR, dir / "DATA", fs::copy_options::recursive);
        for (const auto& e : fs::directory_iterator(dir / "DATA"))
            fs::permissions(e.path(),
                            fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        fs::permissions(dir / "DATA", fs::perms::owner_all | fs::perms::group_read |
                                          fs::perms::group_exec | fs::perms::others_read |
                                          fs::perms::others_exec);
        fs::permissions(calc,
                        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        dataDir = (dir / "DATA").string();
    }
    std::string asNobody() const {
        return "setpriv --reuid=" + std::to_string(uid) + " --regid=" + std::to_string(gid) +
               " --clear-groups";
    }
    uid_t uid = 0;
    gid_t gid = 0;
};

TEST_F(ReadOnly, CommandsThatReadNeedOnlyReadAccess) {
    const std::string before = readFile(calc);
    const std::string pdf = path("tmp/r.pdf"); // the commands' folder is open to all
    const std::string reading[] = {
        "calc '" + calc + "'",
        "select '" + calc + "'",
        "report '" + calc + "' -o '" + pdf + "'",
        "systems '" + calc + "' -o '" + pdf + "'",
        "dump '" + calc + "'",
        "table list",
        "table export products -o '" + path("tmp/p.csv") + "'",
    };
    for (const std::string& cmd : reading) {
        EXPECT_EQ(vorn(cmd, asNobody()), 0) << cmd << "\n" << err;
        fs::remove(pdf);
        fs::remove(path("tmp/p.csv"));
        EXPECT_EQ(leftovers(), 0) << cmd;
    }
    const std::string writing[] = {"set '" + calc + "' OB_KAMVS=3",
                                   "select '" + calc + "' --choose 1"};
    for (const std::string& cmd : writing) {
        EXPECT_EQ(vorn(cmd, asNobody()), 1) << cmd;
        EXPECT_NE(err.find(calc + ": нет доступа"), std::string::npos) << err;
        EXPECT_EQ(err.find("/tmp/vorn-"), std::string::npos) << "names the user's file: " << err;
    }
    EXPECT_EQ(readFile(calc), before);
}

// A write of the calculation interrupted where its user may only read it: the journal stays
// beside it, and the commands that read read the calculation as it was before that write.
TEST_F(ReadOnly, LeftoverJournalDoesNotStopReading) {
    ASSERT_EQ(vorn("calc --json '" + calc + "'"), 0) << err;
    const std::string expected = out;
    fs::permissions(calc, fs::perms::owner_write, fs::perm_options::add);
    {
        Table t;
        t.setTableName(calc);
        t.open();
        t.edit();
        t.setValue("OB_RGNAIM", Value("Якутск"));
        FileIo::failWritesAfter(1400); // the journal and a part of the record
        EXPECT_THROW(t.post(), DbfError);
        FileIo::failWritesAfter(-1);
        t.cancel();
    }
    fs::permissions(calc, fs::perms::owner_write, fs::perm_options::remove);
    const std::string journal = Journal::pathFor(calc);
    ASSERT_TRUE(fs::exists(journal));
    const std::string torn = readFile(calc), kept = readFile(journal);
    EXPECT_EQ(vorn("calc --json '" + calc + "'", asNobody()), 0) << err;
    EXPECT_EQ(out, expected);
    EXPECT_EQ(readFile(calc), torn);
    EXPECT_EQ(readFile(journal), kept);
    EXPECT_EQ(leftovers(), 0);

    // the same for a reference table of the data folder: read as it was before the write
    const std::string insulation = path("DATA/s_izolm.DBF");
    {
        Table t;
        t.setTableName(insulation);
        t.open();
        t.edit();
        t.setValue("IZ_KTP", Value(9.0));
        // the journal (55 bytes and the old record) and a part of the record
        const std::string bytes = readFile(insulation);
        const long recordLength =
            static_cast<unsigned char>(bytes[10]) | static_cast<unsigned char>(bytes[11]) << 8;
        FileIo::failWritesAfter(55 + recordLength + 3);
        EXPECT_THROW(t.post(), DbfError);
        FileIo::failWritesAfter(-1);
        t.cancel();
    }
    ASSERT_TRUE(fs::exists(Journal::pathFor(insulation)));
    fs::remove(journal);
    writeFile(calc, goodCalculation());
    EXPECT_EQ(vorn("calc --json '" + calc + "'", asNobody()), 0) << err;
    EXPECT_EQ(out, expected);
    EXPECT_TRUE(fs::exists(Journal::pathFor(insulation)));
    EXPECT_EQ(leftovers(), 0);
}

TEST_F(ReadOnly, TheWindowOpensItReadOnlyAndRefusesEdits) {
    const std::string before = readFile(calc);
    // The window's side runs in a child that has dropped to the other user; its exit
    // status is the number of the first check that failed.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
            ::_exit(10);
        int failed = 0;
        try {
            DataModule dm;
            dm.setDataDir(dataDir);
            Session session(dm);
            FileCommands files(session, dm);
            if (!dm.openReferenceTables())
                failed = 11;
            const FileOutcome out = files.openCalculation(calc);
            const ControlSpec* height = findControl("OB_KAMVS");
            if (!failed && out.state != FileOutcome::State::CalculationOpen)
                failed = 12;
            else if (!failed && out.caption.value_or("") != calc + FileCommands::kReadOnlyMark)
                failed = 13;
            else if (!failed && !session.readOnly())
                failed = 14;
            else if (!failed && !session.commitText(*height, "7").refused)
                failed = 15;
            else if (!failed && session.commitText(*height, session.displayText(*height)).refused)
                failed = 16;
            files.endProgram();
        } catch (...) {
            failed = 17;
        }
        ::_exit(failed);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(readFile(calc), before);
}

} // namespace
} // namespace vorn::test
