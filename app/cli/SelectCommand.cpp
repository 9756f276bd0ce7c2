// vorn select FILE [--systems N] [--from P] [--to P] [--choose K] [--json]: the equipment
// selection of the window for scripts. Without --systems and --choose the file is left
// exactly as it was; with them it keeps the new number of systems and the chosen system.
#include "app/cli/SelectCommand.h"

#include "app/cli/CalcCommand.h"
#include "app/cli/Commands.h"
#include "document/Session.h"
#include "data/WorkCopy.h"
#include "data/CalcRecord.h"
#include "data/DataModule.h"
#include "selection/Selection.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>

namespace vorn {

namespace {
struct SelectOptions {
    std::string file;
    SelectionParameters params;
    std::optional<int> choose;
    bool json = false;
};

// What one run over a calculation file gives.
struct Run {
    int status = kExitOk;
    std::string error; // for status != 0
};

// Opens path, applies the options and runs the selection; choosing and storing happen only
// when write is set. The calculation is closed (and so stored) on the way out.
Run selectIn(DataModule& dm, const std::string& path, const SelectOptions& opt, bool write,
             std::unique_ptr<Session>& session, std::unique_ptr<Selection>& selection) {
    // A run that only reads works on a private copy, removed on the way out: read access
    // is enough, and a refused choice leaves the file as it was. It outlives the session,
    // which writes into it up to its close.
    std::unique_ptr<WorkCopy> copy;
    struct CloseFirst { // the calculation is closed before its copy goes, on every way out
        std::unique_ptr<Session>& s;
        ~CloseFirst() {
            try {
                if (s)
                    s->closeCalculation();
            } catch (...) {
            }
        }
    };
    session = std::make_unique<Session>(dm);
    CloseFirst closeFirst{session};
    selection = std::make_unique<Selection>(session->data(), session->results(),
                                            session->selectionWriter());
    try {
        if (!write)
            copy = std::make_unique<WorkCopy>(path);
        session->openCalculation(copy ? copy->path() : path);
    } catch (const std::exception& e) {
        return {kExitFailure, std::string(kCannotOpenCalculation) + " " + path + ": " +
                                  calcOpenFailureText(e.what())};
    }
    if (!session->results().error.empty())
        return {kExitStopped, session->results().error};
    try {
        const std::string refused = applySelectionParameters(*selection, opt.params);
        if (!refused.empty())
            return {kExitUsage, refused};
        selection->run();
        if (opt.choose) {
            const int k = *opt.choose;
            if (k < 1 || k > static_cast<int>(selection->rows().size()))
                return {kExitUsage,
                        selection->rows().empty()
                            ? std::string("--choose: список систем пуст, выбирать нечего")
                            : "--choose: в списке " + std::to_string(selection->rows().size()) +
                                  " систем, строки " + std::to_string(k) + " нет"};
            selection->setCurrentRow(k - 1);
            selection->choose();
        }
        session->closeCalculation();
    } catch (const std::exception& e) {
        return {kExitFailure, e.what()};
    }
    return {};
}

nlohmann::ordered_json selectJson(const Selection& s) {
    const bool fits = s.outcome() != Selection::Outcome::NoCatalogue;
    // A chamber temperature in no class names no catalogue (not the one of an earlier run).
    const auto orNull = [&s](const std::string& v) {
        return s.chamberFits() ? nlohmann::ordered_json(v) : nlohmann::ordered_json();
    };
    nlohmann::ordered_json j;
    j["catalogue"] = orNull(s.catalogueFile());
    j["caption"] = orNull(s.classCaption());
    j["ambient"] = fits ? nlohmann::ordered_json(s.ambientClass()) : nlohmann::ordered_json();
    j["lo"] = s.lo();
    j["hi"] = s.hi();
    if (fits)
        j["filter"] = s.filterText();
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (const CatalogueRow& r : s.rows())
        rows.push_back({{"SIS", r.sis},
                        {"AGR", r.agr},
                        {"VOHL", r.vohl},
                        {"Q", r.q},
                        {"T", r.t},
                        {"PPOT", r.ppot},
                        {"IPOT", r.ipot},
                        {"NABOR", r.nabor},
                        {"SHKAF", r.shkaf},
                        {"GR", r.gr},
                        {"PGR", r.pgr}});
    j["rows"] = std::move(rows);
    return j;
}

void printText(std::ostream& out, const Selection& s) {
    if (s.chamberFits()) {
        out << "Каталог: " << s.catalogueFile() << "\n";
        out << "Холодильные системы для " << s.classCaption() << " °С в охлаждаемом объеме\n";
    }
    if (s.outcome() == Selection::Outcome::NoCatalogue) {
        out << s.noCatalogueText() << "\n";
        return;
    }
    out << "Класс окружающей среды: " << s.ambientClass() << " (" << s.qField() << ", "
        << s.tField() << ")\n";
    out << "Систем: " << s.systems() << ", на одну систему от " << s.lo() << " до " << s.hi()
        << " Вт\n";
    out << "Фильтр: " << s.filterText() << "\n";
    if (s.rows().empty()) {
        out << Selection::kNoEquipmentMessage << "\n";
        return;
    }
    std::string head;
    for (const CatalogueColumn& c : s.shownColumns())
        head += (head.empty() ? "" : " | ") + std::string(c.caption);
    out << "\n    " << head << "\n";
    int n = 0;
    for (const CatalogueRow& r : s.rows()) {
        std::string line;
        for (const std::string& cell : Selection::listCells(r))
            line += (line.empty() ? "" : " | ") + cell;
        ++n;
        out << (n < 10 ? " " : "") << n << ". " << line << "\n";
        out << "    " << r.gr << ", " << r.pgr << "\n";
    }
}

int selectCommand(const CliContext& ctx, const SelectOptions& opt) {
    DataModule dm;
    if (const int status = openCommandData(ctx, opt.file, dm))
        return status;

    const bool writes = opt.params.systems || opt.choose;
    std::unique_ptr<Session> session;
    std::unique_ptr<Selection> selection;
    Run run;
    try {
        // Everything runs on a copy first, so that a refused choice leaves the file as it was;
        // only a run that succeeds there is repeated on the file itself.
        run = selectIn(dm, opt.file, opt, false, session, selection);
        if (run.status == kExitOk && writes) {
            selection.reset();
            session.reset();
            run = selectIn(dm, opt.file, opt, true, session, selection);
        }
    } catch (const std::exception& e) {
        run = {kExitFailure, std::string(kCannotOpenCalculation) + " " + e.what()};
    }
    if (run.status != kExitOk) {
        ctx.err << run.error << "\n";
        return run.status;
    }
    if (opt.json)
        ctx.out << selectJson(*selection).dump() << "\n";
    else
        printText(ctx.out, *selection);
    if (selection->outcome() == Selection::Outcome::NoCatalogue && opt.json)
        ctx.err << selection->noCatalogueText() << "\n";
    return kExitOk;
}
} // namespace

void addSelectionParameters(CLI::App* command, SelectionParameters& p, const char* systemsHelp) {
    command->add_option("--systems", p.systems, systemsHelp)->type_name("N");
    command
        ->add_option("--from", p.from,
                     "нижняя граница интервала, % (" + std::to_string(Selection::kLowerMin) + "…" +
                         std::to_string(Selection::kLowerMax) + ", по умолчанию " +
                         std::to_string(Selection::kLowerDefault) + ")")
        ->type_name("P");
    command
        ->add_option("--to", p.to,
                     "верхняя граница интервала, % (" + std::to_string(Selection::kUpperMin) + "…" +
                         std::to_string(Selection::kUpperMax) + ", по умолчанию " +
                         std::to_string(Selection::kUpperDefault) + ")")
        ->type_name("P");
}

std::string applySelectionParameters(Selection& selection, const SelectionParameters& p) {
    const std::string band = Selection::bandRefusal(p.from, p.to);
    if (!band.empty())
        return "--from, --to: " + band;
    if (p.systems && !selection.storeSystems(*p.systems))
        return "--systems: число систем от " + std::to_string(Selection::kSystemsMin) + " до " +
               std::to_string(Selection::kSystemsMax);
    selection.lowerPercentText = p.from;
    selection.upperPercentText = p.to;
    return {};
}

void addSelectCommand(CLI::App& root, CliRunner& run) {
    auto opt = std::make_shared<SelectOptions>();
    CLI::App* sub = root.add_subcommand(
        "select", "подбор оборудования: системы каталога под требуемую холодопроизводительность");
    sub->add_option("ФАЙЛ", opt->file, "файл расчета .vrn")->required()->type_name("ФАЙЛ");
    addSelectionParameters(sub, opt->params,
                           "количество систем 1…9, записывается в расчет (KOLSYS)");
    sub->add_option("--choose", opt->choose,
                    "выбрать K-ю систему списка (1 - первая) и записать ее в расчет")
        ->type_name("K");
    sub->add_flag("--json", opt->json, "вывести результат объектом JSON");
    sub->callback(
        [&run, opt] { run = [opt](const CliContext& ctx) { return selectCommand(ctx, *opt); }; });
}

} // namespace vorn
