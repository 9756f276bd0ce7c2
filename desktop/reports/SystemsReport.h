#pragma once
// The systems list window (fmReport2): never shown itself, it generates the list of the
// systems the selection window shows, for the preview opened by "Печать систем".
#include "reports/ReportPage.h"

#include <QObject>
#include <QString>
#include <functional>

class QWidget;

namespace vorn {

class ReportPreviewDialog;
class Selection;
class Session;

class SystemsReport : public QObject {
    Q_OBJECT
public:
    SystemsReport(Session& session, Selection& selection, const QString& programDir,
                  QObject* parent = nullptr);

    // The preparation step and the layout over the last selection run.
    ReportDocument generate() const;
    // The preview, modal; printing is done from it.
    void preview(QWidget* parent);

    // Runs the preview window (exec by default).
    std::function<void(ReportPreviewDialog&)> runPreview;

private:
    Session& session_;
    Selection& selection_;
    QString programDir_;
};

} // namespace vorn
