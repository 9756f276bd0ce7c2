#pragma once
// What the recalculation did, step by step, recorded as it computes: for each gain and for
// the required capacity the formula, every input with its value, unit and source, the
// intermediate values and the result as its box shows it. The calculation note, the
// "Расчет" view, `vorn calc --explain` and the JSON "steps" all print these records, so
// they cannot disagree with the boxes.
#include <string>
#include <vector>

namespace vorn {

// The source of an input that is a field of the calculation record.
inline constexpr const char* kSourceRecord = "расчет";

struct StepInput {
    std::string name;    // record field or table column: "ST_MT1", "M_KTP", "VL90"
    std::string caption; // "Стена А: толщина материала"
    bool isText = false;
    double number = 0;
    std::string text;
    std::string unit;   // "мм"; empty for a text or a count
    std::string source; // kSourceRecord, or "TABLE: row key" ("s_mater.DBF: Кирпич")
};

struct StepValue {
    std::string key;     // "volume_m3"
    std::string caption; // "Объем камеры V"
    double number = 0;
    std::string unit;
};

// A row of values of one part of a step: a surface of the walls.
struct StepRow {
    std::string caption; // "Стена А"
    std::vector<StepValue> values;
};

struct CalcStep {
    static constexpr int kCapacity = 10; // the required capacity, after gain 9

    int gain = 0;         // 1..9, or kCapacity
    std::string title;    // "Теплоприток через стены Qстен"
    std::string formula;  // engineering notation, one formula a line
    bool included = true; // the include box was checked
    std::vector<StepInput> inputs;
    std::vector<StepValue> values;
    std::string rowsKey; // "surfaces" when rows is used
    std::vector<StepRow> rows;
    double result = 0; // kW, the box as shown

    StepInput& input(std::string name, std::string caption, double value, std::string unit,
                     std::string source = kSourceRecord);
    StepInput& textInput(std::string name, std::string caption, std::string value,
                         std::string source = kSourceRecord);
    void value(std::string key, std::string caption, double number, std::string unit);
    // The value named key, or 0.
    double valueOf(const std::string& key) const;
};

// A number cut to six significant digits, the same on every platform ("values" of the JSON).
double sixDigits(double v);
// A number with six significant digits as the note prints it: "0,0113033", "1250", "-3,5".
std::string formatSix(double v);

} // namespace vorn
