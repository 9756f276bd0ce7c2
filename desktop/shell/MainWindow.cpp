#include "desktop/shell/MainWindow.h"

#include "desktop/shell/AdditionalDataDialog.h"
#include "desktop/widgets/DocumentsFolder.h"
#include "desktop/shell/HelpWindow.h"
#include "app/RecentFiles.h"
#include "document/Session.h"
#include "desktop/shell/StartScreen.h"
#include "desktop/widgets/ToolIcons.h"
#include "data/Version.h"
#include "data/DataModule.h"
#include "desktop/input/ResultsPanel.h"
#include "desktop/project/ProjectWindow.h"
#include "desktop/refedit/RefEditorWindow.h"
#include "refedit/RowUse.h"
#include "desktop/widgets/Utf8.h"
#include "desktop/widgets/AnimatedIcon.h"
#include "desktop/widgets/NewsPanel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace vorn {

namespace {
const char* const kReferenceFailure = "Ошибка подключения справочников !";

// "Text (*.a)|*.a|Other (*.b)|*.b" as a Qt name filter list.
QString qtFilter(const char* filter) {
    const QStringList parts = QString(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        out << parts[i];
    return out.join(";;");
}

// The window's own settings: recent files, the last folder, the window's place.
constexpr const char* kSettingsName = "vorn";
constexpr const char* kRecentKey = "recentFiles";
constexpr const char* kLastFolderKey = "lastFolder";
constexpr const char* kGeometryKey = "window/geometry";
constexpr const char* kProjectSuffix = "vrp";
} // namespace

MainWindow::MainWindow(DataModule& dm, Session& session, const QString& dataDir, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      dm_(dm), session_(session), files_(session, dm), dataDir_(dataDir) {
    setObjectName("fmVorn");
    setWindowTitle("Vorn");
    lastFolder_ = QSettings(kSettingsName, kSettingsName).value(kLastFolderKey).toString();

    showMessage = [this](const QString& text) {
        QMessageBox box(QMessageBox::Information, "Vorn", text, QMessageBox::Ok, this);
        box.exec();
    };
    confirmReplace = [this](const QString& path) {
        QMessageBox box(
            QMessageBox::Question, "Vorn",
            QString("Файл %1 уже существует.\nЗаменить его?").arg(QDir::toNativeSeparators(path)),
            QMessageBox::NoButton, this);
        QPushButton* yes = box.addButton("Да", QMessageBox::YesRole);
        QPushButton* no = box.addButton("Нет", QMessageBox::NoRole);
        box.setDefaultButton(no);
        box.exec();
        return box.clickedButton() == yes;
    };
    auto runDialog = [this](FileDialogKind kind, const QString& proposed) {
        std::unique_ptr<QFileDialog> dlg(makeFileDialog(kind, proposed));
        if (dlg->exec() != QDialog::Accepted || dlg->selectedFiles().isEmpty())
            return QString();
        const QString path = dlg->selectedFiles().first();
        rememberFolder(path);
        return path;
    };
    pickNewPath = [runDialog](const QString& proposed) {
        return runDialog(FileDialogKind::New, proposed);
    };
    pickOpenPath = [runDialog](const QString& proposed) {
        return runDialog(FileDialogKind::Open, proposed);
    };
    pickSavePath = [runDialog](const QString& proposed) {
        return runDialog(FileDialogKind::Save, proposed);
    };

    buildActions();
    buildHelpMenu();
    installProjectMenu(*this, session_, dataDir_);

    auto* central = new QWidget(this);
    auto* stack = new QGridLayout(central);
    stack->setContentsMargins(0, 0, 0, 0);
    start_ = new StartScreen(central);
    stack->addWidget(start_, 0, 0);
    buildPanel4();
    panel4_->setParent(central);
    stack->addWidget(panel4_, 0, 0); // above the start screen, covering the icon
    setCentralWidget(central);
    statusBar()->setSizeGripEnabled(false);

    connect(start_->icon(), &AnimatedIcon::clicked, this, &MainWindow::newsToggle);
    connect(start_->referencesButton(), &QPushButton::clicked, this,
            &MainWindow::openReferenceEditor);

    // The client area (toolbar, working area, status line) is fixed; the menu bar sits
    // above it.
    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());

    panel4_->hide();
    start_->icon()->start();
    setFileCommands(false);
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
}

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
    QAction* refs = service->addAction("&Справочники", this, &MainWindow::openReferenceEditor);
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

void MainWindow::refreshTitle() {
    // The open file's path; after Close, and with nothing open, just the program's name.
    setWindowTitle(session_.isOpen() ? u8(session_.path()) : QString("Vorn"));
}

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
    connect(this, &MainWindow::documentChanged, this, &MainWindow::updateUndoActions);
    connect(this, &MainWindow::calculationShown, this, &MainWindow::updateUndoActions);
    // the screen refreshes itself after the events it forwards; the menu follows every one
    session_.addListener([this](const CommitResult&) { updateUndoActions(); });
    updateUndoActions();
}

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
    emit documentChanged();
}

void MainWindow::buildPanel4() {
    panel4_ = new QWidget(this);
    panel4_->setObjectName("Panel4");
    panel4_->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(panel4_);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* work = new QHBoxLayout;
    results_ = new ResultsPanel(session_, panel4_);
    connect(results_, &ResultsPanel::messageRequested, this,
            [this](const QString& text) { showMessage(text); });
    work->addWidget(results_);
    inputArea_ = new QGroupBox("Исходные данные", panel4_);
    auto* placeholder = new QVBoxLayout(inputArea_);
    placeholder->addWidget(new QLabel("Поля ввода расчета", inputArea_), 0, Qt::AlignCenter);
    work->addWidget(inputArea_, 1);
    layout->addLayout(work, 1);

    auto* buttons = new QHBoxLayout;
    auto* equipment = new QPushButton("Оборудование", panel4_);
    equipment->setObjectName("Button2");
    equipment->setToolTip("Подбор оборудования");
    auto* more = new QPushButton("Дополнительно", panel4_);
    more->setObjectName("Button3");
    auto* exit = new QPushButton("Выход", panel4_);
    exit->setObjectName("Button4");
    buttons->addStretch();
    buttons->addWidget(equipment);
    buttons->addWidget(more);
    buttons->addWidget(exit);
    layout->addLayout(buttons);

    connect(equipment, &QPushButton::clicked, this, [this] {
        session_.selectionOpened = true;
        emit selectionRequested();
    });
    connect(more, &QPushButton::clicked, this, [this] {
        if (addDialog_)
            addDialog_->exec();
    });
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
}

void MainWindow::setInputScreen(QWidget* screen) {
    // The screen takes the whole panel; it places the result column and the buttons.
    QLayout* layout = panel4_->layout();
    while (QLayoutItem* item = layout->takeAt(0))
        delete item; // the layouts go, their widgets stay children of the panel
    inputArea_->deleteLater();
    inputArea_ = screen;
    screen->setParent(panel4_);
    layout->addWidget(screen);
}

QList<QWidget*> MainWindow::panelButtons() const {
    QList<QWidget*> out;
    for (const char* name : {"Button2", "Button3", "Button4"})
        out << panel4_->findChild<QPushButton*>(name);
    return out;
}

void MainWindow::setAdditionalDataDialog(AdditionalDataDialog* dialog) {
    addDialog_ = dialog;
    if (!dialog)
        return;
    setStartFolder(dialog->folder());
    connect(dialog, &AdditionalDataDialog::folderChanged, this, &MainWindow::setStartFolder);
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

NewsPanel* MainWindow::news() const {
    return start_->news();
}
AnimatedIcon* MainWindow::newsIcon() const {
    return start_->icon();
}

QAction* MainWindow::action(const QString& objectName) const {
    return findChild<QAction*>(objectName);
}

void MainWindow::activationPass() {
    session_.selectionOpened = false;
    dm_.setDataDir(dataDir_.toStdString());
    if (startupDone_)
        return;
    // Set before any message box: closing the box activates the window again.
    startupDone_ = true;
    if (!dm_.openReferenceTables()) {
        startupFailed_ = true;
        panel4_->hide();
        showMessage(kReferenceFailure);
        close();
        return;
    }
    emit startupFinished();
}

void MainWindow::openReferenceEditor() {
    if (!refEditor_) {
        refEditor_ = new RefEditorWindow(dataDir_, this);
        QRect frame = refEditor_->frameGeometry();
        frame.moveCenter(frameGeometry().center());
        refEditor_->move(frame.topLeft());
        connect(refEditor_, &RefEditorWindow::tableChanged, this,
                &MainWindow::referenceDataChanged);
        // rows the open calculation or the open project's chambers name are not deleted
        // or renamed without a word
        refEditor_->rowUsers = [this](const std::string& table, const std::string& key) {
            const bool open = session_.isOpen();
            return rowUsers(table, key, open ? &dm_.taWork : nullptr,
                            open ? session_.path() : std::string(),
                            openProjectChambers ? openProjectChambers()
                                                : std::vector<std::string>());
        };
    }
    refEditor_->show();
    refEditor_->raise();
    refEditor_->activateWindow();
}

void MainWindow::referenceDataChanged() {
    // The editor writes through tables of its own; ours read the files anew, each back
    // on its current row (the product, packaging and region of the calculation).
    for (Table* t : dm_.referenceTables()) {
        if (!t->isOpen())
            continue;
        try {
            const long rec = t->recNo();
            t->first();
            while (rec > 0 && !t->eof() && t->recNo() != rec)
                t->next();
            if (t->recNo() != rec)
                t->first();
        } catch (const std::exception&) {
            // a table that cannot be read now keeps what it had
        }
    }
    if (addDialog_)
        addDialog_->refillExecutors();
    if (!session_.isOpen())
        return;
    try {
        session_.recalculate();
    } catch (const std::exception& e) {
        showMessage(QString::fromStdString(e.what()));
    }
    emit calculationShown();
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        activationPass();
    return QMainWindow::event(event);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!centred_) {
        centred_ = true;
        // where the user left it last time, else centred
        const QByteArray geometry =
            QSettings(kSettingsName, kSettingsName).value(kGeometryKey).toByteArray();
        if (geometry.isEmpty() || !restoreGeometry(geometry))
            if (QScreen* screen = this->screen()) {
                QRect frame = frameGeometry();
                frame.moveCenter(screen->availableGeometry().center());
                move(frame.topLeft());
            }
        // Some window systems never activate a window; the pass must still run once.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!startupDone_)
                    activationPass();
            },
            Qt::QueuedConnection);
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // The status line shows the tooltip of the control under the mouse.
    if (event->type() == QEvent::Enter && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        if (w->window() == this)
            statusBar()->showMessage(w->toolTip());
    }
    // A text field takes Ctrl+Z and Ctrl+Y for itself even with nothing of its own to
    // undo: then the keys go to the calculation's history.
    if (event->type() == QEvent::KeyPress && qobject_cast<QLineEdit*>(watched)) {
        auto* line = static_cast<QLineEdit*>(watched);
        auto* key = static_cast<QKeyEvent*>(event);
        const bool undo = key->matches(QKeySequence::Undo);
        const bool redo = key->matches(QKeySequence::Redo) ||
                          (key->key() == Qt::Key_Y && key->modifiers() == Qt::ControlModifier);
        if (line->window() == this && (undo || redo) &&
            !(undo ? line->isUndoAvailable() : line->isRedoAvailable())) {
            undo ? editUndo() : editRedo();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    QSettings(kSettingsName, kSettingsName).setValue(kGeometryKey, saveGeometry());
    // The window closes in any case; a refused text is dropped without a word.
    if (commitPendingInput && session_.isOpen())
        commitPendingInput(false);
    try {
        files_.endProgram();
    } catch (const std::exception& e) {
        showMessage(u8(e.what()));
    }
    QMainWindow::closeEvent(event);
}

void MainWindow::setFileCommands(bool on) {
    for (QAction* a : {actSave_, actClose_, actPrint_, actPreview_})
        a->setEnabled(on);
}

void MainWindow::newsToggle() {
    NewsPanel* panel = news();
    if (panel->isVisible()) {
        panel->hide();
        panel->stop();
        newsIcon()->start();
    } else {
        panel->start();
        panel->show();
        newsIcon()->stop();
    }
}

void MainWindow::showCalculationState(bool open) {
    if (open) {
        news()->hide();
        news()->stop();
        newsIcon()->stop();
        panel4_->show();
        if (addDialog_)
            addDialog_->loadRecord(session_.readOnly());
    } else {
        panel4_->hide();
        newsIcon()->start();
    }
    setFileCommands(open);
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
