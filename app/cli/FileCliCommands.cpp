// vorn new FILE [--force] and vorn convert OLD.dbf [--force]: the file commands of the
// window for scripts, with the same messages.
#include "app/cli/Commands.h"
#include "app/FileCommands.h"
#include "app/OldFileConverter.h"
#include "document/Session.h"
#include "data/CalcRecord.h"
#include "data/DataModule.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <memory>
#include <ostream>

namespace vorn {

namespace {
const char* const kReferenceFailure = "Ошибка подключения справочников !";

struct FileArgs {
    std::string path;
    bool force = false;
};

int newCommand(const CliContext& ctx, const FileArgs& fa);
int convertCommand(const CliContext& ctx, const FileArgs& fa);

void addFileCommand(CLI::App& root, CliRunner& run, const char* name, const char* description,
                    const char* fileHelp, int (*command)(const CliContext&, const FileArgs&)) {
    auto opt = std::make_shared<FileArgs>();
    CLI::App* sub = root.add_subcommand(name, description);
    sub->add_option("ФАЙЛ", opt->path, fileHelp)->required()->type_name("ФАЙЛ");
    sub->add_flag("--force", opt->force, "заменить существующий файл без вопроса");
    sub->callback([&run, opt, command] {
        run = [opt, command](const CliContext& ctx) { return command(ctx, *opt); };
    });
}

std::string absolutePath(const std::string& path) {
    std::error_code ec;
    auto abs = std::filesystem::absolute(std::filesystem::u8path(path), ec);
    return ec ? path : abs.lexically_normal().u8string();
}

bool refuseExisting(const CliContext& ctx, const std::string& path) {
    ctx.err << "Файл " << path << " уже существует. Заменить его: --force\n";
    return false;
}

int newCommand(const CliContext& ctx, const FileArgs& fa) {
    const std::string path = absolutePath(fa.path);
    DataModule dm;
    dm.setDataDir(ctx.dataDir);
    if (!dm.openReferenceTables(nullptr, DataModule::Access::ReadOnly)) {
        ctx.err << kReferenceFailure << "\n";
        return 1;
    }
    Session session(dm);
    session.showMessage = [&ctx](const std::string& m) { ctx.err << m << "\n"; };
    FileCommands files(session, dm);
    FileOutcome out = files.newCalculation(
        path, [&](const std::string& p) { return fa.force || refuseExisting(ctx, p); });
    for (const std::string& m : out.messages)
        ctx.err << m << "\n";
    const bool created = out.state == FileOutcome::State::CalculationOpen;
    files.endProgram();
    if (!created)
        return 1;
    ctx.out << path << "\n";
    return 0;
}

int convertCommand(const CliContext& ctx, const FileArgs& fa) {
    const std::string path = absolutePath(fa.path);
    DataModule dm;
    dm.setDataDir(ctx.dataDir);
    // A FIFO or a device is never opened: reading one could wait forever.
    std::error_code ec;
    const auto status = std::filesystem::status(std::filesystem::u8path(path), ec);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        ctx.err << calcFileProblem(path) << "\n";
        return 1;
    }
    // A file that opens as a calculation needs no conversion.
    {
        Table probe("probe");
        configureCalcTable(probe);
        probe.setReadOnly(true);
        probe.setTableName(path);
        bool isCalculation = false;
        try {
            probe.open();
            isCalculation = true;
            probe.close();
        } catch (const std::exception&) {
        }
        if (isCalculation) {
            ctx.err << "Файл " << path << " уже является расчетом Vorn\n";
            return 1;
        }
    }
    ctx.err << kCannotOpenCalculation << "\n";
    ConversionOutcome conv = OldFileConverter::convert(
        dm, path, [&](const std::string& p) { return fa.force || refuseExisting(ctx, p); });
    for (const std::string& m : conv.messages)
        ctx.err << m << "\n";
    dm.closeAll();
    if (conv.result != ConversionOutcome::Result::Converted)
        return 1;
    ctx.out << conv.targetPath << "\n";
    return 0;
}

} // namespace

void addNewCommand(CLI::App& root, CliRunner& run) {
    addFileCommand(root, run, "new", "новый расчет из шаблона; печатает полный путь",
                   "имя нового файла расчета .vrn", newCommand);
}

void addConvertCommand(CLI::App& root, CliRunner& run) {
    addFileCommand(root, run, "convert",
                   "перевести расчет старого формата в новый файл .vrn; печатает его путь",
                   "файл расчета старого формата", convertCommand);
}

} // namespace vorn
