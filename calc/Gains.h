#pragma once
// The eleven result boxes once: the nine heat gains, their sum and the required capacity,
// with the names the screen, the reports, the messages and the command line give them.
namespace vorn {

struct GainInfo {
    int box;                   // 1..11, CurrencyEdit1..CurrencyEdit11
    const char* key;           // JSON key: "walls" ... "fans", "sum", "required"
    const char* symbol;        // "Qстен"; empty for the two totals
    const char* name;          // "Теплоприток через стены": messages and report captions
    const char* caption;       // "Через стены": the page tab and the include box's tip
    const char* reportCaption; // "Теплоприток через стены Qстен, кВт"
    int reportLabel;           // the calculation report's label with the box's value
};

inline constexpr int kGainCount = 9;
inline constexpr int kBoxCount = 11;

// Gain 9 once heaters and defrost are part of it: the report caption, and the title.
inline constexpr const char* kGain9HeatersCaption =
    "Теплоприток от двигателей вентиляторов и ТЭНов Qво, кВт";
inline constexpr const char* kGain9HeatersName = "Теплоприток от двигателей вентиляторов и ТЭНов";

// Box n = 1..11.
const GainInfo& gainInfo(int box);

} // namespace vorn
