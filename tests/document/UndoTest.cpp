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

} // namespace
} // namespace vorn
