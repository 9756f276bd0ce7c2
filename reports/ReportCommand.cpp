#include "reports/ReportCommand.h"

#include "app/Commands.h"
#include "app/Session.h"
#include "app/Version.h"
#include "data/DataModule.h"
#include "reports/CalcReportLayout.h"
#include "reports/ReportPainter.h"
#include "reports/ReportPreparation.h"

#include <CLI/CLI.hpp>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
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
    return std::make_unique<QGuiApplication>(argc, argv);
}

// The calculation is opened from a private copy: opening stores the include boxes and
// posts the record, and the user's file must stay as it was.
class WorkCopy {
public:
    explicit WorkCopy(const std::string& source) {
        std::string pattern = (fs::temp_directory_path() / "vorn-report-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("не удалось создать временную папку");
        dir_ = pattern;
        path_ = (fs::path(dir_) / fs::u8path(source).filename()).u8string();
        fs::copy_file(fs::u8path(source), fs::u8path(path_));
    }
    ~WorkCopy() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    WorkCopy(const WorkCopy&) = delete;
    WorkCopy& operator=(const WorkCopy&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string dir_;
    std::string path_;
};

} // namespace

void addReportCommand(CLI::App& root, CliRunner& run) {
    auto opt = std::make_shared<ReportOptions>();
    CLI::App* sub = root.add_subcommand(
        "report", "отчет по расчету в файл PDF, одна страница A4 (файл расчета не меняется)");
    sub->add_option("FILE", opt->file, "файл расчета .vrn")->required()->type_name("FILE");
    sub->add_option("-o,--output", opt->out, "файл PDF, который будет записан")
        ->required()
        ->type_name("OUT.pdf");
    sub->callback(
        [&run, opt] { run = [opt](const CliContext& ctx) { return reportCommand(ctx, *opt); }; });
}

int reportCommand(const CliContext& ctx, const ReportOptions& options) {
    std::error_code ec;
    if (!fs::is_regular_file(fs::u8path(options.file), ec)) {
        ctx.err << "Указанный расчет не может быть открыт ! Файл не найден: " << options.file
                << "\n";
        return kExitFailure;
    }
    DataModule dm;
    dm.setDataDir(ctx.dataDir);
    std::string refError;
    if (!dm.openReferenceTables(&refError)) {
        ctx.err << "Ошибка подключения справочников ! (" << ctx.dataDir << ": " << refError
                << ")\n";
        return kExitFailure;
    }
    const std::string shownPath = fs::absolute(fs::u8path(options.file), ec).u8string();

    ReportDocument doc;
    try {
        WorkCopy copy(options.file);
        Session session(dm);
        session.openCalculation(copy.path());
        if (!session.results().error.empty()) {
            ctx.err << session.results().error << "\n";
            session.closeCalculation();
            return kExitStopped;
        }
        const ReportSource src = ReportPreparation::calcReport(
            dm.taWork, session.results(), ctx.programDir, shownPath, kVersionLine);
        doc = CalcReportLayout::layout(src);
        session.closeCalculation();
    } catch (const std::exception& e) {
        ctx.err << "Указанный расчет не может быть открыт ! " << options.file << ": " << e.what()
                << "\n";
        return kExitFailure;
    }

    const auto app = ensureGuiApplication();
    QString error;
    if (!ReportPainter::writePdf(doc, QString::fromStdString(options.out), &error)) {
        ctx.err << error.toStdString() << "\n";
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace vorn
