// "Отменить", "Повторить" and "Вернуть расчет к открытому": the open calculation's history
// in the menus; the actions follow every change the session announces.
#include "desktop/shell/MainWindow.h"

#include "desktop/widgets/Utf8.h"
#include "document/Session.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>

namespace vorn {

namespace {
// The text field the keyboard is in, when it has typing of its own to undo or redo.
QLineEdit* typingField(QWidget* window, bool redo) {
    QWidget* focus = QApplication::focusWidget();
    if (auto* combo = qobject_cast<QComboBox*>(focus))
        focus = combo->lineEdit();
    auto* line = qobject_cast<QLineEdit*>(focus);
    if (!line || line->isReadOnly() || line->window() != window)
        return nullptr;
    return (redo ? line->isRedoAvailable() : line->isUndoAvailable()) ? line : nullptr;
}
} // namespace

void MainWindow::buildUndoActions(QMenu* file, QMenu* edit) {
    actUndo_ = new QAction("&Отменить", this);
    actUndo_->setObjectName("EditUndo1");
    actUndo_->setShortcut(QKeySequence::Undo);
    actRedo_ = new QAction("&Повторить", this);
    actRedo_->setObjectName("EditRedo1");
    actRedo_->setShortcuts({QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")});
    actRevert_ = new QAction("Вернуть расчет к открытому", this);
    actRevert_->setObjectName("FileRevert1");
    actRevert_->setStatusTip("Вернуть все данные расчета к тем, что были при его открытии");
    connect(actUndo_, &QAction::triggered, this, &MainWindow::editUndo);
    connect(actRedo_, &QAction::triggered, this, &MainWindow::editRedo);
    connect(actRevert_, &QAction::triggered, this, &MainWindow::fileRevert);
    edit->insertActions(edit->actions().value(0), {actUndo_, actRedo_});
    edit->insertSeparator(edit->actions().value(2));
    file->insertAction(file->actions().value(4), actRevert_);
    connect(edit, &QMenu::aboutToShow, this, &MainWindow::updateUndoActions);
    connect(file, &QMenu::aboutToShow, this, &MainWindow::updateUndoActions);
    connect(this, &MainWindow::calculationShown, this, &MainWindow::updateUndoActions);
    // every change of the open calculation: edits, undo, redo, open and close
    listener_ = session_.addListener([this](const CommitResult&) { updateUndoActions(); });
    updateUndoActions();
}

void MainWindow::updateUndoActions() {
    const bool open = session_.isOpen();
    const EditHistory& h = session_.history();
    const bool canUndo = open && h.canUndo();
    const bool canRedo = open && h.canRedo();
    actUndo_->setText(canUndo ? "&Отменить: " + u8(h.undoStep().name) : QString("&Отменить"));
    actRedo_->setText(canRedo ? "&Повторить: " + u8(h.redoStep().name) : QString("&Повторить"));
    // a field being typed in has its own undo, which comes first
    actUndo_->setEnabled(canUndo || typingField(this, false));
    actRedo_->setEnabled(canRedo || typingField(this, true));
    actRevert_->setEnabled(open);
}

void MainWindow::editUndo() {
    if (QLineEdit* line = typingField(this, false)) {
        line->undo();
        return;
    }
    if (session_.history().canUndo())
        historyStep([this] { return session_.undo(); });
}

void MainWindow::editRedo() {
    if (QLineEdit* line = typingField(this, true)) {
        line->redo();
        return;
    }
    if (session_.history().canRedo())
        historyStep([this] { return session_.redo(); });
}

void MainWindow::fileRevert() {
    historyStep([this] { return session_.revertToOpened(); });
}

void MainWindow::historyStep(const std::function<CommitResult()>& step) {
    if (!session_.isOpen())
        return;
    if (auto* line = qobject_cast<QLineEdit*>(QApplication::focusWidget()))
        line->setModified(false); // nothing typed is left: the field shows the record
    try {
        const CommitResult r = step();
        if (r.refused)
            showMessage(u8(r.message));
    } catch (const std::exception& e) {
        showMessage(u8(e.what()));
    }
}

} // namespace vorn
