#include "desktop/reports/CalcReport.h"

#include "document/Session.h"
#include "data/Version.h"
#include "data/DataModule.h"
#include "reports/CalcNoteLayout.h"
#include "reports/CalcReportLayout.h"
#include "reports/ReportPreparation.h"
#include "desktop/reports/ReportPainter.h"
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

ReportSource CalcReport::source() const {
    const std::string path =
        QFileInfo(QString::fromStdString(session_.path())).absoluteFilePath().toStdString();
    ReportSource src = ReportPreparation::calcReport(
        session_.data().taWork, session_.results(), programDir_.toStdString(), path, kVersionLine);
    src.warnings = session_.warnings();
    return src;
}

ReportDocument CalcReport::generate() const {
    return CalcReportLayout::layout(source());
}

ReportDocument CalcReport::generateNote() const {
    return CalcNoteLayout::layout(source(), session_.results().steps);
}

void CalcReport::previewDocument(QWidget* parent, std::function<ReportDocument()> generate,
                                 const QString& pdfName) {
    if (!session_.isOpen())
        return;
    ReportPreviewDialog dialog(std::move(generate), pdfName, parent);
    runPreview(dialog);
}

bool CalcReport::printDocument(QWidget* parent, const std::function<ReportDocument()>& generate,
                               const QString& docName) {
    if (!session_.isOpen())
        return false;
    QPrinter printer(QPrinter::HighResolution);
    ReportPrinting::setUp(printer);
    printer.setDocName(docName);
    if (!askPrinter(printer, parent))
        return false;
    return ReportPrinting::print(generate(), printer);
}

void CalcReport::preview(QWidget* parent) {
    const QFileInfo file(QString::fromStdString(session_.path()));
    previewDocument(parent, [this] { return generate(); },
                    file.dir().filePath(file.completeBaseName() + ".pdf"));
}

bool CalcReport::print(QWidget* parent) {
    return printDocument(parent, [this] { return generate(); },
                         QFileInfo(QString::fromStdString(session_.path())).completeBaseName());
}

QString CalcReport::notePdfName() const {
    const QFileInfo file(QString::fromStdString(session_.path()));
    return file.dir().filePath(file.completeBaseName() + "-записка.pdf");
}

void CalcReport::previewNote(QWidget* parent) {
    previewDocument(parent, [this] { return generateNote(); }, notePdfName());
}

bool CalcReport::printNote(QWidget* parent) {
    return printDocument(parent, [this] { return generateNote(); },
                         QFileInfo(notePdfName()).completeBaseName());
}

bool CalcReport::writeNotePdf(const QString& path, QString* error) const {
    if (!session_.isOpen()) {
        if (error)
            *error = "Расчет не открыт";
        return false;
    }
    return ReportPainter::writePdf(generateNote(), path, error);
}

} // namespace vorn
