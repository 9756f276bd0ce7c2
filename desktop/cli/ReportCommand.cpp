#include "desktop/cli/ReportCommand.h"

#include "data/WorkCopy.h"

#include "app/OutputFile.h"
#include "app/cli/CalcCommand.h"
#include "app/cli/Commands.h"
#include "data/Version.h"
#include "document/Session.h"
#include "data/DataModule.h"
#include "reports/CalcNoteLayout.h"
#include "reports/CalcReportLayout.h"
#include "reports/HeaderLines.h"
#include "desktop/reports/ReportPainter.h"
#include "desktop/widgets/ProgramFonts.h"
#include "reports/ReportPreparation.h"
#include "reports/SystemsListLayout.h"
#include "selection/Selection.h"

#include <CLI/CLI.hpp>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>

namespace vorn {

namespace {
namespace fs = std::filesystem;

// Fonts and the PDF writer need a GUI application; on no display Qt's offscreen platform
// serves.
std::unique_ptr<QGuiApplication> ensureGuiApplication() {
    if (QCoreApplication::instance())
        return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's notes about the environment (no runtime folder, no session) are no concern of
    // a command that writes a file; its real failures still reach the user.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& msg) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", msg.toLocal8Bit().constData());
    });
    static int argc = 1;
    static char name[] = "vorn";
    static char* argv[] = {name, nullptr};
    auto app = std::make_unique<QGuiApplication>(argc, argv);
    registerProgramFonts();
    return app;
}

// Builds the report's pages from the open calculation. Returns an exit status; a failure
// puts its message into message.
using Builder = std::function<int(DataModule& dm, Session& session, const std::string& shownPath,
                                  ReportDocument& doc, std::string& message)>;

// Opens FILE as the program does (from a copy), builds the pages and writes OUT.
int writeReport(const CliContext& ctx, const std::string& file, const std::string& out,
                const Builder& build) {
    const std::string outProblem = outputFileProblem(out, file);
    if (!outProblem.empty()) {
        ctx.err << outProblem << "\n";
        return kExitFailure;
    }
    DataModule dm;
    if (const int status = openCommandData(ctx, file, dm))
        return status;
    std::error_code ec;
    const std::string shownPath = fs::absolute(fs::u8path(file), ec).u8string();

    ReportDocument doc;
    try {
        std::unique_ptr<WorkCopy> copy;
        Session session(dm);
        if (!openCommandCalculation(ctx, session, file, &copy))
            return kExitFailure;
        if (!session.results().error.empty()) {
            ctx.err << session.results().error << "\n";
            session.closeCalculation();
            return kExitStopped;
        }
        std::string message;
        const int status = build(dm, session, shownPath, doc, message);
        session.closeCalculation();
        if (!message.empty())
            ctx.err << message << "\n";
        if (status != kExitOk)
            return status;
    } catch (const std::exception& e) {
        ctx.err << file << ": " << e.what() << "\n";
        return kExitFailure;
    }

    const auto app = ensureGuiApplication();
    QString error;
    if (!ReportPainter::writePdf(doc, QString::fromStdString(out), &error)) {
        ctx.err << error.toStdString() << "\n";
        return kExitFailure;
    }
    return kExitOk;
}

CLI::App* addPdfCommand(CLI::App& root, const char* name, const char* description,
                        std::string& file, std::string& out) {
    CLI::App* sub = root.add_subcommand(name, description);
    sub->add_option("ФАЙЛ", file, "файл расчета .vrn")->required()->type_name("ФАЙЛ");
    sub->add_option("-o,--output", out, "файл PDF, который будет записан")
        ->required()
        ->type_name("ОТЧЕТ.pdf");
    return sub;
}

} // namespace

void addReportCommand(CLI::App& root, CliRunner& run) {
    auto opt = std::make_shared<ReportOptions>();
    CLI::App* sub = addPdfCommand(
        root, "report", "отчет по расчету в файл PDF, одна страница A4 (файл расчета не меняется)",
        opt->file, opt->out);
    sub->add_flag("--note", opt->note,
                  "расчетная записка: каждый шаг расчета с формулой, исходными данными и "
                  "результатом, на нескольких листах A4");
    sub->callback(
        [&run, opt] { run = [opt](const CliContext& ctx) { return reportCommand(ctx, *opt); }; });
}

void addSystemsCommand(CLI::App& root, CliRunner& run) {
    auto opt = std::make_shared<SystemsOptions>();
    CLI::App* sub = addPdfCommand(
        root, "systems",
        "список подобранных систем в файл PDF, как по кнопке \"Печать систем\" (файл расчета "
        "не меняется)",
        opt->file, opt->out);
    addSelectionParameters(sub, opt->params, "количество систем 1…9 (только для этого списка)");
    sub->callback(
        [&run, opt] { run = [opt](const CliContext& ctx) { return systemsCommand(ctx, *opt); }; });
}

int reportCommand(const CliContext& ctx, const ReportOptions& options) {
    return writeReport(
        ctx, options.file, options.out,
        [&ctx, &options](DataModule& dm, Session& session, const std::string& shownPath,
                         ReportDocument& doc, std::string&) {
            ReportSource src = ReportPreparation::calcReport(
                dm.taWork, session.results(), HeaderLines::folderFor(ctx.dataDir), shownPath,
                kVersionLine);
            src.warnings = session.warnings();
            doc = options.note ? CalcNoteLayout::layout(src, session.results().steps)
                               : CalcReportLayout::layout(src);
            return kExitOk;
        });
}

int systemsCommand(const CliContext& ctx, const SystemsOptions& options) {
    return writeReport(
        ctx, options.file, options.out,
        [&ctx, &options](DataModule& dm, Session& session, const std::string& shownPath,
                         ReportDocument& doc, std::string& message) {
            Selection selection(session.data(), session.results(), session.selectionWriter());
            message = applySelectionParameters(selection, options.params);
            if (!message.empty())
                return kExitUsage;
            // With no catalogue for the chamber the list is empty under the kept caption, as
            // the window prints it; the reason goes to the user beside it.
            if (selection.run() == Selection::Outcome::NoCatalogue)
                message = selection.noCatalogueText();
            doc = SystemsListLayout::layout(ReportPreparation::systemsList(
                dm.taWork, session.results(), selection, HeaderLines::folderFor(ctx.dataDir),
                shownPath, kVersionLine));
            return kExitOk;
        });
}

} // namespace vorn
