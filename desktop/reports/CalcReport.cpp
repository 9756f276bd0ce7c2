#include "desktop/reports/CalcReport.h"

#include "calc/Gains.h"
#include "document/Session.h"
#include "data/Version.h"
#include "data/DataModule.h"
#include "reports/CalcReportLayout.h"
#include "reports/ReportPreparation.h"
#include "desktop/reports/ReportPreviewDialog.h"
#include "desktop/reports/ReportPrinting.h"

#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>

namespace vorn {

CalcReport::CalcReport(Session& session, const QString& programDir, QObject* parent)
    : QObject(parent), session_(session), programDir_(programDir) {
    setObjectName(QStringLiteral("fmReport"));
    askPrinter = [](QPrinter& printer, QWidget* parent) {
        QPrintDialog dialog(&printer, parent);
        dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
        return dialog.exec() == QDialog::Accepted;
    };
    runPreview = [](ReportPreviewDialog& dialog) { dialog.exec(); };
}

ReportDocument CalcReport::generate() const {
    const std::string path =
        QFileInfo(QString::fromStdString(session_.path())).absoluteFilePath().toStdString();
    ReportSource src = ReportPreparation::calcReport(
        session_.data().taWork, session_.results(), programDir_.toStdString(), path, kVersionLine);
    src.warnings = session_.warnings();
    if (session_.results().heatersInGain9)
        src.fansCaption = kGain9HeatersCaption;
    return CalcReportLayout::layout(src);
}

void CalcReport::preview(QWidget* parent) {
    if (!session_.isOpen())
        return;
    const QFileInfo file(QString::fromStdString(session_.path()));
    ReportPreviewDialog dialog([this] { return generate(); },
                               file.dir().filePath(file.completeBaseName() + ".pdf"), parent);
    runPreview(dialog);
}

bool CalcReport::print(QWidget* parent) {
    if (!session_.isOpen())
        return false;
    QPrinter printer(QPrinter::HighResolution);
    ReportPrinting::setUp(printer);
    printer.setDocName(QFileInfo(QString::fromStdString(session_.path())).completeBaseName());
    if (!askPrinter(printer, parent))
        return false;
    return ReportPrinting::print(generate(), printer);
}

} // namespace vorn
