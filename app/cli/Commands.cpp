#include "app/cli/Commands.h"

#include "app/DataLocation.h"
#include "app/cli/ProjectCommand.h"
#include "app/cli/TableCommand.h"
#include "data/CodePage.h"
#include "data/Version.h"

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <ostream>

namespace vorn {

namespace {

const CliRegistrar kCoreCommands[] = {
    addCalcCommand,
    addSetCommand,
    addSelectCommand,
    addNewCommand,
    addConvertCommand,
    addDumpCommand,
    addTableCommand,
    addProjectCommand,
};

const char* const kHelpHint = "Справка: vorn --help";

// CLI11's help with its columns aligned by characters rather than bytes, so that the
// Russian placeholders (ФАЙЛ, ПАПКА: two bytes a letter) keep the descriptions in line.
class HelpFormatter : public CLI::Formatter {
public:
    std::string make_option(const CLI::Option* opt, bool isPositional) const override {
        return row(make_option_name(opt, isPositional) + make_option_opts(opt),
                   make_option_desc(opt));
    }
    std::string make_subcommand(const CLI::App* sub) const override {
        return row(sub->get_display_name(true), sub->get_description());
    }

private:
    std::string row(const std::string& name, const std::string& description) const {
        const size_t width = get_column_width();
        std::string out = "  " + name;
        size_t used = utf8Characters(out);
        if (!description.empty()) {
            if (used >= width) {
                out += '\n';
                used = 0;
            }
            out.append(width - used, ' ');
            for (char c : description) {
                out += c;
                if (c == '\n')
                    out.append(width, ' ');
            }
        }
        return out + '\n';
    }
};

// Russian headings and placeholders for CLI11's help texts.
void russianLabels(CLI::App& app) {
    app.formatter(std::make_shared<HelpFormatter>());
    auto f = app.get_formatter();
    f->label("Usage", "Использование");
    f->label("OPTIONS", "ПАРАМЕТРЫ");
    f->label("SUBCOMMAND", "КОМАНДА");
    f->label("SUBCOMMANDS", "КОМАНДЫ");
    f->label("Positionals", "Аргументы");
    f->label("REQUIRED", "");
    f->column_width(34);
}

// The usage error in Russian: CLI11's own texts are English.
std::string usageError(const CLI::ParseError& e, const CLI::App& app) {
    if (dynamic_cast<const CLI::ExtrasError*>(&e)) {
        std::string words;
        for (const std::string& w : app.remaining(true))
            words += (words.empty() ? "" : " ") + w;
        if (words.empty())
            return "лишние аргументы в командной строке";
        return "неизвестный параметр или лишний аргумент: " + words;
    }
    const std::string what = e.what();
    if (dynamic_cast<const CLI::RequiredError*>(&e)) {
        const auto pos = what.find(" is required");
        return "не задан обязательный аргумент " +
               (pos == std::string::npos ? what : what.substr(0, pos));
    }
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e)) {
        const auto pos = what.find(':');
        return "параметру " + (pos == std::string::npos ? what : what.substr(0, pos)) +
               " не хватает значения";
    }
    if (dynamic_cast<const CLI::ConversionError*>(&e) ||
        dynamic_cast<const CLI::ValidationError*>(&e))
        return "неверное значение: " + what;
    return "ошибка в командной строке: " + what;
}

struct Line {
    CLI::App root{"Vorn: тепловой баланс холодильной камеры и подбор холодильного оборудования.",
                  "vorn"};
    CliRunner run;
    std::string dataDir;
    std::string file;

    explicit Line(const std::vector<CliRegistrar>& extra) {
        russianLabels(root);
        // Options are --name on every system: on Windows "/path" stays a file, not an option
        // (the subcommands take this over when they are added).
        root.allow_windows_style_options(false);
        root.option_defaults()->group("Параметры");
        root.set_help_flag("-h,--help", "показать эту справку и выйти");
        root.set_version_flag("--version", std::string(kVersionLine), "показать версию и выйти");
        root.add_option("--data", dataDir,
                        "папка справочников и каталогов (по умолчанию DATA рядом с программой, "
                        "иначе папка данных пользователя)")
            ->type_name("ПАПКА");
        root.add_option("ФАЙЛ", file, "файл расчета, который окно откроет при запуске")
            ->type_name("ФАЙЛ");
        // --data may stand after the subcommand's own arguments as well.
        root.fallthrough();
        // `vorn help [КОМАНДА]` is answered before parsing (see parseAndRun); it is listed
        // here so that the usage names it
        root.add_subcommand("help", "справка о программе или о команде: vorn help КОМАНДА");
        for (CliRegistrar reg : kCoreCommands)
            reg(root, run);
        for (CliRegistrar reg : extra)
            reg(root, run);
        tidyHelp(root);
        for (CLI::App* sub : root.get_subcommands({})) {
            tidyHelp(*sub);
            sub->group("Команды");
            if (sub->get_name() != "help")
                sub->footer("Общий параметр: --data ПАПКА, папка справочников и каталогов.");
        }
    }

    // A positional shows its name once ("ФАЙЛ", not "ФАЙЛ ФАЙЛ"); every option of a
    // command stands in one group.
    static void tidyHelp(CLI::App& app) {
        for (CLI::Option* o : app.get_options())
            o->group("Параметры");
        for (CLI::Option* o :
             app.get_options([](const CLI::Option* o) { return o->get_positional(); }))
            o->type_name("");
    }

    // The subcommand named topic, or null.
    CLI::App* command(const std::string& topic) {
        for (CLI::App* sub : root.get_subcommands({}))
            if (sub->get_name() == topic)
                return sub;
        return nullptr;
    }
};

enum class Mode { Program, SubcommandOnly };

// The default data folder is found only once a command needs it: finding it may fill the
// user's folder, which help and usage errors must not do.
CliRequest parseAndRun(const std::string& programDir,
                       const std::function<std::string()>& defaultDataDir,
                       const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                       const std::vector<CliRegistrar>& extra, Mode mode) {
    CliRequest req;
    Line line(extra);
    if (!args.empty() && args.front() == "help") {
        if (args.size() < 2) {
            out << line.root.help();
        } else if (CLI::App* sub = line.command(args[1])) {
            out << sub->help("vorn");
        } else {
            err << "vorn: нет такой команды: " << args[1] << "\n" << kHelpHint << "\n";
            req.exitStatus = kExitUsage;
        }
        return req;
    }
    try {
        std::vector<std::string> reversed(args.rbegin(), args.rend());
        line.root.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        out << line.root.help();
        return req;
    } catch (const CLI::CallForVersion&) {
        out << kVersionLine << "\n";
        return req;
    } catch (const CLI::ParseError& e) {
        err << "vorn: " << usageError(e, line.root) << "\n" << kHelpHint << "\n";
        req.exitStatus = kExitUsage;
        return req;
    }
    req.dataDir = line.dataDir.empty() ? defaultDataDir() : line.dataDir;

    if (line.run && !line.file.empty()) {
        // a word past the subcommand's own arguments fell through to the window's FILE
        err << "vorn: лишний аргумент: " << line.file << "\n" << kHelpHint << "\n";
        req.exitStatus = kExitUsage;
        return req;
    }
    if (line.run) {
        CliContext ctx{programDir, req.dataDir, out, err};
        try {
            req.exitStatus = line.run(ctx);
        } catch (const std::exception& e) {
            err << "vorn: " << e.what() << "\n";
            req.exitStatus = kExitFailure;
        }
        return req;
    }
    if (mode == Mode::SubcommandOnly) {
        err << "vorn: не задана команда\n" << kHelpHint << "\n";
        req.exitStatus = kExitUsage;
        return req;
    }
    if (!line.file.empty()) {
        std::error_code ec;
        // A word that looks like a file, given with a display (a desktop shortcut), opens
        // the window, which tells what is wrong with the file; anything else is a typo.
        const bool looksLikeFile = line.file.find_first_of("./") != std::string::npos;
        const char* display = std::getenv("DISPLAY");
        const char* wayland = std::getenv("WAYLAND_DISPLAY");
        const bool hasDisplay = (display && *display) || (wayland && *wayland);
        if (!std::filesystem::exists(std::filesystem::u8path(line.file), ec) &&
            !(looksLikeFile && hasDisplay)) {
            err << "vorn: нет такой команды или файла: " << line.file << "\n" << kHelpHint << "\n";
            req.exitStatus = kExitUsage;
            return req;
        }
        req.files.push_back(line.file);
    }
    req.startWindow = true;
    return req;
}

} // namespace

CliRequest runCommandLine(const std::string& programDir, const std::vector<std::string>& args,
                          std::ostream& out, std::ostream& err,
                          const std::vector<CliRegistrar>& extra) {
    return parseAndRun(
        programDir, [&programDir] { return DataLocation::resolve(programDir).dataDir; }, args, out,
        err, extra, Mode::Program);
}

int runSubcommand(const CliContext& ctx, const std::vector<std::string>& args,
                  const std::vector<CliRegistrar>& extra) {
    return parseAndRun(
               ctx.programDir, [&ctx] { return ctx.dataDir; }, args, ctx.out, ctx.err, extra,
               Mode::SubcommandOnly)
        .exitStatus;
}

} // namespace vorn
