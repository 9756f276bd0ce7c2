#pragma once
// The calculation record: the stored fields a ".vrn" file must hold, and the calculated
// wall areas and volume.
#include "data/Table.h"

#include <string>
#include <vector>

namespace vorn {

// The two regimes as OB_TERMR stores them.
inline constexpr const char* kRegimeStorage = "Хранение";
inline constexpr const char* kRegimeCooling = "Охлаждение";
// The region (OB_RGNAIM) whose climate the user types in.
inline constexpr const char* kOtherRegion = "Другой";
// The four option boxes' fields.
inline constexpr const char* kOptionBoxFields[4] = {"VN_FLAG", "IN_TIP", "OS_REC", "VO_UTOCH"};

// The message for a calculation file that cannot be opened; the reason follows it.
inline constexpr const char* kCannotOpenCalculation = "Указанный расчет не может быть открыт !";

// Every stored field of a calculation, in declared order, with its kind. The heater and
// defrost fields are optional: files written before them open without them.
const std::vector<FieldDecl>& calcRecordFields();

// The heater and defrost fields of gain 9 (VO_TEN, VO_OTTPOW, VO_OTTKOL, VO_OTTMIN,
// VO_OTTDOL), their layout in a calculation file and the values a new calculation holds.
struct HeaterField {
    const char* name;
    char type;
    int length;
    int decimals;
    double templateValue;
};
const std::vector<HeaterField>& heaterFields();
bool isHeaterField(const std::string& name);
// The open calculation has all of them (a file of the current layout).
bool hasHeaterFields(const Table& taWork);
// Why the heater fields cannot be set on a calculation of the earlier layout.
inline constexpr const char* kHeaterFieldsMissing =
    "в файле расчета прежнего формата нет полей ТЭНов и оттайки: \"Сохранить как\" "
    "запишет расчет в новом формате с этими полями";

// Rewrites the one-record table at path (a calculation or a template) so that it has the
// heater fields, every other field and value kept, the new ones holding their template
// values. Nothing happens when it has them already; answers whether it rewrote the file.
// The new file is written beside it and put in its place, so a failure leaves the old one.
bool addHeaterFields(const std::string& path);

// A number's text with the decimal comma the screen and the reports use ("2.5" -> "2,5").
std::string withDecimalComma(std::string text);

// Searches a reference table for the row named name in field; an empty name finds nothing.
bool findByName(Table& t, const char* field, const std::string& name);

// A value as the screen shows it and the reports print it: text as stored; a number in up to
// fifteen significant digits (which hide the binary tail of a product such as 3.3 * 4 * 2.5)
// with a decimal comma; no value as nothing.
std::string valueText(const Value& v);

// A field of the calculation as the screen shows it and the reports print it. A blank
// number field reads as 0, and an input of 0 is stored blank, so a number that reads 0 is
// shown as the empty field it is. The temperatures (0 °C is a value the calculation uses)
// and the calculated fields (they always have a value) show 0.
std::string recordText(const std::string& field, const Value& v);

// What makes path unfit to be opened as a calculation, in a Russian sentence naming the
// file, or empty when it may be opened. Read before a byte of it is written: it must be a
// regular file with a sound table header that counts exactly one record, held whole in
// the file and not marked deleted. Opening the file then binds the declared fields.
std::string calcFileProblem(const std::string& path);

// The table layer's reason why a file did not open as a calculation, in Russian for the
// field binding ("Field 'X' not found", "Type mismatch for field 'X', ...") and for a
// record another program holds; any other text as it is.
std::string calcOpenFailureText(const std::string& what);

// Declares the stored fields and the calculated ob_s1..ob_s6, ob_kamv on a table and
// installs the OnCalcFields hook that derives them. Leaves afterOpen/beforeClose alone.
void configureCalcTable(Table& table);

} // namespace vorn
