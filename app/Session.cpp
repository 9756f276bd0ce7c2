#include "app/Session.h"

#include "calc/NumberFormat.h"
#include "calc/Recalculate.h"
#include "data/CalcRecord.h"
#include "data/DataModule.h"
#include "input/ControlTable.h"

#include <algorithm>
#include <cmath>

namespace vorn {

namespace {
const char* const kDefaultCategory = "Мясные";

void editRecord(Table& t) {
    if (t.state() == Table::State::Browse)
        t.edit();
}

// "Store the record": write a pending change and leave edit state.
void storeRecord(Table& t) {
    if (t.state() != Table::State::Browse)
        t.post();
}

bool findByName(Table& t, const std::string& name) {
    if (name.empty())
        return false;
    return t.locate("NAIM", Value(name));
}

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
}

void Session::closeCalculation() {
    Table& work = dm_.taWork;
    if (!work.isOpen())
        return;
    work.first(); // posts a pending change
    work.close(); // the close steps run in the beforeClose hook
}

void Session::recalculate() {
    runRecalculation();
}

void Session::includeBoxClick(int n, bool checked) {
    if (n < 1 || n > static_cast<int>(screen_.includeBoxes.size()))
        return;
    refuseIfReadOnly();
    screen_.includeBoxes[static_cast<size_t>(n - 1)] = checked;
    runRecalculation();
}

void Session::runRecalculation() {
    results_.error.clear();
    try {
        vorn::recalculate(dm_, screen_, results_, [this] { currencyEdit11Change(); });
    } catch (const std::exception& e) {
        results_.error = e.what();
        // While a calculation is being opened the run's failure does not fail the open:
        // the file is a sound calculation, only its numbers cannot be evaluated.
        if (!opening_)
            throw;
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
    if (findByName(prod, work.asString("TE_PTIP"))) {
        screen_.category = prod.asString("TIP");
    } else {
        screen_.category = kDefaultCategory;
        prod.first();
        editRecord(work);
        work.setValue("TE_PTIP", currentName(prod));
    }
    positionTara();
    deriveStackingHeight();
    work.first(); // posts
}

void Session::deriveStackingHeight() {
    // The chamber height less 0.5 m, in fixed point with four decimals; 0 below 0.5 m.
    Table& work = dm_.taWork;
    editRecord(work);
    const double height = work.asDouble("OB_KAMVS");
    double stacking = 0;
    if (!(height < 0.5))
        stacking = (std::nearbyint(height * 10000) - 5000) / 10000;
    work.setValue("IN_VSHTAB", Value(stacking));
}

void Session::positionTara() {
    findByName(dm_.taTara, dm_.taWork.asString("TE_TTIP"));
}

void Session::regimeFromRecord() {
    const int index = dm_.taWork.asString("OB_TERMR") == ScreenState::kStorage ? 0 : 1;
    if (index == screen_.regimeIndex)
        return;
    screen_.regimeIndex = index;
    regimeRule();
}

void Session::regimeRule() {
    Table& work = dm_.taWork;
    editRecord(work);
    work.setValue("OB_TERMR", Value(screen_.regimeText()));
    screen_.applyRegimeCaptions();
    runRecalculation();
}

void Session::wallsRule() {
    Table& work = dm_.taWork;
    if (screen_.identShown) {
        for (int n = 2; n <= 6; ++n) {
            editRecord(work);
            const std::string s = std::to_string(n);
            work.setValue("ST_M" + s, work.value("ST_M1"));
            work.setValue("ST_MT" + s, work.value("ST_MT1"));
            work.setValue("ST_IZ" + s, work.value("ST_IZ1"));
            work.setValue("ST_IZT" + s, work.value("ST_IZT1"));
            work.setValue("ST_TEM" + s, work.value("ST_TEM1"));
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
        editRecord(work);
        work.setValue("OS_POW", Value(5));
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
    if (!findByName(prod, work.asString("TE_PTIP"))) {
        prod.first();
        editRecord(work);
        work.setValue("TE_PTIP", currentName(prod));
        storeRecord(work);
    }
    editRecord(work);
    storeRecord(work);
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
    if (!findByName(prod, work.asString("TE_PTIP"))) {
        prod.first();
        editRecord(work);
        work.setValue("TE_PTIP", currentName(prod));
        storeRecord(work);
    }
    storeRecord(work);
    editRecord(work);
    positionTara();
    runRecalculation();
}

void Session::chamberTemperatureRule() {
    Table& work = dm_.taWork;
    // in storage the product and the packaging end at the chamber temperature
    if (work.asString("OB_TERMR") == ScreenState::kStorage) {
        storeRecord(work);
        editRecord(work);
        const Value t = work.value("OB_TEMKAM");
        work.setValue("TE_PT1", t);
        work.setValue("TE_TT1", t);
    }
    runRecalculation();
}

void Session::regionRule() {
    Table& work = dm_.taWork;
    if (work.asString("OB_RGNAIM") == ScreenState::kOtherRegion) {
        screen_.regionFieldsEnabled = true;
    } else {
        const Table& region = dm_.taRegion;
        editRecord(work);
        work.setValue("OB_RGTMAX", region.eof() ? Value() : region.value("REG_TEM"));
        work.setValue("OB_RGVLAJ", region.eof() ? Value() : region.value("REG_VLAJ"));
        screen_.regionFieldsEnabled = false;
    }
    regionTemperatureRule();
}

void Session::regionTemperatureRule() {
    Table& work = dm_.taWork;
    editRecord(work);
    const Value t = work.value("OB_RGTMAX");
    for (int n = 1; n <= 6; ++n)
        work.setValue("ST_TEM" + std::to_string(n), t);
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
    editRecord(work);
    const double mass = work.asDouble("OB_KAMDL") * work.asDouble("OB_KAMSH") *
                        work.asDouble("IN_VSHTAB") * work.asDouble("IN_PLOTN") * f;
    // whole kilograms, an exact half to the even neighbour (the default rounding mode)
    work.setValue("TE_PMAS", Value(std::nearbyint(mass)));
    // in storage a tenth of the stored mass turns over daily
    const double turnover = work.asString("OB_TERMR") == ScreenState::kStorage ? 0.1 * mass : mass;
    work.setValue("TE_POBOR", Value(std::nearbyint(turnover)));
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

CommitResult Session::commitText(const ControlSpec& spec, const std::string& typedText) {
    Table& work = dm_.taWork;
    if (!work.isOpen() || !spec.isNumber() || !spec.field)
        return CommitResult::refusal("Это поле не принимает ввод");
    if (readOnly_) // a field left as it shows the stored value changes nothing
        return typedText == displayText(spec) ? CommitResult{}
                                              : CommitResult::refusal(kReadOnlyRefusal);
    // The typing rule (two decimals, the length) judges what the user typed; a field left
    // as it shows the stored value is not refused, even where the file holds more decimals.
    if (typedText != displayText(spec) && !numericTextAllowed(spec, typedText))
        return CommitResult::refusal("Недопустимое число \"" + typedText + "\"");
    double v = parseNumericText(typedText);
    if (spec.refusesOutOfRange && (v < spec.lo || v > spec.hi))
        return CommitResult::refusal("Допустимы значения от " + rangeText(spec.lo) + " до " +
                                     rangeText(spec.hi) + " !");
    if (spec.hasRange)
        v = std::min(std::max(v, spec.lo), spec.hi);
    Value stored; // exactly 0 is stored as a blank field
    if (v != 0) {
        if (spec.kind == ControlKind::Whole) {
            v = std::trunc(v);
            if (v == 0)
                v = 0; // no negative zero in the file
        }
        stored = Value(v);
    }
    editRecord(work);
    try {
        work.setValue(spec.field, stored);
    } catch (const DbfError&) {
        // the field's width in the file cannot hold the number; nothing was written
        return CommitResult::refusal("Число слишком велико для этого поля");
    }
    runRule(spec);
    return {};
}

CommitResult Session::chooseItem(const ControlSpec& spec, const std::string& itemText) {
    Table& work = dm_.taWork;
    if (!work.isOpen())
        return CommitResult::refusal("Расчет не открыт");
    if (readOnly_)
        return itemText == displayText(spec) ? CommitResult{}
                                             : CommitResult::refusal(kReadOnlyRefusal);
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
        return {};
    }
    case ControlKind::Category: {
        // a whole category from the list only: a part typed on the way to "Овощи" must
        // not throw the chosen product away
        if (itemIndex(spec, itemText) < 0)
            return CommitResult::refusal(kNotInList);
        screen_.category = itemText;
        categoryRule();
        return {};
    }
    case ControlKind::Turnover: {
        const int index = itemIndex(spec, itemText);
        if (index < 0)
            return CommitResult::refusal(kNotInList);
        screen_.turnoverSpeed = index;
        return {};
    }
    case ControlKind::Choice: {
        if (itemIndex(spec, itemText) < 0)
            return CommitResult::refusal(kNotInList);
        editRecord(work);
        work.setValue(spec.field, Value(itemText));
        runRule(spec);
        return {};
    }
    case ControlKind::Lookup: {
        Table* table = tableNamed(dm_, spec.lookupTable);
        if (!table || itemText.empty() || !table->locate(spec.lookupField, Value(itemText)))
            return CommitResult::refusal(kNotInList);
        // the list closes on that row: the record takes the row's own name
        editRecord(work);
        work.setValue(spec.field, table->value(spec.lookupField));
        runRule(spec);
        return {};
    }
    default:
        return CommitResult::refusal("Это поле не является списком");
    }
}

void Session::clickCheck(const ControlSpec& spec, bool checked) {
    if (spec.kind != ControlKind::Check)
        return;
    if (spec.includeBox > 0) {
        includeBoxClick(spec.includeBox, checked);
        return;
    }
    Table& work = dm_.taWork;
    if (!work.isOpen() || !spec.field)
        return;
    refuseIfReadOnly();
    editRecord(work);
    work.setValue(spec.field, Value(checked));
    const std::string field = spec.field;
    if (field == "ST_IDENT")
        screen_.identShown = checked;
    for (size_t i = 0; i < screen_.optionBoxesShown.size(); ++i)
        if (field == ScreenState::kOptionBoxFields[i])
            screen_.optionBoxesShown[i] = checked;
    runRule(spec);
}

void Session::fullLoadClick() {
    if (!dm_.taWork.isOpen())
        return;
    refuseIfReadOnly();
    fullLoadRule();
}

void Session::refuseIfReadOnly() const {
    if (readOnly_)
        throw DbfError(kReadOnlyRefusal);
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
    Table& work = dm_.taWork;
    work.first();
    editRecord(work);
    for (const char* f : {"OBR_NAIM", "OBR_AGR", "OBR_VO", "OBR_SHKAF", "OBR_KMONT"})
        work.setValue(f, Value(""));
    work.setValue("PROIZSYS", Value(0));
}

} // namespace vorn
