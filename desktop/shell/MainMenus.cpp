// The main window's menus and toolbar: "Файл", "Правка", "Сервис", "Справка".
#include "desktop/shell/MainWindow.h"

#include "desktop/shell/HelpWindow.h"
#include "desktop/shell/MainWindowSettings.h"
#include "desktop/widgets/ToolIcons.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QToolBar>

namespace vorn {

void MainWindow::buildActions() {
    auto make = [this](const char* object, const QString& text, const QString& tip,
                       const char* icon, const QKeySequence& keys = {}) {
        auto* a = new QAction(toolIcon(icon), text, this);
        a->setObjectName(object);
        a->setToolTip(tip);
        a->setStatusTip(tip);
        a->setShortcut(keys);
        return a;
    };
    actNew_ = make("FileNew1", "&Новый", "Создать новый расчет", "new", QKeySequence("Ctrl+N"));
    actOpen_ =
        make("FileOpen1", "&Открыть", "Открыть файл расчета", "open", QKeySequence("Ctrl+O"));
    actSave_ =
        make("FileSave1", "&Сохранить", "Сохранить файл расчета", "save", QKeySequence("Ctrl+S"));
    actClose_ = make("FileClose1", "&Закрыть", "Закрыть расчет", "close");
    actPreview_ = make("FilePreview1", "Пред. просмотр", "Предварительный просмотр", "preview");
    actPrint_ = make("FilePrint1", "Печатать", "Печатать расчет", "print");
    actExit_ = make("FileExit1", "В&ыход", "Выход", "exit");
    actCut_ = make("EditCut1", "&Вырезать", "Вырезать данные", "cut", QKeySequence("Ctrl+X"));
    actCopy_ =
        make("EditCopy1", "&Копировать", "Копировать данные", "copy", QKeySequence("Ctrl+C"));
    actPaste_ = make("EditPaste1", "В&ставить", "Вставить данные", "paste", QKeySequence("Ctrl+V"));

    connect(actNew_, &QAction::triggered, this, &MainWindow::fileNew);
    connect(actOpen_, &QAction::triggered, this, &MainWindow::fileOpen);
    connect(actSave_, &QAction::triggered, this, &MainWindow::fileSave);
    // The menu item and the toolbar button both close the calculation.
    connect(actClose_, &QAction::triggered, this, &MainWindow::fileClose);
    // The report shows what the last recalculation left: a value still being typed is not
    // committed by Preview or Print (it stays in its field and counts once the field is left).
    connect(actPreview_, &QAction::triggered, this, &MainWindow::previewRequested);
    connect(actPrint_, &QAction::triggered, this, &MainWindow::printRequested);
    connect(actExit_, &QAction::triggered, this, &QWidget::close);
    connect(actCut_, &QAction::triggered, this, [this] { editCommand("cut"); });
    connect(actCopy_, &QAction::triggered, this, [this] { editCommand("copy"); });
    connect(actPaste_, &QAction::triggered, this, [this] { editCommand("paste"); });

    QMenu* file = menuBar()->addMenu("&Файл");
    file->addActions({actNew_, actOpen_, actSave_, actClose_});
    file->addSeparator();
    file->addActions({actPreview_, actPrint_});
    file->addSeparator();
    file->addAction(actExit_);
    buildRecentFiles(file, actExit_);
    QMenu* edit = menuBar()->addMenu("&Правка");
    edit->addActions({actCut_, actCopy_, actPaste_});
    buildUndoActions(file, edit);
    QMenu* service = menuBar()->addMenu("С&ервис");
    QAction* refs = service->addAction("&Справочники", this, &MainWindow::referencesRequested);
    refs->setObjectName("ToolsReferences");
    refs->setStatusTip("Справочники и каталоги оборудования, прайс-лист");

    QToolBar* bar = addToolBar("ToolBar1");
    bar->setObjectName("ToolBar1");
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
    bar->setIconSize(QSize(20, 20));
    bar->addActions({actNew_, actOpen_, actSave_, actClose_});
    bar->addSeparator();
    bar->addActions({actPreview_, actPrint_});
    bar->addSeparator();
    bar->addActions({actCut_, actCopy_, actPaste_});
    auto* gap = new QWidget(bar);
    gap->setObjectName("ToolGap");
    gap->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    bar->addWidget(gap);
    bar->addAction(actExit_);
}

void MainWindow::buildHelpMenu() {
    QMenu* help = menuBar()->addMenu("&Справка");
    QAction* guide = help->addAction("&Руководство пользователя", this, &MainWindow::showGuide);
    guide->setObjectName("HelpGuide");
    guide->setShortcut(QKeySequence(Qt::Key_F1));
    guide->setShortcutContext(Qt::ApplicationShortcut);
    help->addSeparator();
    QAction* about = help->addAction("&О программе", this, &MainWindow::showAbout);
    about->setObjectName("HelpAbout");
}

void MainWindow::showGuide() {
    if (!guide_)
        guide_ = new HelpWindow(this);
    guide_->show();
    guide_->raise();
    guide_->activateWindow();
}

void MainWindow::showAbout() {
    QMessageBox box(QMessageBox::NoIcon, "О программе", QString(), QMessageBox::Ok, this);
    box.setObjectName("AboutBox");
    box.setTextFormat(Qt::RichText);
    box.setText(HelpWindow::aboutText(dataDir_));
    if (!windowIcon().isNull()) // the installed icon; none when run from the source tree
        box.setIconPixmap(windowIcon().pixmap(64, 64));
    box.exec();
}

void MainWindow::editCommand(const char* slot) {
    QWidget* focus = QApplication::focusWidget();
    if (auto* combo = qobject_cast<QComboBox*>(focus))
        focus = combo->lineEdit();
    if (focus && focus->window() != this && !focus->window()->isModal())
        return;
    if (focus && focus->metaObject()->indexOfMethod(QByteArray(slot) + "()") >= 0)
        QMetaObject::invokeMethod(focus, slot);
}

} // namespace vorn
