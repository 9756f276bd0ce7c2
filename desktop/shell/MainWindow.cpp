#include "desktop/shell/MainWindow.h"
#include "desktop/widgets/MessageBoxes.h"

#include "desktop/shell/AdditionalDataDialog.h"
#include "desktop/widgets/DocumentsFolder.h"
#include "desktop/shell/HelpWindow.h"
#include "desktop/shell/MainWindowSettings.h"
#include "app/RecentFiles.h"
#include "document/Session.h"
#include "desktop/shell/StartScreen.h"
#include "desktop/widgets/ToolIcons.h"
#include "data/Version.h"
#include "data/DataModule.h"
#include "desktop/input/ResultsPanel.h"
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

} // namespace

MainWindow::MainWindow(DataModule& dm, Session& session, const QString& dataDir, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      dm_(dm), session_(session), files_(session, dm), dataDir_(dataDir) {
    setObjectName("fmVorn");
    setWindowTitle("Vorn");
    lastFolder_ = QSettings(kSettingsName, kSettingsName).value(kLastFolderKey).toString();

    showMessage = [this](const QString& text) { showMessageBox(this, "Vorn", text); };
    confirmReplace = [this](const QString& path) {
        return askYesNo(this, "Vorn",
                        QString("Файл %1 уже существует.\nЗаменить его?")
                            .arg(QDir::toNativeSeparators(path)));
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
            &MainWindow::referencesRequested);

    // The client area (toolbar, working area, status line) is fixed; the menu bar sits
    // above it.
    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());

    panel4_->hide();
    start_->icon()->start();
    setFileCommands(false);
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow() {
    session_.removeListener(listener_);
    qApp->removeEventFilter(this);
}

void MainWindow::refreshTitle() {
    // The open file's path; after Close, and with nothing open, just the program's name.
    setWindowTitle(session_.isOpen() ? u8(session_.path()) : QString("Vorn"));
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

} // namespace vorn
