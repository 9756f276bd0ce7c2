// vorn project new|add|remove|show: create a project, add and remove chambers, and show its
// chambers, totals and bill of materials (every chamber file left untouched).
#include "app/cli/ProjectCommand.h"

#include "calc/NumberFormat.h"

#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <ostream>

namespace vorn {

namespace {
namespace fs = std::filesystem;

std::string limitText(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    std::string s = buf;
    for (char& c : s)
        if (c == '.')
            c = ',';
    return s;
}

// A finite number from lo to hi (a whole one when whole is set), with a decimal point or
// comma; the refusal in Russian. CLI11's own ranges let nan through and speak English.
CLI::Validator numberIn(double lo, double hi, bool whole) {
    return CLI::Validator(
        [lo, hi, whole](std::string& text) -> std::string {
            std::string s = text;
            for (char& c : s)
                if (c == ',')
                    c = '.';
            char* end = nullptr;
            const double v = s.empty() ? 0 : std::strtod(s.c_str(), &end);
            const bool parsed = !s.empty() && end && *end == '\0' && std::isfinite(v);
            if (!parsed || v < lo || v > hi || (whole && v != std::floor(v)))
                return "«" + text + "» — нужно " + (whole ? "целое " : "") + "число от " +
                       limitText(lo) + " до " + limitText(hi);
            text = s;
            return {};
        },
        "", "");
}

struct NewOptions {
    std::string project;
    std::string client;
};
struct AddOptions {
    std::string project;
    std::string file;
    int qty = 1;
};
struct RemoveOptions {
    std::string project;
    int index = 0;
};
struct ShowOptions {
    ProjectRunOptions run;
    bool json = false;
};

nlohmann::ordered_json number(const std::optional<double>& v) {
    return v ? nlohmann::ordered_json(*v) : nlohmann::ordered_json();
}
// Two decimals, as the boxes show them.
nlohmann::ordered_json kw(double v) {
    return roundBox(v);
}

std::string text2(double v) {
    return formatGrouped2(v);
}
std::string text0(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.0f", v);
    return buf;
}

int fail(const CliContext& ctx, const std::string& message) {
    ctx.err << message << "\n";
    return kExitFailure;
}

int newProject(const CliContext& ctx, const NewOptions& opt) {
    OfferSettings s;
    s.client = opt.client;
    try {
        ProjectFile::create(opt.project, s);
    } catch (const std::exception& e) {
        return fail(ctx, "Проект не создан: " + std::string(e.what()));
    }
    return kExitOk;
}

int addChamber(const CliContext& ctx, const AddOptions& opt) {
    std::error_code ec;
    if (!fs::is_regular_file(fs::u8path(opt.file), ec))
        return fail(ctx, "Указанный расчет не найден: " + opt.file);
    try {
        ProjectFile::addChamber(opt.project, opt.file, opt.qty);
    } catch (const std::exception& e) {
        return fail(ctx, "Расчет не добавлен: " + std::string(e.what()));
    }
    return kExitOk;
}

int removeChamber(const CliContext& ctx, const RemoveOptions& opt) {
    try {
        ProjectFile::removeChamber(opt.project, opt.index);
    } catch (const std::exception& e) {
        return fail(ctx, "Камера не удалена: " + std::string(e.what()));
    }
    return kExitOk;
}

void printText(std::ostream& out, const ProjectSummary& s) {
    out << "Проект: " << s.projectPath << "\n";
    if (!s.settings.client.empty())
        out << "Клиент: " << s.settings.client << "\n";
    out << "\n";
    int n = 0;
    for (const ChamberLine& c : s.chambers) {
        out << ++n << ". " << c.entry.file << " × " << c.entry.qty;
        if (!c.entry.note.empty())
            out << " (" << c.entry.note << ")";
        out << "\n";
        const ChamberFigures& f = c.figures;
        if (!c.counted()) {
            out << "   ошибка: " << c.flag << "\n";
            continue;
        }
        out << "   " << text0(f.temperature) << " °C, " << f.regime << ", " << text2(f.volume)
            << " м3; Qсум " << text2(f.sumKw) << " кВт, Qx " << text2(f.requiredKw) << " кВт\n";
        out << "   система: " << (f.system.empty() ? "-" : f.system) << " × " << f.systems;
        if (c.energyKwh)
            out << ", " << text0(*c.energyKwh) << " кВт·ч/год";
        if (!c.flag.empty())
            out << " (" << c.flag << ")";
        out << "\n";
    }
    out << "\nОборудование:\n";
    for (const MaterialLine& m : s.materials) {
        out << "  " << m.article << " - " << m.name << ": " << m.qty << " шт., ";
        if (m.price)
            out << text2(*m.price) << " × " << m.qty << " = " << text2(*m.sum) << " "
                << s.settings.currency << "\n";
        else
            out << ProjectSummaries::kNoPrice << "\n";
    }
    const ProjectTotals& t = s.totals;
    const std::string& cur = s.settings.currency;
    out << "\nПотребная холодопроизводительность всего: " << text2(t.requiredKw) << " кВт\n";
    out << "Энергопотребление: " << text0(t.energyKwh) << " кВт·ч/год\n";
    out << "Стоимость электроэнергии: "
        << (t.runningCost ? text2(*t.runningCost) + " " + cur + "/год" : "тариф не задан") << "\n";
    out << "Оборудование: " << text2(t.equipment) << " " << cur << "\n";
    out << "НДС " << text2(s.settings.vatPercent) << " %: " << text2(t.vat) << " " << cur << "\n";
    out << "Всего с НДС: " << text2(t.total) << " " << cur
        << (t.complete ? "" : " (неполные итоги)") << "\n";
}

int showProject(const CliContext& ctx, const ShowOptions& opt) {
    ProjectSummary s;
    if (const int status = evaluateProject(ctx, opt.run, s))
        return status;
    if (opt.json) {
        ctx.out << projectJson(s).dump() << "\n";
    } else {
        printText(ctx.out, s);
    }
    ctx.out.flush();
    for (const std::string& w : s.warnings)
        ctx.err << "Внимание: " << w << "\n";
    return kExitOk;
}

CLI::App* addProjectArg(CLI::App* sub, std::string& project) {
    sub->add_option("ПРОЕКТ", project, "файл проекта .vrp")->required();
    return sub;
}

// Help in the words of the other commands: one group of options, a positional named once.
void tidy(CLI::App* sub) {
    for (CLI::Option* o : sub->get_options())
        o->group("Параметры");
    for (CLI::Option* o :
         sub->get_options([](const CLI::Option* o) { return o->get_positional(); }))
        o->type_name("");
    sub->group("Команды");
}

template <class Options>
void setRunner(CLI::App* sub, CliRunner& run, std::shared_ptr<Options> opt,
               int (*command)(const CliContext&, const Options&)) {
    sub->callback([&run, opt, command] {
        run = [opt, command](const CliContext& ctx) { return command(ctx, *opt); };
    });
    tidy(sub);
}
} // namespace

void tidyProjectHelp(CLI::App* sub) {
    tidy(sub);
}

void addOverrideOptions(CLI::App* sub, ProjectRunOptions& opt) {
    sub->add_option("--tariff", opt.tariff,
                    "тариф на электроэнергию, за кВт·ч (только для этого запуска)")
        ->type_name("R")
        ->check(numberIn(0, 99999, false));
    sub->add_option("--vat", opt.vat, "ставка НДС, % (только для этого запуска)")
        ->type_name("P")
        ->check(numberIn(0, 100, false));
}

int evaluateProject(const CliContext& ctx, const ProjectRunOptions& opt, ProjectSummary& out) {
    try {
        out = ProjectSummaries::evaluate(opt.project, ctx.dataDir, opt.overrides());
    } catch (const std::exception& e) {
        return fail(ctx, "Проект не может быть открыт ! " + opt.project + ": " + e.what());
    }
    return kExitOk;
}

nlohmann::ordered_json projectJson(const ProjectSummary& s) {
    nlohmann::ordered_json chambers = nlohmann::ordered_json::array();
    for (const ChamberLine& c : s.chambers) {
        const ChamberFigures& f = c.figures;
        const bool ok = c.counted();
        const auto num = [ok](nlohmann::ordered_json v) {
            return ok ? v : nlohmann::ordered_json();
        };
        nlohmann::ordered_json j;
        j["file"] = c.entry.file;
        j["qty"] = c.entry.qty;
        j["note"] = c.entry.note;
        j["temperature"] = num(f.temperature);
        j["regime"] = num(f.regime);
        j["volume"] = num(kw(f.volume));
        j["sum_kw"] = num(kw(f.sumKw));
        j["required_kw"] = num(kw(f.requiredKw));
        j["system"] =
            ok && !f.system.empty() ? nlohmann::ordered_json(f.system) : nlohmann::ordered_json();
        j["systems"] = num(f.systems);
        j["system_kw"] = ok && f.hasSystem() ? kw(f.systemKw) : nlohmann::ordered_json();
        j["power_kw"] = number(f.powerKw);
        j["energy_kwh_year"] = number(c.energyKwh);
        j["error"] = ok ? nlohmann::ordered_json() : nlohmann::ordered_json(f.error);
        chambers.push_back(std::move(j));
    }
    const ProjectTotals& t = s.totals;
    nlohmann::ordered_json totals;
    totals["required_kw"] = kw(t.requiredKw);
    totals["energy_kwh_year"] = t.energyKwh;
    totals["running_cost"] = number(t.runningCost);
    totals["equipment"] = t.equipment;
    totals["vat"] = t.vat;
    totals["total"] = t.total;
    totals["complete"] = t.complete;
    nlohmann::ordered_json materials = nlohmann::ordered_json::array();
    for (const MaterialLine& m : s.materials) {
        nlohmann::ordered_json j;
        j["article"] = m.article;
        j["name"] = m.name;
        j["qty"] = m.qty;
        j["price"] = number(m.price);
        j["sum"] = number(m.sum);
        materials.push_back(std::move(j));
    }
    nlohmann::ordered_json j;
    j["chambers"] = std::move(chambers);
    j["totals"] = std::move(totals);
    j["materials"] = std::move(materials);
    j["warnings"] = s.warnings;
    return j;
}

void addProjectCommand(CLI::App& root, CliRunner& run) {
    CLI::App* project = root.add_subcommand(
        "project", "проект: камеры одного объекта, итоги, энергопотребление и коммерческое "
                   "предложение (vorn project new|add|remove|show|offer)");
    project->require_subcommand(1);
    project->footer("Общий параметр: --data ПАПКА, папка справочников и каталогов.");

    auto nw = std::make_shared<NewOptions>();
    CLI::App* sub =
        addProjectArg(project->add_subcommand("new", "создать пустой проект"), nw->project);
    sub->add_option("--client", nw->client, "клиент")->type_name("ТЕКСТ");
    setRunner(sub, run, nw, newProject);

    auto add = std::make_shared<AddOptions>();
    sub = addProjectArg(project->add_subcommand("add", "добавить расчет в проект"), add->project);
    sub->add_option("ФАЙЛ", add->file, "файл расчета .vrn")->required();
    sub->add_option("--qty", add->qty, "количество одинаковых камер (по умолчанию 1)")
        ->type_name("N")
        ->check(numberIn(1, ProjectFile::kMaxQty, true));
    setRunner(sub, run, add, addChamber);

    auto rm = std::make_shared<RemoveOptions>();
    sub = addProjectArg(project->add_subcommand("remove", "убрать камеру из проекта"), rm->project);
    sub->add_option("НОМЕР", rm->index, "номер камеры в проекте, с 1")
        ->required()
        ->check(numberIn(1, 1e6, true));
    setRunner(sub, run, rm, removeChamber);

    auto show = std::make_shared<ShowOptions>();
    sub = addProjectArg(
        project->add_subcommand("show", "камеры проекта, итоги и спецификация оборудования"),
        show->run.project);
    sub->add_flag("--json", show->json, "вывести результат объектом JSON");
    addOverrideOptions(sub, show->run);
    setRunner(sub, run, show, showProject);
}

} // namespace vorn
