#include "desktop/reports/ReportPreviewDialog.h"
#include "desktop/widgets/MessageBoxes.h"

#include "desktop/reports/ReportPainter.h"
#include "desktop/reports/ReportPrinting.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinter>
#include <QScreen>
#include <QStandardPaths>
#include <QToolBar>
#include <algorithm>

namespace vorn {

ReportPreviewDialog::ReportPreviewDialog(Generator generate, const QString& pdfName,
                                         QWidget* parent)
    : QPrintPreviewDialog(parent), generate_(std::move(generate)), pdfName_(pdfName) {
    setWindowTitle(QStringLiteral("Предварительный просмотр"));
    // Tall enough for a whole page at a readable size.
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        resize(std::min(area.width(), area.height() * 3 / 4 + 200), area.height() * 9 / 10);
    }
    ReportPrinting::setUp(*printer());
    printer()->setDocName(QFileInfo(pdfName).completeBaseName());
    connect(this, &QPrintPreviewDialog::paintRequested, this, &ReportPreviewDialog::render);

    savePdf_ = new QAction(QStringLiteral("Сохранить в PDF"), this);
    savePdf_->setObjectName(QStringLiteral("savePdf"));
    savePdf_->setToolTip(QStringLiteral("Сохранить в PDF"));
    savePdf_->setShortcut(QKeySequence::Save);
    connect(savePdf_, &QAction::triggered, this, &ReportPreviewDialog::savePdf);
    if (auto* bar = findChild<QToolBar*>()) {
        bar->addSeparator();
        bar->addAction(savePdf_);
    } else {
        addAction(savePdf_);
    }

    pickPdfPath = [this](const QString& proposed) {
        return QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить в PDF"), proposed,
                                            QStringLiteral("Документ PDF (*.pdf)"));
    };
    showMessage = [this](const QString& text) {
        showMessageBox(this, QStringLiteral("Vorn"), text, MessageKind::Warning);
    };
}

void ReportPreviewDialog::render(QPrinter* printer) {
    const ReportDocument doc = generate_();
    pages_ = static_cast<int>(doc.pages.size());
    ReportPrinting::print(doc, *printer);
}

bool ReportPreviewDialog::savePdfAt(const QString& path) {
    QString error;
    const ReportDocument doc = generate_();
    pages_ = static_cast<int>(doc.pages.size());
    if (ReportPainter::writePdf(doc, path, &error))
        return true;
    if (showMessage)
        showMessage(error);
    return false;
}

void ReportPreviewDialog::savePdf() {
    QString proposed = pdfName_;
    if (QDir::isRelativePath(proposed)) {
        QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (dir.isEmpty() || !QDir(dir).exists())
            dir = QDir::homePath();
        proposed = QDir(dir).filePath(proposed);
    }
    const QString path = pickPdfPath ? pickPdfPath(proposed) : QString();
    if (path.isEmpty())
        return;
    savePdfAt(path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)
                  ? path
                  : path + QStringLiteral(".pdf"));
}

} // namespace vorn
