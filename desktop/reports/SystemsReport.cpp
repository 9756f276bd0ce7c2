#include "desktop/reports/SystemsReport.h"

#include "document/Session.h"
#include "data/Version.h"
#include "data/DataModule.h"
#include "reports/ReportPreparation.h"
#include "desktop/reports/ReportPreviewDialog.h"
#include "reports/SystemsListLayout.h"

#include <QDir>
#include <QFileInfo>

namespace vorn {

SystemsReport::SystemsReport(Session& session, Selection& selection, const QString& programDir,
                             QObject* parent)
    : QObject(parent), session_(session), selection_(selection), programDir_(programDir) {
    setObjectName(QStringLiteral("fmReport2"));
    runPreview = [](ReportPreviewDialog& dialog) { dialog.exec(); };
}

ReportDocument SystemsReport::generate() const {
    const std::string path =
        QFileInfo(QString::fromStdString(session_.path())).absoluteFilePath().toStdString();
    return SystemsListLayout::layout(
        ReportPreparation::systemsList(session_.data().taWork, session_.results(), selection_,
                                       programDir_.toStdString(), path, kVersionLine));
}

void SystemsReport::preview(QWidget* parent) {
    if (!session_.isOpen())
        return;
    const QFileInfo file(QString::fromStdString(session_.path()));
    ReportPreviewDialog dialog([this] { return generate(); },
                               file.dir().filePath(file.completeBaseName() + "-systems.pdf"),
                               parent);
    runPreview(dialog);
}

} // namespace vorn
