// The recent files of the menu "Файл": calculations and projects, newest first.
#include "desktop/shell/MainWindow.h"

#include "app/RecentFiles.h"
#include "desktop/shell/MainWindowSettings.h"
#include "desktop/widgets/Utf8.h"
#include "document/Session.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMenu>
#include <QSettings>

namespace vorn {

void MainWindow::buildRecentFiles(QMenu* file, QAction* before) {
    // The recent files stand above "В&ыход", between two separators.
    fileMenu_ = file;
    recentEnd_ = file->insertSeparator(before);
    connect(file, &QMenu::aboutToShow, this, &MainWindow::refreshRecentFiles);
    refreshRecentFiles();
}

QStringList MainWindow::recentFiles() const {
    std::vector<std::string> list;
    for (const QString& p :
         QSettings(kSettingsName, kSettingsName).value(kRecentKey).toStringList())
        list.push_back(p.toStdString());
    QStringList out;
    for (const std::string& p : RecentFiles::existing(list))
        out << u8(p);
    return out;
}

void MainWindow::addRecentFile(const QString& path) {
    QSettings settings(kSettingsName, kSettingsName);
    std::vector<std::string> list;
    for (const QString& p : settings.value(kRecentKey).toStringList())
        list.push_back(p.toStdString());
    QStringList out;
    for (const std::string& p : RecentFiles::add(list, path.toStdString()))
        out << u8(p);
    settings.setValue(kRecentKey, out);
    refreshRecentFiles();
}

void MainWindow::refreshRecentFiles() {
    qDeleteAll(recentActions_);
    recentActions_.clear();
    const QStringList files = recentFiles();
    recentEnd_->setVisible(!files.isEmpty());
    const QFontMetrics fm(fileMenu_->font());
    int n = 0;
    for (const QString& path : files) {
        const QString shown = fm.elidedText(QDir::toNativeSeparators(path), Qt::ElideMiddle, 420);
        auto* a = new QAction(QString("&%1 %2").arg(++n).arg(shown), fileMenu_);
        a->setObjectName(QString("RecentFile%1").arg(n));
        a->setData(path);
        a->setStatusTip(path);
        connect(a, &QAction::triggered, this, [this, path] { openRecent(path); });
        fileMenu_->insertAction(recentEnd_, a);
        recentActions_ << a;
    }
}

void MainWindow::openRecent(const QString& path) {
    if (QFileInfo(path).suffix().compare(kProjectSuffix, Qt::CaseInsensitive) == 0) {
        if (openProject)
            openProject(path);
        return;
    }
    if (!inputCommitted())
        return;
    session_.selectionOpened = false;
    rememberFolder(path);
    openCalculationAt(path);
}

} // namespace vorn
