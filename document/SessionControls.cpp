// The events of the input screen, one per shape of control, and what each control shows:
// a typed number committed, an item chosen, a box clicked, the full-load button.
#include "document/Session.h"

#include "calc/NumberFormat.h"
#include "data/CalcRecord.h"
#include "data/DataModule.h"
#include "document/ControlTable.h"
#include "document/SessionDetail.h"

#include <algorithm>
#include <cmath>

namespace vorn {

using namespace session_detail;

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
    // the defrosts of a day fit into the day
    const double defrosts = field == "VO_OTTKOL" ? std::trunc(v) : work.asDouble("VO_OTTKOL");
    const double minutes = field == "VO_OTTMIN" ? std::trunc(v) : work.asDouble("VO_OTTMIN");
    if ((field == "VO_OTTKOL" || field == "VO_OTTMIN") && defrosts * minutes > 24 * 60)
        return "Оттайки займут " + rangeText(defrosts * minutes) +
               " мин в сутки, больше суток (1440 мин): уменьшите число оттаек или их "
               "продолжительность.";
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

} // namespace vorn
