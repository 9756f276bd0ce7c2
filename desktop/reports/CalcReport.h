#pragma once
// The calculation report window (fmReport): never shown itself, it generates the report
// of the open calculation for the preview and the printer. Neither recalculates: the
// report shows the record and the labels as the last recalculation left them.
#include "reports/ReportPage.h"
#include "reports/ReportSource.h"

#include <QObject>
#include <QString>
#include <functional>

class QPrinter;
class QWidget;

namespace vorn {

class ReportPreviewDialog;
class Session;

class CalcReport : public QObject {
    Q_OBJECT
public:
    CalcReport(Session& session, const QString& programDir, QObject* parent = nullptr);

    // The preparation step and the layout, run at every generation.
    ReportDocument generate() const;

    // Preview: the report in the preview window, modal.
    void preview(QWidget* parent);
    // Print: the print dialog, then the report on the chosen printer; a cancelled dialog
    // prints nothing. Returns whether it printed.
    bool print(QWidget* parent);

    // The calculation note ("Расчетная записка"), the same three ways: its pages from the
    // steps of the last recalculation, the preview (printing and PDF from there), the print
    // dialog, and a PDF file written at path (false with *error on failure).
    ReportDocument generateNote() const;
    void previewNote(QWidget* parent);
    bool printNote(QWidget* parent);
    bool writeNotePdf(const QString& path, QString* error) const;
    // The PDF file proposed for the note: beside the calculation, "NAME-записка.pdf".
    QString notePdfName() const;

    // The print dialog: true when the user confirms (a QPrintDialog by default).
    std::function<bool(QPrinter&, QWidget* parent)> askPrinter;
    // Runs the preview window (exec by default).
    std::function<void(ReportPreviewDialog&)> runPreview;

private:
    ReportSource source() const;
    void previewDocument(QWidget* parent, std::function<ReportDocument()> generate,
                         const QString& pdfName);
    bool printDocument(QWidget* parent, const std::function<ReportDocument()>& generate,
                       const QString& docName);

    Session& session_;
    QString programDir_;
};

} // namespace vorn
