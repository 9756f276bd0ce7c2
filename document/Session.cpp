#include "document/Session.h"

#include "calc/CalcError.h"
#include "calc/NumberFormat.h"
#include "calc/Recalculate.h"
#include "data/CalcRecord.h"
#include "data/DataModule.h"
#include "document/ControlTable.h"
#include "selection/Selection.h"

#include <algorithm>
#include <cmath>

namespace vorn {

namespace {
const char* const kDefaultCategory = "Мясные";

void editRecord(Table& t) {
    if (t.state() == Table::State::Browse)
        t.edit();
}

// A value the event wrote that a field of the record cannot hold: the event is undone and
// refused with this message.
struct Refusal : std::runtime_error {
    using std::runtime_error::runtime_error;
};

const char* const kNotOpen = "Расчет не открыт";
Value currentName(const Table& t) {
    return t.eof() ? Value() : t.value("NAIM");
}

// The product filter for a category: rows whose TIP is exactly that text. A quote inside
// the text is doubled, so a typed "'" is a literal character (matching no category)
// instead of ending the literal and breaking the expression.
std::string categoryFilter(const std::string& category) {
    std::string literal;
    for (char c : category) {
        literal += c;
        if (c == '\'')
            literal += '\'';
    }
    return "TIP='" + literal + "'";
}
} // namespace

Session::Session(DataModule& dm) : dm_(dm) {
    dm_.taWork.afterOpen = [this](Table&) { openSteps(); };
    dm_.taWork.beforeClose = [this](Table&) { closeSteps(); };
}

Session::~Session() {
    try {
        closeCalculation();
    } catch (...) {
        // at the end there is no one left to tell; the table layer already flushed posts
    }
    dm_.taWork.afterOpen = nullptr;
    dm_.taWork.beforeClose = nullptr;
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
    closeCalculation();
    Table& work = dm_.taWork;
    work.setDatabaseName("");
    work.setTableName(readFrom.empty() ? path : readFrom);
    path_ = path;
    readOnly_ = !readFrom.empty();
    results_.error.clear();
    opening_ = true;
    try {
        work.open(); // the open steps run in the afterOpen hook
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
        if (work.isOpen()) {
            // a half-opened file is closed without writing the include boxes into it
            auto hook = std::move(work.beforeClose);
            work.beforeClose = nullptr;
            try {
                work.close();
            } catch (...) {
            }
            work.beforeClose = std::move(hook);
        }
        throw;
    }
    opening_ = false;
    post(); // what the open rules wrote
    history_.clear();
    opened_ = snapshot();
    findSuspectFields();
    notify(CommitResult{});
}

void Session::closeCalculation() {
    history_.clear();
    suspectFields_.clear();
    Table& work = dm_.taWork;
    if (!work.isOpen())
        return;
    work.first(); // posts a pending change
    work.close(); // the close steps run in the beforeClose hook
    notify(CommitResult{});
}

void Session::recalculate() {
    runRecalculation();
}

CommitResult Session::referenceDataChanged() {
    if (isOpen() && readOnly_) {
        // nothing is written into a calculation opened for reading: the figures follow
        runRecalculation();
        notify(CommitResult{});
        return {};
    }
    return event("Изменение справочников", [this] {
        runRecalculation();
        return CommitResult{};
    });
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

void Session::finishStep(const std::string& stepName, const Snapshot& before, CommitResult& r) {
    r.changes = changedFields(before.record, recordValues());
    const bool screenChanged = !(before.screen == screen_);
    if (!r.changes.empty() || screenChanged)
        history_.push({stepName, r.changes, before.screen, screen_});
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
                            const std::function<CommitResult()>& body) {
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
        finishStep(stepName, before, partial);
        throw;
    } catch (...) {
        // the record could not be locked or written: nothing of the event stays
        rollback(before);
        throw;
    }
    finishStep(stepName, before, r);
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
    } catch (...) {
        replaying_ = false;
        rollback(before);
        throw;
    }
    replaying_ = false;
    r.changes = changedFields(before.record, recordValues());
    notify(r);
    return r;
}

CommitResult Session::undo() {
    if (!isOpen() || !history_.canUndo())
        return CommitResult::refusal("Нечего отменять");
    const EditStep& step = history_.undoStep();
    CommitResult r = applyStep(step.valuesBefore(), step.screenBefore);
    history_.stepBack();
    return r;
}

CommitResult Session::redo() {
    if (!isOpen() || !history_.canRedo())
        return CommitResult::refusal("Нечего повторять");
    const EditStep& step = history_.redoStep();
    CommitResult r = applyStep(step.valuesAfter(), step.screenAfter);
    history_.stepForward();
    return r;
}

CommitResult Session::revertToOpened() {
    if (!isOpen())
        return CommitResult::refusal(kNotOpen);
    const Snapshot before = snapshot();
    CommitResult r = applyStep(opened_.record, opened_.screen);
    if (!r.changes.empty() || !(before.screen == screen_))
        history_.push({"Вернуть расчет к открытому", r.changes, before.screen, screen_});
    return r;
}

CommitResult Session::setFields(const std::string& stepName,
                                const std::vector<FieldValue>& values) {
    return event(stepName, [&] {
        for (const FieldValue& v : values) {
            if (!dm_.taWork.hasField(v.first))
                return CommitResult::refusal("В расчете нет поля " + v.first);
            put(v.first, v.second);
        }
        return CommitResult{};
    });
}

std::string Session::editAdditionalData(const std::string& field, const std::string& text) {
    const std::string name = "Дополнительные данные: " + field;
    const bool merge = history_.canUndo() && history_.undoStep().name == name;
    const CommitResult r = setFields(name, {{field, Value(text)}});
    if (!r.refused && merge)
        history_.mergeLast();
    return r.refused ? r.message : std::string();
}

SelectionWriter Session::selectionWriter() {
    return [this](const std::string& step, const std::vector<FieldValue>& values) {
        const CommitResult r = setFields(step, values);
        if (r.refused && showMessage)
            showMessage(r.message);
        return !r.refused;
    };
}

bool Session::choiceFits() const {
    const Table& work = dm_.taWork;
    if (!work.isOpen())
        return true;
    const double q = work.asDouble("PROIZSYS");
    if (work.asString("OBR_NAIM").empty() && q == 0)
        return true;
    const long n = static_cast<long>(work.asDouble("KOLSYS"));
    const int systems = n < 1 ? 1 : static_cast<int>(n);
    const long watts = Selection::requiredWatts(results_.box(11));
    const long lo = Selection::bound(Selection::kLowerDefault, watts, systems);
    const long hi = Selection::bound(Selection::kUpperDefault, watts, systems);
    return q >= static_cast<double>(lo) && q <= static_cast<double>(hi);
}

std::string suspectFieldsWarning(const std::vector<std::string>& fields) {
    std::string list;
    for (const std::string& f : fields)
        list += (list.empty() ? "" : ", ") + f;
    return "В расчете есть значения вне допустимых пределов: " + list +
           ". Проверьте их: результаты расчета могут быть неверны.";
}

void Session::findSuspectFields() {
    suspectFields_.clear();
    const Table& work = dm_.taWork;
    for (const ControlSpec& spec : screenControls()) {
        if (!spec.isNumber() || !spec.field || !spec.refusesOutOfRange)
            continue;
        const Value v = work.value(spec.field);
        if (v.isNull())
            continue;
        // 0 is how a field left empty reads
        const double d = v.toDouble();
        if (!std::isfinite(d) || (d != 0 && (d < spec.lo || d > spec.hi)))
            suspectFields_.push_back(std::string(spec.field) + " = " + valueText(v));
    }
}

void Session::openSteps() {
    Table& work = dm_.taWork;
    // The bound box "По первой строке" shows the record; turning on, it copies row 1.
    const bool ident = work.asBool("ST_IDENT");
    if (ident != screen_.identShown) {
        screen_.identShown = ident;
        if (ident)
            wallsRule();
    }
    regimeFromRecord();
    loadProductAndCategory();
    // A record of the region "Другой" opens with its climate fields ready for typing;
    // any other region's climate comes from the region list.
    const std::string region = work.asString("OB_RGNAIM");
    screen_.regionFieldsEnabled = region == ScreenState::kOtherRegion;
    if (!region.empty())
        dm_.taRegion.locate("REG_NAIM", Value(region));
    if (refillExecutors)
        refillExecutors();
    // Bound and include boxes whose shown state changes run their click handlers.
    for (size_t i = 0; i < screen_.optionBoxesShown.size(); ++i) {
        const bool on = work.asBool(ScreenState::kOptionBoxFields[i]);
        if (on != screen_.optionBoxesShown[i]) {
            screen_.optionBoxesShown[i] = on;
            optionBoxRule();
        }
    }
    for (size_t i = 0; i < screen_.includeBoxes.size(); ++i) {
        const bool on = work.asBool("CH" + std::to_string(i + 1));
        if (on != screen_.includeBoxes[i]) {
            screen_.includeBoxes[i] = on;
            runRecalculation();
        }
    }
}

void Session::closeSteps() {
    if (readOnly_)
        return; // nothing of a file that may not be written is written back
    Table& work = dm_.taWork;
    editRecord(work);
    for (int i = 0; i < 9; ++i)
        work.setValue("CH" + std::to_string(i + 1),
                      Value(screen_.includeBoxes[static_cast<size_t>(i)]));
    work.post();
}

void Session::loadProductAndCategory() {
    Table& work = dm_.taWork;
    Table& prod = dm_.taProd;
    prod.setFiltered(false);
    prod.first();
    if (findByName(prod, "NAIM", work.asString("TE_PTIP"))) {
        screen_.category = prod.asString("TIP");
    } else {
        screen_.category = kDefaultCategory;
        prod.first();
        put("TE_PTIP", currentName(prod));
    }
    positionTara();
    deriveStackingHeight();
}

void Session::deriveStackingHeight() {
    // The chamber height less 0.5 m, in fixed point with four decimals; 0 below 0.5 m.
    const double height = dm_.taWork.asDouble("OB_KAMVS");
    double stacking = 0;
    if (!(height < 0.5))
        stacking = (std::nearbyint(height * 10000) - 5000) / 10000;
    put("IN_VSHTAB", Value(stacking));
}

void Session::positionTara() {
    findByName(dm_.taTara, "NAIM", dm_.taWork.asString("TE_TTIP"));
}

void Session::regimeFromRecord() {
    const int index = dm_.taWork.asString("OB_TERMR") == ScreenState::kStorage ? 0 : 1;
    if (index == screen_.regimeIndex)
        return;
    screen_.regimeIndex = index;
    regimeRule();
}

void Session::regimeRule() {
    put("OB_TERMR", Value(screen_.regimeText()));
    screen_.applyRegimeCaptions();
    runRecalculation();
}

void Session::wallsRule() {
    Table& work = dm_.taWork;
    if (screen_.identShown) {
        for (int n = 2; n <= 6; ++n) {
            const std::string s = std::to_string(n);
            for (const char* f : {"ST_M", "ST_MT", "ST_IZ", "ST_IZT", "ST_TEM"})
                put(f + s, work.value(std::string(f) + "1"));
        }
    }
    runRecalculation();
}

void Session::optionBoxRule() {
    Table& work = dm_.taWork;
    if (!work.isOpen())
        return;
    screen_.vnKrEnabled = work.asBool("VN_FLAG");
    const bool refined = work.asBool("VO_UTOCH");
    screen_.voKolvoEnabled = refined;
    screen_.voPowEnabled = refined;
    screen_.voProcEnabled = !refined;
    if (work.asBool("OS_REC")) {
        // the recommended lighting power, W/m²
        screen_.osPowEnabled = false;
        put("OS_POW", Value(5));
    } else {
        screen_.osPowEnabled = true;
    }
    runRecalculation();
}

void Session::categoryRule() {
    Table& work = dm_.taWork;
    Table& prod = dm_.taProd;
    prod.setFiltered(false);
    prod.setFilter(categoryFilter(screen_.category));
    prod.setFiltered(true);
    if (!findByName(prod, "NAIM", work.asString("TE_PTIP"))) {
        prod.first();
        put("TE_PTIP", currentName(prod));
    }
    productRule();
}

void Session::productRule() {
    Table& work = dm_.taWork;
    if (!work.isOpen()) {
        if (showMessage)
            showMessage("База не открылась !");
        return;
    }
    Table& prod = dm_.taProd;
    if (!findByName(prod, "NAIM", work.asString("TE_PTIP"))) {
        prod.first();
        put("TE_PTIP", currentName(prod));
    }
    positionTara();
    runRecalculation();
}

void Session::chamberTemperatureRule() {
    Table& work = dm_.taWork;
    // in storage the product and the packaging end at the chamber temperature
    if (work.asString("OB_TERMR") == ScreenState::kStorage) {
        const Value t = work.value("OB_TEMKAM");
        put("TE_PT1", t);
        put("TE_TT1", t);
    }
    runRecalculation();
}

void Session::regionRule() {
    Table& work = dm_.taWork;
    if (work.asString("OB_RGNAIM") == ScreenState::kOtherRegion) {
        screen_.regionFieldsEnabled = true;
    } else {
        const Table& region = dm_.taRegion;
        put("OB_RGTMAX", region.eof() ? Value() : region.value("REG_TEM"));
        put("OB_RGVLAJ", region.eof() ? Value() : region.value("REG_VLAJ"));
        screen_.regionFieldsEnabled = false;
    }
    regionTemperatureRule();
}

void Session::regionTemperatureRule() {
    const Value t = dm_.taWork.value("OB_RGTMAX");
    for (int n = 1; n <= 6; ++n)
        put("ST_TEM" + std::to_string(n), t);
    runRecalculation();
}

void Session::stackingHeightRule() {
    deriveStackingHeight();
    runRecalculation();
}

void Session::fullLoadRule() {
    Table& work = dm_.taWork;
    // share of the chamber a full load takes: 0.7 at a slow turnover, 0.5 at a fast one
    const double f = screen_.turnoverSpeed == 0 ? 0.7 : 0.5;
    const double mass = work.asDouble("OB_KAMDL") * work.asDouble("OB_KAMSH") *
                        work.asDouble("IN_VSHTAB") * work.asDouble("IN_PLOTN") * f;
    // whole kilograms, an exact half to the even neighbour (the default rounding mode)
    put("TE_PMAS", Value(std::nearbyint(mass)));
    // in storage a tenth of the stored mass turns over daily
    const double turnover = work.asString("OB_TERMR") == ScreenState::kStorage ? 0.1 * mass : mass;
    put("TE_POBOR", Value(std::nearbyint(turnover)));
    runRecalculation();
}

void Session::runRule(const ControlSpec& spec) {
    switch (spec.rule) {
    case ControlRule::None:
        return;
    case ControlRule::Recalculation:
    case ControlRule::IncludeBox:
        runRecalculation();
        return;
    case ControlRule::Region:
        regionRule();
        return;
    case ControlRule::RegionTemperature:
        regionTemperatureRule();
        return;
    case ControlRule::ChamberTemperature:
        chamberTemperatureRule();
        return;
    case ControlRule::StackingHeight:
        stackingHeightRule();
        return;
    case ControlRule::Walls:
        wallsRule();
        return;
    case ControlRule::OptionBox:
        optionBoxRule();
        return;
    case ControlRule::Regime:
        regimeRule();
        return;
    case ControlRule::Category:
        categoryRule();
        return;
    case ControlRule::Product:
        productRule();
        return;
    case ControlRule::FullLoad:
        fullLoadRule();
        return;
    }
}

namespace {
std::string rangeText(double v) {
    return valueText(Value(v));
}

std::string rangeMessage(const ControlSpec& spec) {
    const std::string range = "опустимы значения от " + rangeText(spec.lo) + " до " +
                              rangeText(spec.hi) + " !";
    if (spec.field && std::string(spec.field) == "VO_PROC")
        return "Д" + range;
    std::string caption = spec.caption ? spec.caption : spec.name;
    for (char& c : caption)
        if (c == '\n')
            c = ' ';
    return caption + ": д" + range;
}

// A door no larger than the wall it is in: the chamber's height, its longer side.
std::string doorRefusal(const std::string& field, double v, const Table& work) {
    if (field == "IN_DV" && v > work.asDouble("OB_KAMVS"))
        return "Высота двери " + rangeText(v) + " м больше высоты камеры " +
               rangeText(work.asDouble("OB_KAMVS")) + " м.";
    const double side = std::max(work.asDouble("OB_KAMDL"), work.asDouble("OB_KAMSH"));
    if (field == "IN_DH" && v > side)
        return "Ширина двери " + rangeText(v) + " м больше стены камеры " + rangeText(side) +
               " м.";
    return {};
}

Table* tableNamed(DataModule& dm, const char* name) {
    if (!name)
        return nullptr;
    for (Table* t : dm.tables())
        if (t->objectName() == name)
            return t;
    return nullptr;
}

int itemIndex(const ControlSpec& spec, const std::string& text) {
    const auto it = std::find(spec.items.begin(), spec.items.end(), text);
    return it == spec.items.end() ? -1 : static_cast<int>(it - spec.items.begin());
}

const char* const kNotInList = "Такого значения нет в списке";
} // namespace

std::string Session::stepName(const ControlSpec& spec) {
    return spec.caption ? spec.caption : spec.name;
}

CommitResult Session::commitText(const ControlSpec& spec, const std::string& typedText) {
    if (!isOpen() || !spec.isNumber() || !spec.field)
        return CommitResult::refusal("Это поле не принимает ввод");
    if (readOnly_ && typedText == displayText(spec))
        return {}; // a field left as it shows the stored value changes nothing
    return event(stepName(spec), [&] {
        // The typing rule (two decimals, the length) judges what the user typed; a field
        // left as it shows the stored value is not refused, even where the file holds more
        // decimals.
        if (typedText != displayText(spec) && !numericTextAllowed(spec, typedText)) {
            // a negative number where the range has none: say what the field takes
            ControlSpec signedSpec = spec;
            signedSpec.hasRange = false;
            if (spec.refusesOutOfRange && numericTextAllowed(signedSpec, typedText))
                return CommitResult::refusal(rangeMessage(spec));
            return CommitResult::refusal("Недопустимое число \"" + typedText + "\"");
        }
        double v = parseNumericText(typedText);
        if (spec.refusesOutOfRange && (v < spec.lo || v > spec.hi))
            return CommitResult::refusal(rangeMessage(spec));
        const std::string door = doorRefusal(spec.field, v, dm_.taWork);
        if (!door.empty())
            return CommitResult::refusal(door);
        CommitResult r;
        if (spec.hasRange && (v < spec.lo || v > spec.hi)) {
            v = std::min(std::max(v, spec.lo), spec.hi);
            r.notice = "Значение ограничено: " + rangeText(v);
        }
        Value stored; // exactly 0 is stored as a blank field
        if (v != 0) {
            if (spec.kind == ControlKind::Whole) {
                v = std::trunc(v);
                if (v == 0)
                    v = 0; // no negative zero in the file
            }
            stored = Value(v);
        }
        put(spec.field, stored);
        runRule(spec);
        return r;
    });
}

CommitResult Session::chooseItem(const ControlSpec& spec, const std::string& itemText) {
    if (!isOpen())
        return CommitResult::refusal(kNotOpen);
    if (readOnly_ && itemText == displayText(spec))
        return {};
    return event(stepName(spec), [&] {
        switch (spec.kind) {
        case ControlKind::Regime: {
            const int index = itemIndex(spec, itemText);
            if (index < 0)
                return CommitResult::refusal(kNotInList);
            // RadioGroup1Click comes with a change of the selected item only
            if (index != screen_.regimeIndex) {
                screen_.regimeIndex = index;
                regimeRule();
            }
            return CommitResult{};
        }
        case ControlKind::Category: {
            // a whole category from the list only: a part typed on the way to "Овощи" must
            // not throw the chosen product away
            if (itemIndex(spec, itemText) < 0)
                return CommitResult::refusal(kNotInList);
            screen_.category = itemText;
            categoryRule();
            return CommitResult{};
        }
        case ControlKind::Turnover: {
            const int index = itemIndex(spec, itemText);
            if (index < 0)
                return CommitResult::refusal(kNotInList);
            screen_.turnoverSpeed = index;
            return CommitResult{};
        }
        case ControlKind::Choice: {
            if (itemIndex(spec, itemText) < 0)
                return CommitResult::refusal(kNotInList);
            put(spec.field, Value(itemText));
            runRule(spec);
            return CommitResult{};
        }
        case ControlKind::Lookup: {
            Table* table = tableNamed(dm_, spec.lookupTable);
            if (!table || itemText.empty() || !table->locate(spec.lookupField, Value(itemText)))
                return CommitResult::refusal(kNotInList);
            // the list closes on that row: the record takes the row's own name
            put(spec.field, table->value(spec.lookupField));
            runRule(spec);
            return CommitResult{};
        }
        default:
            return CommitResult::refusal("Это поле не является списком");
        }
    });
}

CommitResult Session::clickCheck(const ControlSpec& spec, bool checked) {
    if (spec.kind != ControlKind::Check)
        return CommitResult::refusal("Это поле не является флажком");
    if (spec.includeBox > 0)
        return includeBoxClick(spec.includeBox, checked);
    if (!isOpen() || !spec.field)
        return CommitResult::refusal(kNotOpen);
    return event(stepName(spec), [&] {
        put(spec.field, Value(checked));
        const std::string field = spec.field;
        if (field == "ST_IDENT")
            screen_.identShown = checked;
        for (size_t i = 0; i < screen_.optionBoxesShown.size(); ++i)
            if (field == ScreenState::kOptionBoxFields[i])
                screen_.optionBoxesShown[i] = checked;
        runRule(spec);
        return CommitResult{};
    });
}

CommitResult Session::includeBoxClick(int n, bool checked) {
    if (n < 1 || n > static_cast<int>(screen_.includeBoxes.size()))
        return CommitResult::refusal("Нет такого теплопритока");
    const ControlSpec* spec = findControl("CheckBox" + std::to_string(n));
    return event(spec ? stepName(*spec) : "CheckBox" + std::to_string(n), [&] {
        screen_.includeBoxes[static_cast<size_t>(n - 1)] = checked;
        // the box is stored at once, not only when the calculation is closed
        put("CH" + std::to_string(n), Value(checked));
        runRecalculation();
        return CommitResult{};
    });
}

CommitResult Session::fullLoadClick() {
    return event("Расчет полной загрузки камеры", [&] {
        fullLoadRule();
        return CommitResult{};
    });
}

std::string Session::displayText(const ControlSpec& spec) const {
    const Table& work = dm_.taWork;
    switch (spec.kind) {
    case ControlKind::Regime:
        return screen_.regimeText();
    case ControlKind::Category:
        return screen_.category;
    case ControlKind::Turnover:
        return spec.items.at(static_cast<size_t>(screen_.turnoverSpeed));
    case ControlKind::Check:
        return checkState(spec) ? "T" : "F";
    case ControlKind::Button:
        return {};
    default:
        break;
    }
    if (!work.isOpen())
        return {};
    if (spec.kind == ControlKind::Display) {
        if (!spec.field && !spec.lookupTable)
            return results_.label3; // Label3
        if (spec.lookupTable) {
            // a property of a reference row: the freezing point of the current product
            Table* table = tableNamed(dm_, spec.lookupTable);
            if (!table || !table->isOpen() || table->eof())
                return {};
            const Value v = table->value(spec.lookupField);
            return valueText(v);
        }
        return formatMask2(work.asDouble(spec.field)); // the calculated volume
    }
    return recordText(spec.field, work.value(spec.field));
}

bool Session::checkState(const ControlSpec& spec) const {
    if (spec.includeBox > 0)
        return screen_.includeBoxes.at(static_cast<size_t>(spec.includeBox - 1));
    return spec.field && dm_.taWork.isOpen() && dm_.taWork.asBool(spec.field);
}

std::vector<std::string> Session::listItems(const ControlSpec& spec) {
    if (spec.kind != ControlKind::Lookup)
        return spec.items;
    std::vector<std::string> names;
    Table* table = tableNamed(dm_, spec.lookupTable);
    if (!table || !table->isOpen())
        return names;
    const std::string current = table->eof() ? std::string() : table->asString(spec.lookupField);
    for (table->first(); !table->eof(); table->next())
        names.push_back(table->asString(spec.lookupField));
    // the current row stands for the calculation's product, packaging or region
    if (current.empty() || !table->locate(spec.lookupField, Value(current)))
        table->first();
    return names;
}

void Session::currencyEdit11Change() {
    if (!selectionOpened)
        return;
    for (const char* f : {"OBR_NAIM", "OBR_AGR", "OBR_VO", "OBR_SHKAF", "OBR_KMONT"})
        put(f, Value(""));
    put("PROIZSYS", Value(0));
}

} // namespace vorn
