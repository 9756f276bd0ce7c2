#pragma once
// The controls of the input screen as data: for every control its name, the record field
// it is bound to, its kind, range and length, the screen flag that enables or shows it and
// the rule it runs. The window builds its widgets from this table and the command line
// applies assignments through it, so a range or a handler is written here once.
#include <string>
#include <vector>

namespace vorn {

enum class ControlKind {
    Numeric,  // a number with decimals
    Whole,    // a number stored in a whole-number field (truncated toward zero)
    Choice,   // fixed item texts; the record stores the chosen text
    Lookup,   // rows of a reference table; the record stores the row's name
    Check,    // logical field, or an include box CheckBox1..CheckBox9
    Display,  // read-only
    Regime,   // RadioGroup1, mirrors OB_TERMR
    Category, // ComboBox1, the product category (not stored)
    Turnover, // RadioGroup2, the turnover speed (not stored)
    Button    // BitBtn1, the full-load estimate
};

// Screen-state flags a control's enabled or visible state follows. Always: the control
// is enabled (shown) whenever a calculation is open.
enum class ScreenFlag {
    Always,
    RegionFields,
    VnKr,
    VoKolvo,
    VoPow,
    VoProc,
    OsPow,
    StoredMass,
    Heaters // the heater and defrost fields: as VO_KOLVO, on a file that has them
};

// What runs after the value is written.
enum class ControlRule {
    None,               // nothing, not even the recalculation
    Recalculation,      // DBEdit1Change
    IncludeBox,         // CheckBox1Click..CheckBox9Click: the recalculation
    Region,             // DBLookupComboBox3CloseUp
    RegionTemperature,  // DBEdit36Exit
    ChamberTemperature, // DBEdit42Exit
    StackingHeight,     // DBEdit40Exit
    Walls,              // chIdentClick
    OptionBox,          // DBCheckBox4Click
    Regime,             // RadioGroup1Click
    Category,           // ComboBox1Change
    Product,            // DBComboBox1Change
    FullLoad            // BitBtn1Click
};

struct ControlSpec {
    const char* name = nullptr;  // control name, "DBEdit40"
    const char* field = nullptr; // bound record field, "OB_KAMVS"; nullptr when unbound
    const char* caption = nullptr; // the caption the screen shows beside it, "Высота, (м)"
    ControlKind kind = ControlKind::Display;
    bool hasRange = false;
    double lo = 0, hi = 0;             // clamping range (numeric and whole fields)
    int maxLength = 0;                 // characters that can be typed; 0 = no limit
    const char* lookupTable = nullptr; // DataModule table of a lookup list ("taRegion"), or
                                       // of a display of a reference row (DBEdit18: taProd)
    const char* lookupField = nullptr; // key and shown field of that table ("REG_NAIM")
    std::vector<std::string> items;    // choice lists and radio groups: the item texts
    int page = 0;                      // 0 = header groups and result column, 1..9 = the pages
    const char* group = nullptr;       // enclosing group box ("GroupBox3"), nullptr on a page
    ScreenFlag enabledBy = ScreenFlag::Always;
    ScreenFlag visibleBy = ScreenFlag::Always;
    ControlRule rule = ControlRule::None;
    bool refusesOutOfRange = false; // VO_PROC: refused with a message instead of clamped
    int includeBox = 0;             // CheckBox n: n (1..9); 0 for every other control

    bool isNumber() const { return kind == ControlKind::Numeric || kind == ControlKind::Whole; }
    // A minus sign can be typed (no range with a lower bound of 0 or more).
    bool allowsMinus() const { return !(hasRange && lo >= 0); }
};

// Every control of the input screen, in the screen's focus order: the three header groups
// (region, chamber, regime: four fields, then RadioGroup1), pages 1 to 9, the include boxes.
const std::vector<ControlSpec>& screenControls();

// The row captions of the walls page ("Стена А" ... "Пол").
extern const char* const kWallRows[6];

// By control name or bound field, ignoring case ("DBEdit40", "ob_kamvs"); nullptr if none.
const ControlSpec* findControl(const std::string& nameOrField);

// Typing into a numeric field: true when text is a number as far as typed, which the
// field may hold: digits, one decimal separator ("." or ","), at most two decimals, a
// leading minus only where allowsMinus(), at most maxLength characters. The partial
// texts "", "-", "1," count as allowed (they commit as 0, 0, 1).
bool numericTextAllowed(const ControlSpec& spec, const std::string& text);

} // namespace vorn
