#pragma once
// Equipment selection: the catalogue for the chamber temperature, the capacity columns for
// the outside temperature, the capacity band of one system, the filtered catalogue, the
// group lines of the current row and the choice of a system into the calculation record.
//
// One object lives for the whole program run: it keeps the catalogue file, class caption,
// ambient class and shown Q/T pair between runs, and the two percentages the user set.
// The selection window, the systems list and `vorn select` all read it; none repeats a rule.
#include "data/Value.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vorn {

class CalcResults;
class DataModule;
class Table;

// How the selection writes into the open calculation: one named step of field values,
// posted by the document. Returns false when the document refused the values.
using SelectionWriter =
    std::function<bool(const std::string& step, const std::vector<std::pair<std::string, Value>>&)>;

// One catalogue row as the lists show it: Q and T are the shown pair's values.
struct CatalogueRow {
    long recNo = 0; // physical record number in the catalogue file
    std::string sis;
    std::string agr;
    std::string vohl;
    long q = 0;   // capacity of one system, W
    double t = 0; // air-cooler temperature difference, K
    double ppot = 0;
    double ipot = 0;
    std::string nabor;
    std::string shkaf;
    std::string gr;  // group text, empty when the group is missing from grups.dbf
    std::string pgr; // subgroup text, likewise
};

// A catalogue field with its list caption and width in characters (0: never listed).
struct CatalogueColumn {
    const char* field;
    const char* caption;
    int width;
    int pair; // 25, 30, 35 or 40 for a Q/T field (listed only with its pair); 0 always
};

// A chamber-temperature class: its catalogue file and the caption shown for it.
struct CatalogueClass {
    const char* file;
    const char* caption;
};

class Selection {
public:
    static constexpr int kSystemsMin = 1;
    static constexpr int kSystemsMax = 9;
    static constexpr int kLowerMin = 60;
    static constexpr int kLowerMax = 100;
    static constexpr int kLowerDefault = 90;
    static constexpr int kUpperMin = 100;
    static constexpr int kUpperMax = 200;
    static constexpr int kUpperDefault = 115;
    static constexpr const char* kNoEquipmentMessage =
        "Нет оборудования под такие параметры. Консультируйтесь с нами !";

    enum class Outcome {
        NotRun,     // no run yet, or no calculation open
        Listed,     // at least one row fits
        Empty,      // the catalogue has no row in the band: kNoEquipmentMessage
        NoCatalogue // the chamber or the outside temperature is outside every class
    };

    // dm holds the open calculation (taWork) and the catalogue table; results its last
    // recalculation (box 11); write stores what the user chooses.
    Selection(DataModule& dm, const CalcResults& results, SelectionWriter write);
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

    // The two percentage boxes as typed; they keep their text for the whole program run.
    std::string lowerPercentText = std::to_string(kLowerDefault);
    std::string upperPercentText = std::to_string(kUpperDefault);

    // Runs the selection for the open calculation: closes the catalogue, takes the number of
    // systems from KOLSYS and the required capacity from box 11, picks the catalogue and the
    // ambient class, opens the catalogue read-only under the band filter and lists its rows
    // with the first one current. Without an open calculation nothing happens (NotRun).
    // A catalogue that does not open throws DbfError (the table stays closed).
    Outcome run();

    // The number-of-systems box left: its text stored into KOLSYS ("" and "0" as an empty
    // field, "1" ... "9" as the number). Returns false, with nothing written, for any other
    // text. Throws DbfError when the record is locked by another user.
    bool storeSystems(const std::string& text);

    // Outcome and figures of the last run.
    Outcome outcome() const { return outcome_; }
    int systems() const { return systems_; } // n, at least 1
    long lo() const { return lo_; }
    long hi() const { return hi_; }
    const std::string& filterText() const { return filter_; }
    // Why no catalogue fits (outcome NoCatalogue), in Russian for the window and the CLI.
    const std::string& noCatalogueText() const { return noCatalogue_; }
    // Whether the last run found a catalogue for the chamber temperature (when not, the
    // catalogue file and class caption are those of an earlier run).
    bool chamberFits() const { return chamberFits_; }

    // State kept for the whole program run.
    const std::string& catalogueFile() const { return catalogueFile_; } // "kat-30.dbf" at first
    const std::string& classCaption() const { return classCaption_; }   // "-25" at first
    int ambientClass() const { return ambientClass_; } // 25, 30, 35, 40; 0 while none chosen
    int shownPair() const { return shownPair_; }       // 25 until a class is chosen
    std::string qField() const;                        // "Q25" ... "Q40" of the shown pair
    std::string tField() const;                        // "T25" ... "T40"
    std::string tCaption() const;                      // "dT +25°С" ...

    // The list's columns as shown: SIS, AGR, VOHL, the shown Q and T, PPOT, IPOT, NABOR,
    // SHKAF, with their captions and widths in characters, and one row's cells as text
    // (decimals as the fields hold them, comma separator).
    std::vector<CatalogueColumn> shownColumns() const;
    static std::vector<std::string> listCells(const CatalogueRow& row);

    // The listed rows in file order (empty unless the outcome is Listed).
    const std::vector<CatalogueRow>& rows() const { return rows_; }
    // The catalogue table (taKat): open and filtered after a run that found a catalogue.
    Table& catalogue();

    // Current row of the list: -1 when none. Moving it refreshes the group lines; with no
    // current row the lines keep what they show.
    int currentRow() const { return current_; }
    void setCurrentRow(int index);
    const std::string& groupLine1() const { return groupLine1_; }
    const std::string& groupLine2() const { return groupLine2_; }

    // "Выбрать": possible only on a listed current row.
    bool canChoose() const;
    // Writes the current row into the record (SIS cut to 6 characters, OBR_NAIM the two
    // group lines joined by ", ", PROIZSYS the capacity of one system of the remembered
    // class) as one step. Returns false when canChoose() is false or the values were
    // refused. Throws DbfError when the record is locked by another user.
    bool choose();

    // A record field as its box shows it ("" for an empty field or without a calculation).
    std::string fieldText(const std::string& field) const;

    // The "Выбранное оборудование" boxes: the record fields and their widths.
    struct ChosenField {
        const char* field;
        int width;
        bool whole; // PROIZSYS: a whole number, 0 stored as an empty field
    };
    static const std::vector<ChosenField>& chosenFields();
    // The chosen-equipment field of that name, or null.
    static const ChosenField* chosenField(const std::string& field);
    // Text typed into one of those boxes, stored into the record like any other input (a text
    // cut to the field's width; a whole number that is not one is refused: false, nothing
    // written). Throws DbfError when the record is locked by another user.
    bool storeChosenField(const std::string& field, const std::string& text);

    // The rules, on their own.
    static const std::vector<CatalogueColumn>& columns(); // every catalogue field, in order
    static const CatalogueClass* catalogueFor(double chamberTemp); // nullptr outside all
    static int ambientClassFor(double outsideTemp);                // 0 outside all
    // The band's refusal when both boxes hold numbers and "от" is above "до" (the clamping
    // would otherwise turn, say, 120 and 115 into a band the user never asked for), or an
    // empty text.
    static std::string bandRefusal(const std::string& lower, const std::string& upper);
    // A percentage box: outside [min, max] the nearest end, unreadable text the minimum.
    static double percentValue(const std::string& text, int min, int max);
    // W from the required capacity in kW (already two decimals); ties to even.
    static long requiredWatts(double kw);
    // P * W / 100 / n in extended precision, ties to even.
    static long bound(double percent, long watts, int systems);
    // "Q25 >= lo and Q25 <= hi", with " and T25 <= 7 and VO = 1" when cooling.
    static std::string filterFor(int ambient, long lo, long hi, bool cooling);
    // The cooling condition: OB_TERMR exactly "Охлаждение" and OB_TEMKAM below 8.
    static bool coolingApplies(const std::string& regime, double chamberTemp);

private:
    void loadRows();
    void lookUpGroup(long id, std::string& gr, std::string& pgr);

    DataModule& dm_;
    const CalcResults& results_;
    SelectionWriter write_;
    Outcome outcome_ = Outcome::NotRun;
    int systems_ = 1;
    long lo_ = 0;
    long hi_ = 0;
    std::string filter_;
    std::string noCatalogue_;
    bool chamberFits_ = false;
    std::string catalogueFile_ = "kat-30.dbf";
    std::string classCaption_ = "-25";
    int ambientClass_ = 0;
    int shownPair_ = 25;
    std::vector<CatalogueRow> rows_;
    int current_ = -1;
    std::string groupLine1_;
    std::string groupLine2_;
};

} // namespace vorn
