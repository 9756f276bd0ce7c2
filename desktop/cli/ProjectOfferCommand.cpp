// vorn project offer P.vrp -o OUT.pdf|OUT.xlsx [--tariff R] [--vat P]: the commercial offer
// of a project as a PDF (through the report engine, on Qt's offscreen platform when there
// is no display) or as an Excel workbook.
#include "desktop/cli/ProjectOfferCommand.h"

#include "data/Table.h"
#include "data/Version.h"
#include "desktop/reports/ReportPainter.h"
#include "project/OfferLayout.h"
#include "project/OfferOutput.h"
#include "project/OfferXlsx.h"
#include "reports/HeaderLines.h"
#include "desktop/widgets/ProgramFonts.h"

#include <CLI/CLI.hpp>
#include <QGuiApplication>
#include <cstdio>
#include <memory>
#include <ostream>

namespace vorn {

namespace {
struct OfferOptions {
    ProjectRunOptions run;
    std::string out;
};

bool endsWith(const std::string& s, const std::string& tail) {
    if (s.size() < tail.size())
        return false;
    return equalsIgnoreCase(s.substr(s.size() - tail.size()), tail);
}

int offerCommand(const CliContext& ctx, const OfferOptions& opt) {
    const bool pdf = endsWith(opt.out, ".pdf");
    if (!pdf && !endsWith(opt.out, ".xlsx")) {
        ctx.err << "vorn: -o: файл .pdf или .xlsx: " << opt.out << "\n";
        return kExitUsage;
    }
    OfferSource src;
    if (const int status = evaluateProject(ctx, opt.run, src.summary))
        return status;
    src.headerLines = HeaderLines::read(ctx.programDir);
    src.versionLine = kVersionLine;
    for (const std::string& w : src.summary.warnings)
        ctx.err << "Внимание: " << w << "\n";
    if (!pdf) {
        std::string error;
        if (!OfferXlsx::write(src, opt.out, &error)) {
            ctx.err << error << "\n";
            return kExitFailure;
        }
        return kExitOk;
    }
    // The PDF writer and its fonts need a GUI application.
    std::unique_ptr<QGuiApplication> app;
    if (!QCoreApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char arg0[] = "vorn";
        static char* argv[] = {arg0, nullptr};
        // Qt's notes about the environment are no concern of a command that writes a file.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& m) {
            if (type == QtCriticalMsg || type == QtFatalMsg)
                std::fprintf(stderr, "%s\n", m.toLocal8Bit().constData());
        });
        app = std::make_unique<QGuiApplication>(argc, argv);
        registerProgramFonts();
    }
    const std::string unfit = offerOutputProblem(opt.out, src.summary);
    if (!unfit.empty()) {
        ctx.err << unfit << "\n";
        return kExitFailure;
    }
    QString error;
    if (!ReportPainter::writePdf(OfferLayout::layout(src), QString::fromStdString(opt.out),
                                 &error)) {
        ctx.err << error.toStdString() << "\n";
        return kExitFailure;
    }
    return kExitOk;
}
} // namespace

void addProjectOfferCommand(CLI::App& root, CliRunner& run) {
    CLI::App* project = root.get_subcommand("project");
    auto opt = std::make_shared<OfferOptions>();
    CLI::App* sub =
        project->add_subcommand("offer", "коммерческое предложение проекта в файл PDF или XLSX");
    sub->add_option("ПРОЕКТ", opt->run.project, "файл проекта .vrp")
        ->required();
    sub->add_option("-o,--output", opt->out, "файл .pdf или .xlsx, который будет записан")
        ->required()
        ->type_name("ФАЙЛ");
    addOverrideOptions(sub, opt->run);
    sub->callback(
        [&run, opt] { run = [opt](const CliContext& ctx) { return offerCommand(ctx, *opt); }; });
    tidyProjectHelp(sub);
}

} // namespace vorn
