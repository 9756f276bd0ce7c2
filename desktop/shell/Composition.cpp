#include "desktop/shell/Composition.h"

#include "data/DataModule.h"
#include "data/Table.h"
#include "desktop/input/InputScreen.h"
#include "desktop/input/ResultsPanel.h"
#include "desktop/project/ProjectWindow.h"
#include "desktop/refedit/RefEditorWindow.h"
#include "desktop/input/CalculationView.h"
#include "desktop/reports/CalcReport.h"
#include "desktop/reports/SystemsReport.h"
#include "desktop/selection/SelectionDialog.h"
#include "desktop/shell/AdditionalDataDialog.h"
#include "desktop/shell/MainWindow.h"
#include "desktop/widgets/TabPages.h"
#include "document/Session.h"
#include "refedit/RowUse.h"
#include "reports/HeaderLines.h"
#include "selection/Selection.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

namespace vorn {

InputScreen* composeInputScreen(MainWindow& window, Session& session) {
    auto* screen = new InputScreen(session);
    window.setInputScreen(screen);
    screen->adopt(window.resultsPanel(), window.panelButtons());
    QObject::connect(screen, &InputScreen::messageRequested, &window,
                     [&window](const QString& text) { window.showMessage(text); });
    QObject::connect(screen, &InputScreen::noticeRequested, &window,
                     [&window](const QString& text) { window.statusBar()->showMessage(text, 8000); });
    QObject::connect(&window, &MainWindow::calculationShown, screen, [screen, &window] {
        // the keyboard starts in the screen, at its first control that takes input
        QWidget* focus = QApplication::focusWidget();
        if (focus && window.inputPanel()->isAncestorOf(focus))
            return;
        for (QWidget* w : screen->focusOrder())
            if (w->isEnabled() && w->isVisibleTo(screen) && w != screen->pages()->strip()) {
                w->setFocus(Qt::OtherFocusReason);
                break;
            }
    });
    window.commitPendingInput = [screen](bool tell) { return screen->commitPending(tell); };
    return screen;
}

ProjectWindow* composeProjectWindow(MainWindow& window, Session& session, const QString& dataDir) {
    auto* project = new ProjectWindow(session, dataDir, &window);
    auto* menu = new QMenu("&Проект", &window);
    menu->setObjectName("ProjectMenu");
    menu->addActions(project->menuActions());
    QAction* help = nullptr;
    for (QAction* a : window.menuBar()->actions())
        if (a->text().remove('&') == "Справка")
            help = a;
    window.menuBar()->insertMenu(help, menu);
    QObject::connect(project, &ProjectWindow::openCalculationRequested, &window,
                     [&window, &session](const QString& path) {
                         // as the main window's own Open: the text being typed there is
                         // written first, and a refusal stops the command
                         if (session.isOpen() && window.commitPendingInput &&
                             !window.commitPendingInput(true))
                             return;
                         session.selectionOpened = false;
                         window.openCalculationAt(path);
                         window.raise();
                         window.activateWindow();
                     });
    QObject::connect(project, &ProjectWindow::projectOpened, &window,
                     [&window](const QString& path) { window.addRecentFile(path); });
    window.openProject = [project](const QString& path) { project->openProjectAt(path); };
    return project;
}

namespace {
// The editor writes through tables of its own; ours read the files anew, each back on its
// current row (the product, packaging and region of the calculation).
void rereadReferenceTables(DataModule& dm) {
    for (Table* t : dm.referenceTables()) {
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
}
} // namespace

void composeReferenceEditor(MainWindow& window, Session& session, DataModule& dm,
                            const QString& dataDir, ProjectWindow* project) {
    QObject::connect(&window, &MainWindow::referencesRequested, &window,
                     [&window, &session, &dm, dataDir, project] {
        auto* editor = window.findChild<RefEditorWindow*>(QString(), Qt::FindDirectChildrenOnly);
        if (!editor) {
            editor = new RefEditorWindow(dataDir, &window);
            QRect frame = editor->frameGeometry();
            frame.moveCenter(window.frameGeometry().center());
            editor->move(frame.topLeft());
            // a row the open calculation or the open project's chambers name is not
            // deleted or renamed without a question
            editor->rowUsers = [&session, &dm, project](const std::string& table,
                                                        const std::string& key) {
                const bool open = session.isOpen();
                return rowUsers(table, key, open ? &dm.taWork : nullptr,
                                open ? session.path() : std::string(),
                                project ? project->chamberFiles() : std::vector<std::string>());
            };
            QObject::connect(editor, &RefEditorWindow::tableChanged, &window,
                             [&window, &session, &dm] {
                rereadReferenceTables(dm);
                if (session.refillExecutors)
                    session.refillExecutors();
                if (!session.isOpen())
                    return;
                try {
                    const CommitResult r = session.referenceDataChanged();
                    if (r.refused)
                        window.showMessage(QString::fromStdString(r.message));
                } catch (const std::exception& e) {
                    window.showMessage(QString::fromStdString(e.what()));
                }
            });
        }
        editor->show();
        editor->raise();
        editor->activateWindow();
    });
}

Desktop::Desktop(MainWindow& window, Session& session, DataModule& dm, const QString& dataDir)
    : window_(window), session_(session), dm_(dm) {
    session.showMessage = [&window](const std::string& m) {
        window.showMessage(QString::fromStdString(m));
    };
    // TitleRep.txt lies beside the data folder in use
    const QString headerFolder =
        QString::fromStdString(HeaderLines::folderFor(dataDir.toStdString()));
    report_ = std::make_unique<CalcReport>(session, headerFolder);
    QObject::connect(&window, &MainWindow::previewRequested, &window,
                     [this] { report_->preview(&window_); });
    QObject::connect(&window, &MainWindow::printRequested, &window,
                     [this] { report_->print(&window_); });
    selection_ = std::make_unique<Selection>(session.data(), session.results(),
                                             session.selectionWriter());
    selectionDialog_ = std::make_unique<SelectionDialog>(*selection_, &window);
    QObject::connect(&window, &MainWindow::selectionRequested, selectionDialog_.get(),
                     [this] { selectionDialog_->exec(); });
    additional_ = std::make_unique<AdditionalDataDialog>(dm, &window);
    additional_->writeText = [&session](const char* field, const std::string& text) {
        return session.editAdditionalData(field, text);
    };
    systemsReport_ = std::make_unique<SystemsReport>(session, *selection_, headerFolder);
    selectionDialog_->printSystems = [this] { systemsReport_->preview(selectionDialog_.get()); };

    dm.onSettingsOpened = [this] { additional_->fillFolder(); };
    session.refillExecutors = [this] { additional_->refillExecutors(); };
    window.setAdditionalDataDialog(additional_.get());
    input_ = composeInputScreen(window, session);
    // "Расчет" and "Расчетная записка": the steps of the open calculation
    CalculationView::install(window, session, *report_);
    project_ = composeProjectWindow(window, session, dataDir);
    composeReferenceEditor(window, session, dm, dataDir, project_);
}

Desktop::~Desktop() {
    dm_.onSettingsOpened = nullptr;
    session_.refillExecutors = nullptr;
    session_.showMessage = nullptr;
    window_.setAdditionalDataDialog(nullptr);
}

void Desktop::openAtStart(const QString& path) {
    if (path.endsWith(".vrp", Qt::CaseInsensitive))
        project_->openProjectAt(path);
    else
        window_.openCalculationAt(path);
}

} // namespace vorn
