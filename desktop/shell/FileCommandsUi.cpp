// The file commands of the main window: their dialogs, the folder they start in, and what
// the window shows after each.
#include "desktop/shell/MainWindow.h"

#include "desktop/input/ResultsPanel.h"
#include "desktop/shell/MainWindowSettings.h"
#include "desktop/widgets/DocumentsFolder.h"
#include "desktop/widgets/Utf8.h"
#include "document/Session.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

namespace vorn {

namespace {
// "Text (*.a)|*.a|Other (*.b)|*.b" as a Qt name filter list.
QString qtFilter(const char* filter) {
    const QStringList parts = QString(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        out << parts[i];
    return out.join(";;");
}
} // namespace

QFileDialog* MainWindow::makeFileDialog(FileDialogKind kind, const QString& proposed) {
    // New and Open share the open dialog's filter (New may name an old file's folder);
    // no question of the dialog's own before a file is replaced: ours is asked only when
    // one would be.
    const bool save = kind == FileDialogKind::Save;
    const char* title = kind == FileDialogKind::New ? "Новый расчет"
                        : save                      ? "Сохранить как"
                                                    : "Открыть";
    auto* dlg =
        new QFileDialog(this, title, startFolder(),
                        qtFilter(save ? FileCommands::kSaveFilter : FileCommands::kOpenFilter));
    dlg->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (!save)
        dlg->setFileMode(QFileDialog::AnyFile); // New names a file that does not exist yet
    if (kind == FileDialogKind::New)
        dlg->setLabelText(QFileDialog::Accept, "Создать");
    dlg->setDefaultSuffix(FileCommands::kDefaultExtension);
    dlg->setOption(QFileDialog::DontConfirmOverwrite);
    dlg->setOption(QFileDialog::DontUseNativeDialog);
    dlg->resize(760, 480); // the type and date columns read whole
    if (!proposed.isEmpty())
        dlg->selectFile(proposed);
    return dlg;
}

void MainWindow::rememberFolder(const QString& chosen) {
    const QString folder = QFileInfo(chosen).absolutePath();
    if (folder.isEmpty() || folder == lastFolder_)
        return;
    lastFolder_ = folder;
    QSettings(kSettingsName, kSettingsName).setValue(kLastFolderKey, folder);
}

void MainWindow::setStartFolder(const QString& folder) {
    startFolder_ = folder;
}

QString MainWindow::startFolder() const {
    // A stored folder that does not exist (say, from another machine) is passed over.
    for (const QString& folder : {startFolder_, lastFolder_})
        if (!folder.isEmpty() && QDir(folder).exists())
            return folder;
    return documentsFolder();
}

void MainWindow::applyOutcome(const FileOutcome& outcome) {
    for (const std::string& m : outcome.messages)
        showMessage(u8(m));
    if (outcome.state != FileOutcome::State::Unchanged)
        showCalculationState(outcome.state == FileOutcome::State::CalculationOpen);
    refreshTitle();
    if (session_.isOpen()) {
        addRecentFile(u8(session_.path()));
        results_->refresh();
        emit calculationShown();
    }
}

FileCommands::ConfirmReplace MainWindow::confirmer() {
    return [this](const std::string& path) { return confirmReplace(u8(path)); };
}

bool MainWindow::inputCommitted() {
    return !commitPendingInput || !session_.isOpen() || commitPendingInput(true);
}

void MainWindow::fileNew() {
    if (!inputCommitted())
        return;
    session_.selectionOpened = false;
    const QString path = pickNewPath(FileCommands::kDefaultNewName);
    if (!path.isEmpty())
        newCalculationAt(path);
}

void MainWindow::newCalculationAt(const QString& path) {
    applyOutcome(files_.newCalculation(path.toStdString(), confirmer()));
}

void MainWindow::fileOpen() {
    if (!inputCommitted())
        return;
    session_.selectionOpened = false;
    const QString path = pickOpenPath(QString());
    if (!path.isEmpty())
        openCalculationAt(path);
}

void MainWindow::openCalculationAt(const QString& path) {
    applyOutcome(files_.openCalculation(path.toStdString(), confirmer()));
}

void MainWindow::fileSave() {
    if (!session_.isOpen() || !inputCommitted())
        return;
    const QString path = pickSavePath(u8(files_.proposedSaveName()));
    if (!path.isEmpty())
        saveCalculationAs(path);
}

void MainWindow::saveCalculationAs(const QString& path) {
    applyOutcome(files_.saveCalculation(path.toStdString(), confirmer()));
}

void MainWindow::fileClose() {
    if (!inputCommitted())
        return;
    applyOutcome(files_.closeCalculation());
}

} // namespace vorn
