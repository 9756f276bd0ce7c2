// The open calculation's lifecycle (open, close, recalculation, listeners) and the event
// runner every edit goes through: snapshot, write, post, one step of the history.
#include "document/Session.h"

#include "calc/CalcError.h"
#include "calc/Recalculate.h"
#include "data/CalcRecord.h"
#include "data/DataModule.h"
#include "document/ControlTable.h"
#include "document/SessionDetail.h"
#include "selection/Selection.h"

namespace vorn {

using namespace session_detail;

Session::Session(DataModule& dm) : dm_(dm) {}

Session::~Session() {
    try {
        closeQuietly(); // the listeners may be gone already
    } catch (...) {
        // at the end there is no one left to tell; the table layer already flushed posts
    }
}

bool Session::isOpen() const {
    return dm_.taWork.isOpen();
}

void Session::openCalculation(const std::string& path, OpenOrder order,
                              const std::string& readFrom) {
    selectionOpened = false;
    const std::string problem = calcFileProblem(path);
    if (!problem.empty())
        throw DbfError(problem);
    const bool wasOpen = isOpen();
    closeQuietly();
    Table& work = dm_.taWork;
    work.setDatabaseName("");
    work.setTableName(readFrom.empty() ? path : readFrom);
    path_ = path;
    readOnly_ = !readFrom.empty();
    results_.error.clear();
    opening_ = true;
    try {
        work.open();
        openSteps();
        if (order == OpenOrder::OptionBoxThenCategory) {
            optionBoxRule();
            categoryRule();
        } else if (order == OpenOrder::CategoryThenOptionBox) {
            results_.resetGainBoxes();
            categoryRule();
            optionBoxRule();
        }
    } catch (...) {
        opening_ = false;
        // a half-opened file is closed without writing the include boxes into it
        try {
            work.close();
        } catch (...) {
        }
        if (wasOpen)
            notify({}); // the calculation that was open is closed
        throw;
    }
    opening_ = false;
    post(); // what the open rules wrote
    history_.clear();
    opened_ = snapshot();
    findSuspectFields();
    notify({});
}

void Session::closeCalculation() {
    if (closeQuietly())
        notify({});
}

bool Session::closeQuietly() {
    Table& work = dm_.taWork;
    if (!work.isOpen()) {
        history_.clear();
        suspectFields_.clear();
        return false;
    }
    try {
        work.first(); // posts a pending change
        closeSteps();
    } catch (const DbfError& e) {
        if (!recordHeldByAnother(e))
            throw;
        if (work.state() != Table::State::Browse)
            work.cancel();
        throw WriteRefused(kCloseRefused); // still open, its history kept
    }
    work.close();
    history_.clear();
    suspectFields_.clear();
    return true;
}

void Session::recalculate() {
    runRecalculation();
}

void Session::runRecalculation() {
    if (!dm_.taWork.isOpen())
        return;
    Recalculation run = vorn::recalculate(dm_, screen_.includeBoxes, results_);
    results_ = std::move(run.results);
    // the writes that follow from the run, in the open record
    if (run.ventilationRate && dm_.taWork.asDouble("VN_KR") != *run.ventilationRate)
        put("VN_KR", Value(*run.ventilationRate));
    if (run.capacityChanged && !replaying_)
        currencyEdit11Change();
    // While a calculation is being opened the run's failure does not fail the open: the
    // file is a sound calculation, only its numbers cannot be evaluated.
    if (!results_.error.empty() && !opening_)
        throw CalcError(results_.error);
}

// ---- events ------------------------------------------------------------------------------

RecordValues Session::recordValues() const {
    RecordValues out;
    const Table& work = dm_.taWork;
    for (int i = 0; i < work.fieldCount(); ++i) {
        const FieldInfo f = work.field(i);
        if (!f.calculated)
            out.emplace_back(f.name, work.value(f.name));
    }
    return out;
}

Session::Snapshot Session::snapshot() const {
    return {recordValues(), screen_, results_};
}

void Session::post() {
    Table& work = dm_.taWork;
    if (work.isOpen() && work.state() != Table::State::Browse)
        work.post();
}

void Session::put(const std::string& field, const Value& v) {
    Table& work = dm_.taWork;
    editRecord(work);
    try {
        work.setValue(field, v);
    } catch (const DbfError&) {
        const ControlSpec* spec = findControl(field);
        const std::string what = spec && spec->caption ? std::string(spec->caption) : field;
        if (v.isNumber())
            throw Refusal("Значение " + valueText(v) + " не помещается в поле \"" + what +
                          "\": проверьте введенные данные. Ничего не изменено.");
        throw Refusal("Значение не помещается в поле \"" + what + "\". Ничего не изменено.");
    }
}

void Session::rollback(const Snapshot& before) {
    Table& work = dm_.taWork;
    if (work.isOpen() && work.state() != Table::State::Browse)
        work.cancel();
    screen_ = before.screen;
    results_ = before.results;
    restoreTablePositions();
}

void Session::restoreTablePositions() {
    Table& work = dm_.taWork;
    if (!work.isOpen())
        return;
    Table& prod = dm_.taProd;
    if (prod.isOpen()) {
        prod.setFiltered(false);
        prod.setFilter(categoryFilter(screen_.category));
        prod.setFiltered(true);
        if (!findByName(prod, "NAIM", work.asString("TE_PTIP")))
            prod.first();
    }
    if (dm_.taTara.isOpen())
        positionTara();
    const std::string region = work.asString("OB_RGNAIM");
    if (dm_.taRegion.isOpen() && !region.empty())
        dm_.taRegion.locate("REG_NAIM", Value(region));
}

void Session::finishStep(const std::string& stepName, const Snapshot& before, CommitResult& r,
                         bool mergeWithLast) {
    r.changes = changedFields(before.record, recordValues());
    const bool screenChanged = !(before.screen == screen_);
    // an event that changed nothing leaves the history, and the step before it, alone
    if (!r.changes.empty() || screenChanged) {
        history_.push({stepName, r.changes, before.screen, screen_});
        if (mergeWithLast)
            history_.mergeLast();
    }
    notify(r);
}

int Session::addListener(Listener listener) {
    listeners_.emplace_back(nextListener_, std::move(listener));
    return nextListener_++;
}

void Session::removeListener(int id) {
    for (auto it = listeners_.begin(); it != listeners_.end(); ++it)
        if (it->first == id) {
            listeners_.erase(it);
            return;
        }
}

void Session::notify(const CommitResult& r) {
    // a copy: a listener may add or remove listeners
    const auto listeners = listeners_;
    for (const auto& l : listeners)
        l.second(r);
}

CommitResult Session::event(const std::string& stepName,
                            const std::function<CommitResult()>& body, bool mergeWithLast) {
    if (!isOpen())
        return CommitResult::refusal(kNotOpen);
    if (readOnly_)
        return CommitResult::refusal(kReadOnlyRefusal);
    const Snapshot before = snapshot();
    CommitResult r;
    try {
        r = body();
        if (r.refused) {
            rollback(before);
            return r;
        }
        post();
    } catch (const Refusal& e) {
        rollback(before);
        return CommitResult::refusal(e.what());
    } catch (const CalcError&) {
        // A recalculation that stopped: what was written before it stays, as shown.
        post();
        CommitResult partial;
        finishStep(stepName, before, partial, mergeWithLast);
        throw;
    } catch (const DbfError& e) {
        // the record is held by another program: nothing of the event stays
        rollback(before);
        if (recordHeldByAnother(e))
            return CommitResult::refusal(kRecordHeldRefusal);
        throw;
    } catch (...) {
        // the record could not be locked or written: nothing of the event stays
        rollback(before);
        throw;
    }
    finishStep(stepName, before, r, mergeWithLast);
    return r;
}

CommitResult Session::applyStep(const RecordValues& values, const ScreenState& screen) {
    const Snapshot before = snapshot();
    const int page = screen_.shownPage;
    replaying_ = true;
    CommitResult r;
    try {
        for (const FieldValue& v : values)
            put(v.first, v.second);
        screen_ = screen;
        screen_.shownPage = page;
        restoreTablePositions();
        results_.error.clear();
        runRecalculation();
        post();
    } catch (const CalcError&) {
        // the values are those of a step that was shown: keep them even when the run stops
        post();
    } catch (const DbfError& e) {
        replaying_ = false;
        rollback(before);
        if (recordHeldByAnother(e))
            return CommitResult::refusal(kRecordHeldRefusal);
        throw;
    } catch (...) {
        replaying_ = false;
        rollback(before);
        throw;
    }
    replaying_ = false;
    r.changes = changedFields(before.record, recordValues());
    return r;
}

CommitResult Session::undo() {
    if (!isOpen() || !history_.canUndo())
        return CommitResult::refusal("Нечего отменять");
    const EditStep& step = history_.undoStep();
    CommitResult r = applyStep(step.valuesBefore(), step.screenBefore);
    if (r.refused)
        return r;
    history_.stepBack();
    notify(r);
    return r;
}

CommitResult Session::redo() {
    if (!isOpen() || !history_.canRedo())
        return CommitResult::refusal("Нечего повторять");
    const EditStep& step = history_.redoStep();
    CommitResult r = applyStep(step.valuesAfter(), step.screenAfter);
    if (r.refused)
        return r;
    history_.stepForward();
    notify(r);
    return r;
}

CommitResult Session::revertToOpened() {
    if (!isOpen())
        return CommitResult::refusal(kNotOpen);
    if (readOnly_)
        return CommitResult::refusal(kReadOnlyRefusal);
    const Snapshot before = snapshot();
    CommitResult r = applyStep(opened_.record, opened_.screen);
    if (r.refused)
        return r;
    if (!r.changes.empty() || !(before.screen == screen_))
        history_.push({"Вернуть расчет к открытому", r.changes, before.screen, screen_});
    notify(r);
    return r;
}

CommitResult Session::setFields(const std::string& stepName,
                                const std::vector<FieldValue>& values) {
    return writeFields(stepName, values, false);
}

CommitResult Session::writeFields(const std::string& stepName,
                                  const std::vector<FieldValue>& values, bool mergeWithLast) {
    return event(
        stepName,
        [&] {
            for (const FieldValue& v : values) {
                if (!dm_.taWork.hasField(v.first))
                    return CommitResult::refusal("В расчете нет поля " + v.first);
                put(v.first, v.second);
            }
            return CommitResult{};
        },
        mergeWithLast);
}

std::string Session::editAdditionalData(const std::string& field, const std::string& text) {
    const std::string name = "Дополнительные данные: " + field;
    // typing on in the field the last step wrote makes that step longer
    const bool merge = history_.canUndo() && history_.undoStep().name == name;
    const CommitResult r = writeFields(name, {{field, Value(text)}}, merge);
    return r.refused ? r.message : std::string();
}

CommitResult Session::referenceDataChanged() {
    if (!isOpen())
        return {};
    if (readOnly_) {
        // nothing may be written: the figures follow the new reference data on screen only
        results_ = vorn::recalculate(dm_, screen_.includeBoxes, results_).results;
        notify({});
        return {};
    }
    return event("Пересчет по измененному справочнику", [&] {
        runRecalculation();
        return CommitResult{};
    });
}

SelectionWriter Session::selectionWriter() {
    return [this](const std::string& step, const std::vector<FieldValue>& values) {
        const CommitResult r = setFields(step, values);
        if (r.refused && showMessage)
            showMessage(r.message);
        return !r.refused;
    };
}

} // namespace vorn
