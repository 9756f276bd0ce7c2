#pragma once
// The open calculation as the program works on it: the data module with the calculation
// table taWork, the screen state, the results of the last recalculation, and the steps
// that run when a calculation is opened or closed. The window and the command line both
// drive this one object; neither repeats these steps.
//
// Every user event enters through one method here (a field committed, an item chosen, a
// box clicked, the full-load button, fields written by the selection or the additional
// data): it checks, writes, runs the control's rule and the recalculation, posts the
// record to the file and returns what changed. What the screen shows is what the file
// holds, and each event is one step of the undo history.
#include "calc/CalcResults.h"
#include "data/Table.h"
#include "data/Value.h"
#include "document/ControlState.h"
#include "document/EditHistory.h"
#include "document/ScreenState.h"
#include "selection/Selection.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vorn {

class DataModule;
struct ControlSpec;

// The line the screen and the report show under a chosen system that no longer fits.
inline constexpr const char* kChoiceMisfit =
    "не соответствует потребной холодопроизводительности";
// The same as a sentence of its own, among the calculation's warnings.
inline constexpr const char* kChoiceMisfitWarning =
    "Выбранное оборудование не соответствует потребной холодопроизводительности";

// The warning for a calculation that holds values outside what its fields accept.
std::string suspectFieldsWarning(const std::vector<std::string>& fields);

// What became of an event. refused: nothing was written and no handler ran (a value
// outside its range, a text that is no number the field can hold, an item that is not in
// the list, a value a field of the record cannot hold); message says why, in the user's
// words. Otherwise changes lists every field the event wrote, with its value before and
// after, and notice may carry a remark for the status line ("Значение ограничено: 24").
struct CommitResult {
    bool refused = false;
    std::string message;
    std::vector<FieldChange> changes;
    std::string notice;

    static CommitResult refusal(std::string why) {
        CommitResult r;
        r.refused = true;
        r.message = std::move(why);
        return r;
    }
};

// A write that the record's lock refused: another program (or another user on the shared
// folder) holds the calculation's record. Nothing of it reached the file, and the
// calculation stays open as it was. Thrown by closeCalculation and openCalculation (when
// the open calculation cannot be closed); events answer a refusal instead.
class WriteRefused : public DbfError {
public:
    using DbfError::DbfError;
};

// Whether a failure of the table layer is its refusal of a record another program (or
// another table of this one) holds.
inline bool recordHeldByAnother(const DbfError& e) {
    return dynamic_cast<const RecordLocked*>(&e) != nullptr;
}

class Session {
public:
    explicit Session(DataModule& dm);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    DataModule& data() { return dm_; }
    const DataModule& data() const { return dm_; }
    ScreenState& screen() { return screen_; }
    const ScreenState& screen() const { return screen_; }
    CalcResults& results() { return results_; }
    const CalcResults& results() const { return results_; }

    bool isOpen() const;
    // Full path of the open (or last opened) calculation file.
    const std::string& path() const { return path_; }

    // Application-wide flag SelectionOpened: set just before the selection window shows,
    // cleared by New, Open and every activation of the main window.
    bool selectionOpened = false;

    // Order of the two rules run after a calculation is loaded.
    enum class OpenOrder {
        OptionBoxThenCategory, // Open
        CategoryThenOptionBox, // New: boxes 1..9 reset to 0 after loading, then the rules
        None                   // Save: open steps only
    };

    // Open and New: clears SelectionOpened, closes an open calculation (close steps), opens
    // path as taWork, runs the open steps (the screen state, product, region and boxes
    // derived from the record), then the two rules in the given order, each ending with
    // the recalculation.
    // The file is checked first (calcFileProblem): a damaged file throws DbfError before
    // the open calculation is closed and before a byte is written.
    // A table-layer failure (not a calculation file, missing file) throws DbfError and
    // leaves taWork closed. An open calculation that cannot be closed (WriteRefused) stays
    // open and path is not opened. A recalculation that stops at an undefined step does
    // not fail the open: the file stays open and results().error holds the message.
    // readFrom, when given, is a private copy of path to read instead: the calculation is
    // then read-only (path() stays the user's file; every edit is refused).
    void openCalculation(const std::string& path,
                         OpenOrder order = OpenOrder::OptionBoxThenCategory,
                         const std::string& readFrom = {});
    // The open calculation may be read but not changed.
    bool readOnly() const { return readOnly_; }
    static constexpr const char* kReadOnlyRefusal =
        "Расчет открыт только для чтения: изменения в него не записываются";
    // The refusal of an event whose record another user holds.
    static constexpr const char* kRecordHeldRefusal =
        "Запись расчета сейчас занята другим пользователем: значение не записано. "
        "Повторите ввод позже.";
    // What WriteRefused says when the calculation could not be closed.
    static constexpr const char* kCloseRefused =
        "Запись расчета сейчас занята другим пользователем: расчет не закрыт, его изменения "
        "не записаны. Повторите позже.";

    // Close: moves to first (posts a pending change), runs the close steps (CH1..CH9 from
    // the include boxes, post) and closes taWork. No-op if closed. A record another user
    // holds throws WriteRefused and leaves the calculation open.
    void closeCalculation();

    // DBEdit1Change: runs the recalculation. Throws CalcError when the run stops at an
    // undefined step (the boxes set before it keep their new values; results().error holds
    // the message too). Does nothing when no calculation is open.
    void recalculate();

    // CheckBox1Click..CheckBox9Click: include box n (1..9) takes the state the user gave
    // it, then the recalculation runs; throws as recalculate(). Other n: nothing happens.
    CommitResult includeBoxClick(int n, bool checked);

    // Result reset of New: boxes 1..9 to 0.
    void resetResults() { results_.resetGainBoxes(); }

    // Input rules that opening a calculation runs. Each ends with the recalculation and
    // throws as recalculate() does.
    void regimeFromRecord(); // RadioGroup1 set from OB_TERMR; runs regimeRule() on a change
    void regimeRule();       // RadioGroup1Click
    void wallsRule();        // chIdentClick
    void optionBoxRule();    // DBCheckBox4Click
    void categoryRule();     // ComboBox1Change
    void productRule();      // DBComboBox1Change

    // Events of the input screen, one per shape of control (see input/ControlTable.h).
    // Each writes the record as its control's rule says, runs the control's handler and
    // so ends with the recalculation (unless the handler is none); a recalculation that
    // stops throws as recalculate() does, after the value was written.
    //
    // Leaving a numeric or whole-number field with typedText in it: the commit rule
    // (VO_PROC refusal, clamping, exactly 0 stored blank, whole fields truncated).
    CommitResult commitText(const ControlSpec& spec, const std::string& typedText);
    // Picking an item of a choice list, closing a lookup list on the row named itemText,
    // or choosing in RadioGroup1, ComboBox1, RadioGroup2. Refused when itemText is not one
    // of listItems(spec).
    CommitResult chooseItem(const ControlSpec& spec, const std::string& itemText);
    // A click on a check box that leaves it in the given state.
    CommitResult clickCheck(const ControlSpec& spec, bool checked);
    // BitBtn1Click: the full-load estimate.
    CommitResult fullLoadClick();

    // The text a control shows now: the record's field (blank when empty, "," as the
    // decimal separator), the chosen item, the volume, the freezing point, Label3.
    std::string displayText(const ControlSpec& spec) const;
    // The state a check box shows now.
    bool checkState(const ControlSpec& spec) const;
    // The items a list offers now: a choice list's texts, a lookup list's names in table
    // order (the product list: only the chosen category). The lookup table keeps its row.
    std::vector<std::string> listItems(const ControlSpec& spec);

    // Input rules run by the controls (besides those above). Each ends with the
    // recalculation and throws as recalculate() does.
    void chamberTemperatureRule(); // DBEdit42Exit
    void regionRule();             // DBLookupComboBox3CloseUp, the region row current
    void regionTemperatureRule();  // DBEdit36Exit
    void stackingHeightRule();     // DBEdit40Exit
    void fullLoadRule();           // BitBtn1Click

    // CurrencyEdit11Change: with SelectionOpened set, empties the chosen system.
    void currencyEdit11Change();

    // Fields the selection or the additional-data dialog writes, as one event named
    // stepName: written, posted, no rule and no recalculation. An unknown field or a value
    // the field cannot hold refuses the whole event.
    CommitResult setFields(const std::string& stepName, const std::vector<FieldValue>& values);
    // The same, as the function the selection writes through. A refusal is shown through
    // showMessage and answers false.
    SelectionWriter selectionWriter();

    // A text of the additional data (KL_NAIM, KL_PRIM, OB_ISP) as typed: one step per field
    // while the user goes on typing in it. Answers the refusal's message, or nothing.
    std::string editAdditionalData(const std::string& field, const std::string& text);

    // The undo history of the open calculation: New, Open and Close clear it.
    const EditHistory& history() const { return history_; }
    // Writes the values of the last step back (or of the last undone one forward) through
    // the same path as an event: written, recalculated, posted. Nothing to do, or the
    // record held by another user: refused, nothing changed.
    CommitResult undo();
    CommitResult redo();
    // Brings back every field and the screen state as the calculation was opened, as one
    // more step ("Вернуть расчет к открытому").
    CommitResult revertToOpened();

    // Fields whose stored value lies outside what its control accepts ("OB_KAMVS = 12000"),
    // found when the calculation was opened; the window warns about them.
    const std::vector<std::string>& suspectFields() const { return suspectFields_; }

    // Whether the chosen systems still fit the required capacity: false when a system is
    // chosen and its capacity × the number of systems lies outside the selection band
    // around box 11. True when nothing is chosen.
    bool choiceFits() const;

    // The reference tables were edited (the air changes, the products, the regions): the
    // recalculation runs as one event, so that what it writes (VN_KR; the chosen system
    // emptied when the capacity moved while the selection was open) is posted and can be
    // undone. A read-only calculation only shows the new figures. Throws CalcError as
    // recalculate() does, after the step is recorded.
    CommitResult referenceDataChanged();

    // What the user must know about the open calculation's figures, as Russian sentences:
    // the screen shows them in red, `vorn calc` prints them, the JSON of calc and set gives
    // them as "warnings", the report prints them. Empty when all is well.
    std::vector<std::string> warnings() const;

    // Listeners of the open calculation (any window may listen): each is called once per
    // event, undo, redo, revert and reference recalculation, after the history is
    // consistent, with what it changed, and once after a calculation is opened or closed
    // (with no changes listed). A refused event changes nothing and tells no one.
    using Listener = std::function<void(const CommitResult&)>;
    int addListener(Listener listener);
    void removeListener(int id);

    // Messages the rules show ("База не открылась !"). Unset: dropped.
    std::function<void(const std::string&)> showMessage;
    // Called while a calculation is opened: the additional-data dialog refills its list of
    // executors.
    std::function<void()> refillExecutors;

private:
    struct Snapshot {
        RecordValues record;
        ScreenState screen;
        CalcResults results;
    };
    Snapshot snapshot() const;
    RecordValues recordValues() const;
    // Runs one user event: body writes and runs its rule; the record is posted at the end.
    // A refusal or a value the record cannot hold undoes every write of the event.
    // mergeWithLast: the step, if the event changed anything, is folded into the last one.
    // A record another program holds refuses the event (kRecordHeldRefusal).
    CommitResult event(const std::string& stepName, const std::function<CommitResult()>& body,
                       bool mergeWithLast = false);
    CommitResult writeFields(const std::string& stepName, const std::vector<FieldValue>& values,
                             bool mergeWithLast);
    void rollback(const Snapshot& before);
    void finishStep(const std::string& stepName, const Snapshot& before, CommitResult& r,
                    bool mergeWithLast);
    // Closes without telling the listeners; false when nothing was open.
    bool closeQuietly();
    // Writes values and the screen state back (undo, redo, revert): recalculated, posted.
    CommitResult applyStep(const RecordValues& values, const ScreenState& screen);
    void restoreTablePositions();
    void post();
    // Writes one field (taking the record into edit); a value the field cannot hold throws
    // a refusal naming the field.
    void put(const std::string& field, const Value& v);
    void findSuspectFields();
    static std::string stepName(const ControlSpec& spec);

    void openSteps();
    void closeSteps();
    void loadProductAndCategory();
    void positionTara();
    void deriveStackingHeight();
    void runRule(const ControlSpec& spec);
    void runRecalculation();

    void notify(const CommitResult& r);

    DataModule& dm_;
    std::vector<std::pair<int, Listener>> listeners_;
    int nextListener_ = 1;
    bool opening_ = false;
    bool readOnly_ = false;
    bool replaying_ = false; // undo, redo, revert: the record is restored as it was
    EditHistory history_;
    Snapshot opened_;
    // The product the opening replaced by its category's first, as {its own name, the
    // name taken}; empty when the record's product was found.
    std::pair<std::string, std::string> replacedProduct_;
    std::vector<std::string> suspectFields_;
    ScreenState screen_;
    CalcResults results_;
    std::string path_;
};

} // namespace vorn
