#pragma once
// vorn calc: the heat balance of a calculation. Its JSON object is shared by the commands
// that print a heat balance after changing a calculation.
#include "calc/CalcResults.h"

#include <nlohmann/json.hpp>
#include <memory>
#include <string>

namespace vorn {

class WorkCopy;

struct CliContext;
class DataModule;
class Session;

struct CalcOptions {
    std::string file;
    bool json = false;
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
//  "gains": {walls, ventilation, ..., fans, sum, required}} (kW, the boxes' values)
nlohmann::ordered_json calcJson(const std::string& file, const std::string& regime,
                                const CalcResults& results, double vnKr);

} // namespace vorn
