// Every kind of user event is one step of the history: undo puts the file back byte for
// byte, redo brings the event's bytes back, and the results follow.
#include "BundledCalculation.h"

#include <functional>
#include <gtest/gtest.h>

namespace vorn {
namespace {

class Undo : public BundledCalculation {};

struct EventCase {
    const char* what;
    std::function<void(Session&)> prepare; // steps before the one undone
    std::function<CommitResult(Session&)> event;
};

TEST_F(Undo, EachKindOfEventIsUndoneAndRedoneByteForByte) {
    auto text = [](const char* name, const char* value) {
        return [=](Session& s) { return s.commitText(*findControl(name), value); };
    };
    auto item = [](const char* name, const char* value) {
        return [=](Session& s) { return s.chooseItem(*findControl(name), value); };
    };
    const EventCase cases[] = {
        {"height", nullptr, text("OB_KAMVS", "3,5")},
        {"walls rule: row 1 into the other five",
         [](Session& s) {
             s.clickCheck(*findControl("chIdent"), false);
             s.commitText(*findControl("ST_MT1"), "5");
             s.commitText(*findControl("ST_TEM1"), "30");
         },
         [](Session& s) { return s.clickCheck(*findControl("chIdent"), true); }},
        {"category replaces the product", nullptr, item("ComboBox1", "Фрукты")},
        {"full load writes both masses",
         [](Session& s) { s.commitText(*findControl("OB_KAMDL"), "8"); },
         [](Session& s) { return s.fullLoadClick(); }},
        {"regime", nullptr, item("RadioGroup1", "Охлаждение")},
        {"include box", nullptr, [](Session& s) { return s.includeBoxClick(3, false); }},
        {"region and its temperatures", nullptr, item("DBLookupComboBox3", "Казань")},
        {"chosen system", nullptr,
         [](Session& s) {
             return s.setFields("Выбор системы",
                                {{"OBR_AGR", Value("АГР 1")}, {"PROIZSYS", Value(4200.0)}});
         }},
        {"additional data", nullptr,
         [](Session& s) {
             const std::string refusal = s.editAdditionalData("KL_NAIM", "Заря");
             return refusal.empty() ? CommitResult{} : CommitResult::refusal(refusal);
         }},
    };
    for (const EventCase& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        if (c.prepare)
            c.prepare(*session);
        const std::string before = fileBytes();
        const double capacityBefore = session->results().box(11);
        const CommitResult r = c.event(*session);
        ASSERT_FALSE(r.refused) << r.message;
        const std::string after = fileBytes();
        const double capacityAfter = session->results().box(11);
        ASSERT_TRUE(before != after) << "the event is in the file at once";
        ASSERT_TRUE(session->history().canUndo());

        ASSERT_FALSE(session->undo().refused);
        EXPECT_TRUE(fileBytes() == before);
        EXPECT_DOUBLE_EQ(session->results().box(11), capacityBefore);
        ASSERT_FALSE(session->redo().refused);
        EXPECT_TRUE(fileBytes() == after);
        EXPECT_DOUBLE_EQ(session->results().box(11), capacityAfter);
        TearDown();
    }
}

TEST_F(Undo, StepsAreNamedAfterTheControlAndANewEditDropsTheUndoneOnes) {
    session->commitText(control("OB_KAMVS"), "3,5");
    EXPECT_EQ(session->history().undoStep().name, "Высота, (м)");
    session->undo();
    EXPECT_TRUE(session->history().canRedo());
    session->commitText(control("OB_KAMDL"), "7");
    EXPECT_FALSE(session->history().canRedo());
    EXPECT_EQ(session->history().undoStep().name, "Длина, (м)");
}

TEST_F(Undo, RevertBringsBackTheOpenedCalculationAsOneMoreStep) {
    const std::string opened = fileBytes();
    session->commitText(control("OB_KAMVS"), "3,5");
    session->chooseItem(control("ComboBox1"), "Фрукты");
    session->includeBoxClick(2, false);
    const std::string edited = fileBytes();
    ASSERT_FALSE(session->revertToOpened().refused);
    EXPECT_TRUE(fileBytes() == opened);
    EXPECT_EQ(session->screen().category, "Мясные");
    EXPECT_TRUE(session->screen().includeBoxes[1]);
    session->undo();
    EXPECT_TRUE(fileBytes() == edited);
}

TEST_F(Undo, TypingOnInOneTextFieldIsOneStep) {
    for (const char* t : {"З", "За", "Зар", "Заря"})
        session->editAdditionalData("KL_NAIM", t);
    session->undo();
    EXPECT_EQ(dm.taWork.asString("KL_NAIM"), "");
    EXPECT_FALSE(session->history().canUndo());
}

TEST_F(Undo, RefusedValueWritesNothingAndTheNextValueCounts) {
    const std::string before = fileBytes();
    // a height in millimetres: its stacking height would not fit its field
    const CommitResult r = session->commitText(control("OB_KAMVS"), "12000");
    EXPECT_TRUE(r.refused);
    EXPECT_TRUE(fileBytes() == before);
    EXPECT_FALSE(session->history().canUndo());
    ASSERT_FALSE(session->commitText(control("OB_KAMVS"), "5").refused);
    EXPECT_DOUBLE_EQ(dm.taWork.asDouble("OB_KAMVS"), 5.0);
    EXPECT_DOUBLE_EQ(dm.taWork.asDouble("IN_VSHTAB"), 4.5);
}

TEST_F(Undo, OpenAndCloseClearTheHistory) {
    session->commitText(control("OB_KAMVS"), "3,5");
    session->openCalculation(copy->path());
    EXPECT_FALSE(session->history().canUndo());
    session->commitText(control("OB_KAMVS"), "4");
    session->closeCalculation();
    EXPECT_FALSE(session->history().canUndo());
}

// What a listener saw of the history when it was told, and how often it was told.
struct Heard {
    int times = 0;
    bool canUndo = false;
    bool canRedo = false;
};

TEST_F(Undo, ListenersAreToldOnceAfterTheHistoryIsConsistent) {
    auto height = [](Session& s) { s.commitText(*findControl("OB_KAMVS"), "3,5"); };
    const std::pair<const char*, std::function<void(Session&)>> cases[] = {
        {"event", height},
        {"typing on in a text", [](Session& s) { s.editAdditionalData("KL_NAIM", "Заря"); }},
        {"undo", [](Session& s) { s.undo(); }},
        {"redo", [](Session& s) { s.redo(); }},
        {"revert", [](Session& s) { s.revertToOpened(); }},
        {"close", [](Session& s) { s.closeCalculation(); }},
    };
    for (const auto& [what, action] : cases) {
        SCOPED_TRACE(what);
        SetUp();
        session->editAdditionalData("KL_NAIM", "Зар");
        height(*session);
        session->undo();
        Heard heard;
        const int id = session->addListener([&](const CommitResult&) {
            ++heard.times;
            heard.canUndo = session->history().canUndo();
            heard.canRedo = session->history().canRedo();
        });
        action(*session);
        EXPECT_EQ(heard.times, 1);
        EXPECT_EQ(heard.canUndo, session->history().canUndo());
        EXPECT_EQ(heard.canRedo, session->history().canRedo());
        session->removeListener(id);
        TearDown();
    }
    // opening another calculation over an open one: one notice, not one per close and open
    SetUp();
    int times = 0;
    session->addListener([&](const CommitResult&) { ++times; });
    session->openCalculation(copy->path());
    EXPECT_EQ(times, 1);
}

TEST_F(Undo, AdditionalDataThatChangesNothingLeavesTheStepsBeforeAlone) {
    session->commitText(control("OB_KAMVS"), "3,5");
    session->editAdditionalData("KL_NAIM", "Заря");
    session->editAdditionalData("KL_NAIM", "Заря"); // the same text again
    session->undo();
    EXPECT_EQ(dm.taWork.asString("KL_NAIM"), "");
    EXPECT_DOUBLE_EQ(dm.taWork.asDouble("OB_KAMVS"), 3.5);
    EXPECT_EQ(session->history().undoStep().name, "Высота, (м)");
}

TEST_F(Undo, RecordHeldByAnotherUserRefusesEditsAndCloseWithoutWritingThem) {
    session->commitText(control("OB_KAMVS"), "3,5");
    Table other; // another user's handle holds the record
    other.setTableName(copy->path());
    other.open();
    other.edit();
    const std::string before = fileBytes();
    int told = 0;
    session->addListener([&](const CommitResult&) { ++told; });
    const std::pair<const char*, std::function<CommitResult()>> edits[] = {
        {"typed value", [&] { return session->commitText(control("OB_KAMVS"), "4"); }},
        {"chosen item", [&] { return session->chooseItem(control("ComboBox1"), "Фрукты"); }},
        {"include box", [&] { return session->includeBoxClick(3, false); }},
        {"undo", [&] { return session->undo(); }},
        {"revert", [&] { return session->revertToOpened(); }},
    };
    for (const auto& [what, edit] : edits) {
        const CommitResult r = edit();
        EXPECT_TRUE(r.refused) << what;
        EXPECT_EQ(r.message, Session::kRecordHeldRefusal) << what;
    }
    EXPECT_THROW(session->closeCalculation(), WriteRefused);
    EXPECT_TRUE(session->isOpen());
    EXPECT_TRUE(fileBytes() == before);
    EXPECT_EQ(told, 0);
    EXPECT_EQ(session->displayText(control("OB_KAMVS")), "3,5");
    EXPECT_EQ(session->screen().category, "Мясные");
    EXPECT_TRUE(session->screen().includeBoxes[2]);
    EXPECT_EQ(session->history().undoStep().name, "Высота, (м)");

    other.cancel(); // the other user lets go: the same edit goes through
    EXPECT_FALSE(session->commitText(control("OB_KAMVS"), "4").refused);
    EXPECT_NO_THROW(session->closeCalculation());
}

} // namespace
} // namespace vorn
