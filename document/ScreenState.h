#pragma once
// Everything on the input screen that is not a field of the calculation record: the
// regime choice, the product category, the turnover speed, the nine include boxes, and
// the captions, visibility and enabled states the input rules set. The window shows this
// state; the core rules read and write it.
#include "data/CalcRecord.h"

#include <array>
#include <string>

namespace vorn {

class ScreenState {
public:
    ScreenState();

    // Texts of the regime choice RadioGroup1 (item 0 and item 1), as stored in OB_TERMR.
    static constexpr const char* kStorage = kRegimeStorage;
    static constexpr const char* kCooling = kRegimeCooling;
    static constexpr const char* kOtherRegion = vorn::kOtherRegion;
    // Record fields of the four option boxes, in the order of optionBoxesShown.
    static constexpr const char* const* kOptionBoxFields = vorn::kOptionBoxFields;

    // RadioGroup1: 0 storage, 1 cooling. Mirrors OB_TERMR through the regime rule.
    int regimeIndex = 0;
    // ComboBox1: product category, free text (not stored in the record).
    std::string category;
    // RadioGroup2: 0 "Малая", 1 "Большая". Kept until the program ends.
    int turnoverSpeed = 0;
    // CheckBox1..CheckBox9: gain n counts only while includeBoxes[n-1] is set.
    std::array<bool, 9> includeBoxes{};

    // Shown state of the bound check box "По первой строке" (ST_IDENT). Loading a record
    // that turns it on runs the walls rule once, as a click would.
    bool identShown = false;
    // Shown states of the four option boxes VN_FLAG, IN_TIP, OS_REC, VO_UTOCH (in that
    // order). Loading a record that changes one runs the option-box rule, as a click would.
    std::array<bool, 4> optionBoxesShown{};

    // The page of the input screen shown (1..9): the walls page at start, afterwards the
    // one the user last chose, also across calculations.
    int shownPage = 1;

    // Captions switched by the regime rule.
    std::string workTimeCaption;        // OB_TIMEWRK
    std::string productTurnoverCaption; // TE_POBOR
    std::string taraTurnoverCaption;    // TE_TOBOR
    bool storedMassVisible = true;      // TE_PMAS, TE_TMAS and their captions

    // Enabled states set by the option-box rule and the region rule.
    bool vnKrEnabled = false;         // VN_KR
    bool voKolvoEnabled = false;      // VO_KOLVO
    bool voPowEnabled = false;        // VO_POW
    bool voProcEnabled = true;        // VO_PROC
    bool osPowEnabled = true;         // OS_POW
    bool regionFieldsEnabled = false; // OB_RGTMAX, OB_RGVLAJ: region "Другой" only

    // The regime text of the current choice.
    const char* regimeText() const { return regimeIndex == 0 ? kStorage : kCooling; }
    // Sets the regime captions and visibility for the current choice.
    void applyRegimeCaptions();

    // The same choices, flags and captions (the page shown is not compared).
    bool operator==(const ScreenState& o) const;
};

} // namespace vorn
