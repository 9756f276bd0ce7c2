// vorn calc FILE [--json]: the heat balance of a calculation, the file left untouched.
#include "app/cli/CalcCommand.h"

#include "app/cli/Commands.h"
#include "document/Session.h"
#include "data/WorkCopy.h"
#include "calc/Gains.h"
#include "calc/NumberFormat.h"
#include "data/CalcRecord.h"
#include "data/CodePage.h"
#include "data/DataModule.h"
#include "reports/CalcNoteText.h"

#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <ostream>
#include <system_error>
#include <utility>
#include <vector>

namespace vorn {

namespace {
namespace fs = std::filesystem;

// Report labels the recalculation fills, in report order.
const int kLabels[] = {70, 71, 72, 73, 74, 75, 76, 77, 78, 97, 79,
                       80, 81, 82, 83, 84, 85, 86, 87, 88, 93, 98};

// A box's value as it is shown, two decimals: 5.76, -0.3.
double shownValue(double box) {
    return parseNumericText(formatMask2(box));
}

void printTable(std::ostream& out, const std::string& file, const std::string& regime,
                const CalcResults& r) {
    out << "Расчет: " << file << "\n";
    out << "Режим: " << regime << "\n\n";
    for (int n = 1; n <= CalcResults::kBoxCount; ++n) {
        if (n == 10)
            out << std::string(60, '-') << "\n";
        const std::string caption = r.caption(n);
        const std::string value = formatGrouped2(r.box(n));
        const size_t used = utf8Characters(caption) + utf8Characters(value);
        out << caption << std::string(used < 60 ? 60 - used : 1, ' ') << value << "\n";
    }
    out << "\nКоличество проходов в камеру: " << r.label3 << " (" << r.label(79) << " дверь)\n";
}
} // namespace

nlohmann::ordered_json stepsJson(const std::vector<CalcStep>& steps) {
    auto values = [](const std::vector<StepValue>& list) {
        nlohmann::ordered_json o = nlohmann::ordered_json::object();
        for (const StepValue& v : list)
            o[v.key] = sixDigits(v.number);
        return o;
    };
    nlohmann::ordered_json out = nlohmann::ordered_json::array();
    for (const CalcStep& s : steps) {
        nlohmann::ordered_json j;
        if (s.gain == CalcStep::kCapacity)
            j["gain"] = "capacity";
        else
            j["gain"] = s.gain;
        j["title"] = s.title;
        j["included"] = s.included;
        j["formula"] = s.formula;
        nlohmann::ordered_json inputs = nlohmann::ordered_json::array();
        for (const StepInput& in : s.inputs) {
            nlohmann::ordered_json i;
            i["name"] = in.name;
            i["caption"] = in.caption;
            if (in.isText)
                i["value"] = in.text;
            else
                i["value"] = sixDigits(in.number);
            i["unit"] = in.unit;
            i["source"] = in.source;
            inputs.push_back(std::move(i));
        }
        j["inputs"] = std::move(inputs);
        nlohmann::ordered_json v = values(s.values);
        if (!s.rowsKey.empty()) {
            nlohmann::ordered_json rows = nlohmann::ordered_json::array();
            for (const StepRow& r : s.rows) {
                nlohmann::ordered_json row;
                row["name"] = r.caption;
                row.update(values(r.values));
                rows.push_back(std::move(row));
            }
            v[s.rowsKey] = std::move(rows);
        }
        j["values"] = std::move(v);
        j["result"] = shownValue(s.result);
        out.push_back(std::move(j));
    }
    return out;
}

nlohmann::ordered_json calcJson(const std::string& file, const std::string& regime,
                                const CalcResults& r, double vnKr) {
    auto shown = [&r](int n) { return shownValue(r.box(n)); };
    nlohmann::ordered_json boxes = nlohmann::ordered_json::object();
    for (int n = 1; n <= CalcResults::kBoxCount; ++n)
        boxes["CurrencyEdit" + std::to_string(n)] = shown(n);
    nlohmann::ordered_json gains = nlohmann::ordered_json::object();
    for (int n = 1; n <= kBoxCount; ++n)
        gains[gainInfo(n).key] = shown(n);
    nlohmann::ordered_json labels = nlohmann::ordered_json::object();
    for (int l : kLabels)
        labels["QRLabel" + std::to_string(l)] = r.label(l);
    labels["Label3"] = r.label3;
    nlohmann::ordered_json j;
    j["file"] = file;
    j["regime"] = regime;
    j["boxes"] = std::move(boxes);
    j["labels"] = std::move(labels);
    j["VN_KR"] = std::isfinite(vnKr) ? nlohmann::ordered_json(vnKr) : nlohmann::ordered_json();
    j["gains"] = std::move(gains);
    j["steps"] = stepsJson(r.steps);
    return j;
}

void addCalcCommand(CLI::App& root, CliRunner& run) {
    auto opt = std::make_shared<CalcOptions>();
    CLI::App* sub = root.add_subcommand(
        "calc", "тепловой баланс расчета: девять теплопритоков и итоги (файл не меняется)");
    sub->add_option("ФАЙЛ", opt->file, "файл расчета .vrn")->required()->type_name("ФАЙЛ");
    sub->add_flag("--json", opt->json, "вывести результат объектом JSON");
    sub->add_flag("--explain", opt->explain,
                  "показать каждый шаг расчета: формулу, исходные данные с источником, "
                  "промежуточные значения и результат");
    sub->callback(
        [&run, opt] { run = [opt](const CliContext& ctx) { return calcCommand(ctx, *opt); }; });
}

int openCommandData(const CliContext& ctx, const std::string& file, DataModule& dm) {
    const std::string problem = calcFileProblem(file);
    if (!problem.empty()) {
        ctx.err << kCannotOpenCalculation << " " << problem << "\n";
        return kExitFailure;
    }
    dm.setDataDir(ctx.dataDir);
    std::string refError;
    if (!dm.openReferenceTables(&refError, DataModule::Access::ReadOnly)) {
        ctx.err << "Ошибка подключения справочников ! (" << ctx.dataDir << ": " << refError
                << ")\n";
        return kExitFailure;
    }
    return kExitOk;
}

bool openCommandCalculation(const CliContext& ctx, Session& session, const std::string& file,
                            std::unique_ptr<WorkCopy>* copy) {
    try {
        // The copy is the command's own: what the open rules and the command's parameters
        // write goes there (through its journal, beside it), and it goes with the command.
        if (copy)
            *copy = std::make_unique<WorkCopy>(file);
        session.openCalculation(copy ? (*copy)->path() : file);
        if (!session.suspectFields().empty())
            ctx.err << file << ": " << suspectFieldsWarning(session.suspectFields()) << "\n";
        return true;
    } catch (const std::exception& e) {
        ctx.err << kCannotOpenCalculation << " " << file << ": "
                << calcOpenFailureText(e.what()) << "\n";
        return false;
    }
}

int calcCommand(const CliContext& ctx, const CalcOptions& opt) {
    const std::string& file = opt.file;
    DataModule dm;
    if (const int status = openCommandData(ctx, file, dm))
        return status;

    std::string regime;
    double vnKr = 0;
    bool choiceFits = true;
    std::vector<std::string> warnings;
    CalcResults results;
    try {
        std::unique_ptr<WorkCopy> copy;
        Session session(dm);
        if (!openCommandCalculation(ctx, session, file, &copy))
            return kExitFailure;
        regime = dm.taWork.asString("OB_TERMR");
        vnKr = dm.taWork.asDouble("VN_KR");
        results = session.results();
        choiceFits = session.choiceFits();
        warnings = session.warnings();
        session.closeCalculation();
    } catch (const std::exception& e) {
        ctx.err << kCannotOpenCalculation << " " << file << ": " << e.what() << "\n";
        return 1;
    }
    const bool stopped = !results.error.empty();
    if (stopped)
        ctx.err << results.error << "\n";
    if (opt.json) {
        // a stopped run: the steps done before it stopped, and why it stopped
        nlohmann::ordered_json j = calcJson(file, regime, results, vnKr);
        j["choice_fits"] = choiceFits;
        j["warnings"] = warnings;
        if (stopped)
            j["error"] = results.error;
        ctx.out << j.dump() << "\n";
    } else if (opt.explain) {
        for (const std::string& line : CalcNoteText::explain(results))
            ctx.out << line << "\n";
        if (stopped)
            ctx.out << "Расчет остановлен: " << results.error << "\n";
        for (const std::string& w : warnings)
            ctx.out << w << "\n";
    } else if (!stopped) {
        printTable(ctx.out, file, regime, results);
        for (const std::string& w : warnings)
            ctx.out << w << "\n";
    }
    return stopped ? kExitStopped : kExitOk;
}

} // namespace vorn
