#pragma once
// The preview of a report: the pages at any zoom, page navigation, printing (the print
// dialog first) and "Сохранить в PDF". The report is generated afresh, preparation step
// included, whenever the preview draws or prints it.
#include "reports/ReportPage.h"

#include <QPrintPreviewDialog>
#include <functional>

class QAction;

namespace vorn {

class ReportPreviewDialog : public QPrintPreviewDialog {
    Q_OBJECT
public:
    using Generator = std::function<ReportDocument()>;

    // pdfName: the PDF file to propose (a bare name goes into the documents folder).
    ReportPreviewDialog(Generator generate, const QString& pdfName, QWidget* parent = nullptr);

    // The file dialog of "Сохранить в PDF"; returns the chosen path or empty.
    std::function<QString(const QString& proposed)> pickPdfPath;
    // Shows a failure to the user (a message box by default).
    std::function<void(const QString&)> showMessage;

    QAction* savePdfAction() const { return savePdf_; }
    // "Сохранить в PDF" once the path is chosen.
    bool savePdfAt(const QString& path);
    // Pages of the last generation.
    int generatedPages() const { return pages_; }

private:
    void render(QPrinter* printer);
    void savePdf();

    Generator generate_;
    QString pdfName_;
    QAction* savePdf_ = nullptr;
    int pages_ = 0;
};

} // namespace vorn
