#pragma once
// vorn calc: the heat balance of a calculation. Its JSON object is shared by the commands
// that print a heat balance after changing a calculation.
#include "calc/CalcResults.h"

#include <nlohmann/json.hpp>
#include <memory>
#include <string>
#include <vector>

namespace vorn {

class WorkCopy;

struct CliContext;
class DataModule;
class Session;

struct CalcOptions {
    std::string file;
    bool json = false;
    bool explain = false; // every step: formula, inputs, values, result
};

int calcCommand(const CliContext& ctx, const CalcOptions& opt);

// The first steps of a command on a calculation file: the file is a sound calculation
// (calcFileProblem) and the reference tables of ctx.dataDir open in dm, for reading only.
// On failure prints why and returns exit status 1; otherwise returns 0.
int openCommandData(const CliContext& ctx, const std::string& file, DataModule& dm);

// Opens file as the program opens a calculation: in place, or, given copy, as a private
// copy kept in *copy (removed with it), so that the file is only read and stays
// byte-identical. On failure prints why, naming file, and returns false.
bool openCommandCalculation(const CliContext& ctx, Session& session, const std::string& file,
                            std::unique_ptr<WorkCopy>* copy);

// {"file", "regime", "boxes": {CurrencyEdit1..11}, "labels": {QRLabel.., Label3}, "VN_KR",
//  "gains": {walls, ventilation, ..., fans, sum, required}, "steps": [...]} (kW, the boxes'
//  values; the steps as stepsJson gives them)
// One object per step: {"gain": 1..9 or "capacity", "title", "included", "formula",
// "inputs": [{"name", "caption", "value", "unit", "source"}], "values": {...}, "result"};
// numbers in six significant digits, the result as its box shows it.
nlohmann::ordered_json stepsJson(const std::vector<CalcStep>& steps);

nlohmann::ordered_json calcJson(const std::string& file, const std::string& regime,
                                const CalcResults& results, double vnKr);

} // namespace vorn
