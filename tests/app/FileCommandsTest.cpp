#include "AppFixture.h"
#include "data/Table.h"

#include <fstream>
#include <functional>

namespace vorn::test {

namespace fs = std::filesystem;
using State = FileOutcome::State;

namespace {
const FileCommands::ConfirmReplace kNo = [](const std::string&) { return false; };
const FileCommands::ConfirmReplace kYes = [](const std::string&) { return true; };
} // namespace

class FileCommandsTest : public AppFixture {
protected:
    // A new calculation with a client name typed in and posted.
    std::string newWithClient(const std::string& name, const std::string& client) {
        const std::string p = path(name);
        FileOutcome out = files->newCalculation(p);
        EXPECT_EQ(out.state, State::CalculationOpen);
        dm->taWork.edit();
        dm->taWork.setValue("KL_NAIM", Value(client));
        return p;
    }
};

TEST_F(FileCommandsTest, NewOpensACopyOfTheTemplate) {
    session->selectionOpened = true;
    const std::string p = path("НовыйРасчет.vrn");
    FileOutcome out = files->newCalculation(p);
    EXPECT_EQ(out.state, State::CalculationOpen);
    EXPECT_EQ(out.caption.value_or(""), p);
    EXPECT_TRUE(out.messages.empty());
    EXPECT_TRUE(session->isOpen());
    EXPECT_EQ(session->path(), p);
    EXPECT_FALSE(session->selectionOpened);
}

TEST_F(FileCommandsTest, NewAsksBeforeReplacingAnExistingFile) {
    const std::string p = newWithClient("a.vrn", "Клиент А");
    files->closeCalculation();
    const std::string before = readFile(p);

    FileOutcome kept = files->newCalculation(p, kNo);
    EXPECT_EQ(kept.state, State::Unchanged);
    EXPECT_EQ(readFile(p), before);
    EXPECT_EQ(fieldOf(p, "KL_NAIM").toString(), "Клиент А");

    FileOutcome replaced = files->newCalculation(p, kYes);
    EXPECT_EQ(replaced.state, State::CalculationOpen);
    files->closeCalculation();
    EXPECT_EQ(fieldOf(p, "KL_NAIM").toString(), "");
}

TEST_F(FileCommandsTest, NewWithoutTemplateClosesThePreviousCalculation) {
    newWithClient("a.vrn", "Остается");
    fs::remove(fs::path(dataDir()) / "vorn.dbf");
    FileOutcome out = files->newCalculation(path("b.vrn"));
    EXPECT_EQ(out.state, State::NoCalculation);
    ASSERT_EQ(out.messages.size(), 1u);
    EXPECT_EQ(out.messages[0], "Не удаётся открыть файл " + files->templatePath() + ": файл не найден");
    EXPECT_FALSE(session->isOpen());
    EXPECT_FALSE(fs::exists(path("b.vrn")));
    // The previous calculation was posted on its way out.
    EXPECT_EQ(fieldOf(path("a.vrn"), "KL_NAIM").toString(), "Остается");
}

TEST_F(FileCommandsTest, OpenOfAGoodFile) {
    const std::string p = newWithClient("a.vrn", "Петров");
    files->closeCalculation();
    session->selectionOpened = true;
    FileOutcome out = files->openCalculation(p);
    EXPECT_EQ(out.state, State::CalculationOpen);
    EXPECT_EQ(out.caption.value_or(""), p);
    EXPECT_TRUE(out.messages.empty());
    EXPECT_FALSE(session->selectionOpened);
    EXPECT_EQ(dm->taWork.asString("KL_NAIM"), "Петров");
}

TEST_F(FileCommandsTest, OpenOfACalculationWhoseRunStopsSaysWhichInput) {
    const std::string p = newWithClient("a.vrn", "Петров");
    dm->taWork.setValue("OB_TIMEWRK", Value(0));
    files->closeCalculation();
    FileOutcome out = files->openCalculation(p);
    EXPECT_EQ(out.state, State::CalculationOpen);
    ASSERT_EQ(out.messages.size(), 1u);
    EXPECT_NE(out.messages[0].find("врем"), std::string::npos) << out.messages[0];
}

TEST_F(FileCommandsTest, AFailedOpenKeepsTheOpenCalculation) {
    const std::string a = newWithClient("a.vrn", "x");
    const std::string junk = path("junk.vrn");
    std::ofstream(junk) << "not a table";
    fs::create_directory(path("folder.vrn"));
    for (const std::string& p : {junk, path("folder.vrn"), path("missing.vrn")}) {
        FileOutcome out = files->openCalculation(p);
        EXPECT_EQ(out.state, State::Unchanged) << p;
        EXPECT_FALSE(out.caption.has_value()) << p;
        ASSERT_EQ(out.messages.size(), 2u) << p;
        EXPECT_EQ(out.messages[0], "Указанный расчет не может быть открыт !");
        EXPECT_NE(out.messages[1].find(p), std::string::npos) << out.messages[1];
        EXPECT_TRUE(session->isOpen());
        EXPECT_EQ(session->path(), a);
        EXPECT_FALSE(dm->taOld.isOpen());
    }
    // With nothing open the window goes back to its start caption.
    files->closeCalculation();
    FileOutcome out = files->openCalculation(junk);
    EXPECT_EQ(out.state, State::NoCalculation);
    EXPECT_EQ(out.caption.value_or(""), "Vorn");
}

TEST_F(FileCommandsTest, SaveUnderTheSamePathPostsAndCopiesNothing) {
    const std::string p = newWithClient("a.vrn", "Сидоров");
    FileOutcome out = files->saveCalculation(p, kNo); // no question for the same file
    EXPECT_EQ(out.state, State::Unchanged);
    EXPECT_EQ(out.caption.value_or(""), p);
    EXPECT_TRUE(session->isOpen());
    EXPECT_EQ(fieldOf(p, "KL_NAIM").toString(), "Сидоров");
    EXPECT_EQ(dm->taWork.asString("KL_NAIM"), "Сидоров");
}

TEST_F(FileCommandsTest, SaveUnderANewPathGoesOnInTheCopy) {
    const std::string a = newWithClient("a.vrn", "Первый");
    const std::string b = path("sub/b.vrn");
    FileOutcome out = files->saveCalculation(b);
    EXPECT_EQ(out.caption.value_or(""), b);
    EXPECT_EQ(session->path(), b);
    EXPECT_EQ(readFile(a), readFile(b));

    dm->taWork.edit();
    dm->taWork.setValue("KL_NAIM", Value("Второй"));
    files->closeCalculation();
    EXPECT_EQ(fieldOf(a, "KL_NAIM").toString(), "Первый");
    EXPECT_EQ(fieldOf(b, "KL_NAIM").toString(), "Второй");
}

TEST_F(FileCommandsTest, SaveOverAnotherFileOnlyWhenConfirmed) {
    const std::string other = newWithClient("other.vrn", "Чужой");
    files->closeCalculation();
    newWithClient("a.vrn", "Свой");
    FileOutcome out = files->saveCalculation(other, kNo);
    EXPECT_EQ(out.state, State::Unchanged);
    EXPECT_TRUE(session->isOpen());
    EXPECT_EQ(session->path(), path("a.vrn"));
    EXPECT_EQ(fieldOf(other, "KL_NAIM").toString(), "Чужой");
}

TEST_F(FileCommandsTest, FailedSaveCopyKeepsTheWorkInTheOriginal) {
    const std::string a = newWithClient("a.vrn", "Не потерять");
    const std::string blocked = a + "/b.vrn"; // a file where a folder should be
    FileOutcome out = files->saveCalculation(blocked);
    EXPECT_EQ(out.state, State::Unchanged); // the work goes on in the current file
    EXPECT_EQ(out.caption.value_or(""), a);
    EXPECT_TRUE(session->isOpen());
    EXPECT_EQ(session->path(), a);
    ASSERT_EQ(out.messages.size(), 2u);
    EXPECT_EQ(out.messages[0].rfind("Не удаётся создать файл " + blocked + ": ", 0), 0u);
    EXPECT_NE(out.messages[1].find(a), std::string::npos);
    EXPECT_EQ(fieldOf(a, "KL_NAIM").toString(), "Не потерять");
}

TEST_F(FileCommandsTest, ProposedSaveName) {
    const std::string a = newWithClient("a.vrn", "");
    EXPECT_EQ(files->proposedSaveName(), a);
    files->saveCalculation(path("calc1.DBF"));
    EXPECT_EQ(files->proposedSaveName(), "calc1");
}

TEST_F(FileCommandsTest, CloseStoresIncludeBoxesAndPendingEdits) {
    const std::string p = newWithClient("a.vrn", "Не сохранено явно");
    session->screen().includeBoxes[2] = false;
    FileOutcome out = files->closeCalculation();
    EXPECT_EQ(out.state, State::NoCalculation);
    EXPECT_FALSE(out.caption.has_value()); // the caption keeps the closed path
    EXPECT_FALSE(session->isOpen());
    EXPECT_FALSE(fieldOf(p, "CH3").toBool());
    EXPECT_TRUE(fieldOf(p, "CH2").toBool());
    EXPECT_EQ(fieldOf(p, "KL_NAIM").toString(), "Не сохранено явно");

    // Reopening shows the stored boxes again.
    files->openCalculation(p);
    EXPECT_FALSE(session->screen().includeBoxes[2]);
    EXPECT_TRUE(session->screen().includeBoxes[0]);

    // Ending the program does what Close does.
    session->screen().includeBoxes[0] = false;
    files->endProgram();
    EXPECT_FALSE(session->isOpen());
    EXPECT_FALSE(fieldOf(p, "CH1").toBool());
}

TEST_F(FileCommandsTest, ARecordHeldByAnotherUserStopsEveryCommandThatWouldWriteIt) {
    const std::string other = path("b.vrn");
    newWithClient("b.vrn", "");
    files->closeCalculation();
    const std::string p = path("a.vrn");
    files->newCalculation(p);
    session->includeBoxClick(3, false);
    const std::pair<const char*, std::function<FileOutcome()>> commands[] = {
        {"close", [&] { return files->closeCalculation(); }},
        {"save", [&] { return files->saveCalculation(p); }},
        {"save as", [&] { return files->saveCalculation(path("c.vrn")); }},
        {"open", [&] { return files->openCalculation(other); }},
        {"new", [&] { return files->newCalculation(path("d.vrn")); }},
    };
    Table holder; // another user's handle holds the record
    holder.setTableName(p);
    holder.open();
    holder.edit();
    const std::string before = readFile(p);
    for (const auto& [what, command] : commands) {
        const FileOutcome out = command();
        EXPECT_TRUE(out.writeRefused) << what;
        EXPECT_EQ(out.state, State::Unchanged) << what;
        ASSERT_EQ(out.messages.size(), 1u) << what;
        EXPECT_NE(out.messages[0].find("занята другим пользователем"), std::string::npos) << what;
        EXPECT_TRUE(session->isOpen()) << what;
        EXPECT_EQ(session->path(), p) << what;
    }
    EXPECT_FALSE(fs::exists(path("c.vrn")));
    EXPECT_FALSE(fs::exists(path("d.vrn")));
    EXPECT_EQ(readFile(p), before);
    holder.cancel();
    EXPECT_EQ(files->closeCalculation().state, State::NoCalculation);
    EXPECT_FALSE(fieldOf(p, "CH3").toBool());
}

} // namespace vorn::test
