// vorn table list [--json]
// vorn table export ИМЯ -o ФАЙЛ.csv|ФАЙЛ.xlsx
// vorn table import ИМЯ ФАЙЛ.csv|ФАЙЛ.xlsx [--append] [--dry-run]
// ИМЯ is the table's file name without extension, any letter case.
#include "app/cli/TableCommand.h"

#include "refedit/RefTables.h"
#include "refedit/TableTransfer.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>

namespace vorn {

namespace {

struct TableOptions {
    std::string name;
    std::string file;
    std::string output;
    bool json = false;
    ImportOptions import;
};

const RefTableDesc* tableOrComplain(const CliContext& ctx, const std::string& name) {
    const RefTableDesc* desc = findRefTable(name);
    if (!desc)
        ctx.err << "vorn: нет такой таблицы: " << name << " (список: vorn table list)\n";
    return desc;
}

int list(const CliContext& ctx, const TableOptions& opt) {
    int status = kExitOk;
    nlohmann::ordered_json all = nlohmann::ordered_json::array();
    for (const RefTableDesc& d : refTables()) {
        nlohmann::ordered_json rows;
        try {
            rows = TableTransfer::open(ctx.dataDir, d, true)->recordCount();
        } catch (const std::exception& e) {
            ctx.err << "vorn: " << d.file << ": " << e.what() << "\n";
            status = kExitFailure;
        }
        if (opt.json) {
            all.push_back({{"name", d.name},
                           {"file", d.file},
                           {"rows", rows},
                           {"caption", d.caption},
                           {"group", d.group}});
            continue;
        }
        char line[64];
        std::snprintf(line, sizeof line, "%-10s %-14s %6s  ", d.name.c_str(), d.file.c_str(),
                      rows.is_null() ? "-" : std::to_string(rows.get<int>()).c_str());
        ctx.out << line << d.caption << "\n";
    }
    if (opt.json)
        ctx.out << all.dump(2) << "\n";
    return status;
}

int exportTable(const CliContext& ctx, const TableOptions& opt) {
    const RefTableDesc* desc = tableOrComplain(ctx, opt.name);
    if (!desc)
        return kExitUsage;
    if (fileKindOf(opt.output) == FileKind::Unknown) {
        ctx.err << "vorn: " << opt.output << ": нужен файл .csv или .xlsx\n";
        return kExitUsage;
    }
    try {
        TableTransfer::exportTo(*TableTransfer::open(ctx.dataDir, *desc, true), opt.output);
    } catch (const std::exception& e) {
        ctx.err << "vorn: " << e.what() << "\n";
        return kExitFailure;
    }
    return kExitOk;
}

int importTable(const CliContext& ctx, const TableOptions& opt) {
    const RefTableDesc* desc = tableOrComplain(ctx, opt.name);
    if (!desc)
        return kExitUsage;
    if (fileKindOf(opt.file) == FileKind::Unknown) {
        ctx.err << "vorn: " << opt.file << ": нужен файл .csv или .xlsx\n";
        return kExitUsage;
    }
    Sheet sheet;
    std::unique_ptr<Table> table;
    try {
        sheet = TableTransfer::readFile(opt.file);
        table = TableTransfer::open(ctx.dataDir, *desc);
    } catch (const RefusedFile& e) {
        ctx.err << "vorn: " << opt.file << ": " << e.what() << "\n";
        return kExitUsage;
    } catch (const std::exception& e) {
        ctx.err << "vorn: " << e.what() << "\n";
        return kExitFailure;
    }
    ImportResult r;
    try {
        r = TableTransfer::import(*table, *desc, sheet, opt.import);
    } catch (const std::exception& e) {
        ctx.err << "vorn: " << desc->file << ": " << e.what() << "\n";
        return kExitFailure;
    }
    if (!r.errors.empty()) {
        for (const std::string& e : r.errors)
            ctx.err << opt.file << ": " << e << "\n";
        ctx.err << "vorn: файл отклонен (ошибок: " << r.errors.size() << "), таблица " << desc->file
                << " не изменена\n";
        return kExitUsage;
    }
    if (opt.import.dryRun)
        ctx.out << "проверено строк: " << r.rows << ", ошибок нет; таблица не изменена\n";
    else
        ctx.out << (opt.import.append ? "добавлено строк: " : "записано строк: ") << r.rows << " в "
                << desc->file << "\n";
    return kExitOk;
}

} // namespace

void addTableCommand(CLI::App& root, CliRunner& run) {
    auto opt = std::make_shared<TableOptions>();
    CLI::App* table =
        root.add_subcommand("table", "справочники и каталоги: список, экспорт и импорт CSV/XLSX");
    table->require_subcommand(0, 1);
    table->fallthrough();
    table->callback([table, &run] {
        if (table->get_subcommands().empty())
            run = [](const CliContext& ctx) {
                ctx.err << "vorn: vorn table: нужна команда list, export или import\n"
                           "Справка: vorn table --help\n";
                return kExitUsage;
            };
    });

    CLI::App* listCmd = table->add_subcommand("list", "таблицы: имя, файл, число строк, название");
    listCmd->add_flag("--json", opt->json, "вывести список в JSON");
    listCmd->fallthrough();
    listCmd->callback(
        [opt, &run] { run = [opt](const CliContext& ctx) { return list(ctx, *opt); }; });

    CLI::App* exportCmd = table->add_subcommand("export", "записать таблицу в файл CSV или XLSX");
    exportCmd->add_option("ИМЯ", opt->name, "имя таблицы (products, s_mater, kat-18, prices ...)")
        ->required();
    exportCmd->add_option("-o,--output", opt->output, "файл .csv или .xlsx")
        ->required()
        ->type_name("ФАЙЛ");
    exportCmd->fallthrough();
    exportCmd->callback(
        [opt, &run] { run = [opt](const CliContext& ctx) { return exportTable(ctx, *opt); }; });

    CLI::App* importCmd =
        table->add_subcommand("import", "заменить строки таблицы строками файла CSV или XLSX");
    importCmd->add_option("ИМЯ", opt->name, "имя таблицы")->required();
    importCmd->add_option("ФАЙЛ", opt->file, "файл .csv или .xlsx")->required();
    importCmd->add_flag("--append", opt->import.append, "добавить строки к строкам таблицы");
    importCmd->add_flag("--dry-run", opt->import.dryRun,
                        "только проверить файл, ничего не записывая");
    importCmd->fallthrough();
    importCmd->callback(
        [opt, &run] { run = [opt](const CliContext& ctx) { return importTable(ctx, *opt); }; });

    for (CLI::App* sub : {listCmd, exportCmd, importCmd}) {
        for (CLI::Option* o : sub->get_options()) {
            o->group("Параметры");
            if (o->get_positional())
                o->type_name("");
        }
        sub->group("Команды");
    }
}

} // namespace vorn
