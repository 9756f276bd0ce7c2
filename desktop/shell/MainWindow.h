#pragma once
// The main window: menu, toolbar, status line, and either the start screen (no
// calculation) or the input panel Panel4 (a calculation open). The file commands run
// through FileCommands; the window shows their outcome.
#include "app/FileCommands.h"

#include <QMainWindow>
#include <functional>

class QAction;
class QFileDialog;
class QMenu;
class QPushButton;

namespace vorn {

class AdditionalDataDialog;
class AnimatedIcon;
class DataModule;
class NewsPanel;
class ResultsPanel;
class Session;
struct CommitResult;
class StartScreen;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 762;
    static constexpr int kClientHeight = 526;

    MainWindow(DataModule& dm, Session& session, const QString& dataDir, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Shows a message to the user (a modal box by default; tests collect them).
    std::function<void(const QString&)> showMessage;
    // Asked before an existing file is replaced (a yes/no box by default).
    std::function<bool(const QString& path)> confirmReplace;
    // The file dialogs: return the chosen path, or empty when cancelled.
    std::function<QString(const QString& proposed)> pickNewPath;
    std::function<QString(const QString& proposed)> pickOpenPath;
    std::function<QString(const QString& proposed)> pickSavePath;
    // Opens a project picked from the recent files (set where projects are handled).
    std::function<void(const QString& path)> openProject;

    enum class FileDialogKind { New, Open, Save };
    // The dialog of a file command, not yet shown: title, button, filter, start folder.
    QFileDialog* makeFileDialog(FileDialogKind kind, const QString& proposed);
    // Writes the text being typed in the focused input field before a command that posts
    // or closes the record; false when the field refused it (told to the user when the
    // argument is true). Unset: nothing to write.
    std::function<bool(bool tell)> commitPendingInput;

    // Activation of the window: clears SelectionOpened; the first pass opens every
    // reference table and ends the program when one fails.
    void activationPass();
    bool startupDone() const { return startupDone_; }
    bool startupFailed() const { return startupFailed_; }

    // The file commands (dialog, then the command).
    void fileNew();
    void fileOpen();
    void fileSave();
    void fileClose();
    // The same commands once the path is chosen.
    void newCalculationAt(const QString& path);
    void openCalculationAt(const QString& path);
    void saveCalculationAs(const QString& path);


    // Enables or disables Save, Close, Print and Preview together.
    void setFileCommands(bool on);
    void newsToggle();
    // Puts the input screen into Panel4 in place of everything there; the screen places
    // the result column and the buttons (panelButtons()) itself.
    void setInputScreen(QWidget* screen);
    // "Оборудование", "Дополнительно", "Выход".
    QList<QWidget*> panelButtons() const;
    void setAdditionalDataDialog(AdditionalDataDialog* dialog);
    // The calculation folder of "Дополнительно".
    void setStartFolder(const QString& folder);
    // Where the file dialogs start: the calculation folder when it is set and exists, else
    // the folder last used in a file dialog, else the user's documents.
    QString startFolder() const;

    // The recent files of "Файл": newest first, at most eight, those still there.
    QStringList recentFiles() const;
    void addRecentFile(const QString& path);

    // "Справка": the user guide (F1) and "О программе".
    void showGuide();
    void showAbout();

    QWidget* inputPanel() const { return panel4_; }
    ResultsPanel* resultsPanel() const { return results_; }
    StartScreen* startScreen() const { return start_; }
    NewsPanel* news() const;
    AnimatedIcon* newsIcon() const;
    QAction* action(const QString& objectName) const;
    FileCommands& files() { return files_; }

signals:
    // The first activation pass has opened every reference table.
    void startupFinished();
    // Preview and Print of the calculation report (the report window connects here).
    void previewRequested();
    void printRequested();
    // "Оборудование": SelectionOpened is already set.
    void selectionRequested();
    // A file command left a calculation open: the input screen shows it anew.
    void calculationShown();
    // "Сервис" -> "Справочники" or the start screen's button: the reference-table editor.
    void referencesRequested();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildActions();
    void buildRecentFiles(QMenu* file, QAction* before);
    void refreshRecentFiles();
    void openRecent(const QString& path);
    void buildHelpMenu();
    void rememberFolder(const QString& chosen);
    void refreshTitle();
    void buildPanel4();
    void applyOutcome(const FileOutcome& outcome);
    void showCalculationState(bool open);
    void editCommand(const char* slot);
    // "Отменить", "Повторить", "Вернуть расчет к открытому".
    void buildUndoActions(QMenu* file, QMenu* edit);
    void editUndo();
    void editRedo();
    void fileRevert();
    // Runs an undo, redo or revert of the open calculation and shows what it left.
    void historyStep(const std::function<CommitResult()>& step);
    void updateUndoActions();
    bool inputCommitted();
    FileCommands::ConfirmReplace confirmer();

    DataModule& dm_;
    Session& session_;
    FileCommands files_;
    QString dataDir_;
    QString startFolder_;
    QString lastFolder_;
    QMenu* fileMenu_ = nullptr;
    QAction* recentEnd_ = nullptr;
    QList<QAction*> recentActions_;
    QWidget* guide_ = nullptr;
    StartScreen* start_ = nullptr;
    QWidget* panel4_ = nullptr;
    QWidget* inputArea_ = nullptr;
    ResultsPanel* results_ = nullptr;
    AdditionalDataDialog* addDialog_ = nullptr;
    QAction* actUndo_ = nullptr;
    QAction* actRedo_ = nullptr;
    QAction* actRevert_ = nullptr;
    QAction* actNew_ = nullptr;
    QAction* actOpen_ = nullptr;
    QAction* actSave_ = nullptr;
    QAction* actClose_ = nullptr;
    QAction* actPreview_ = nullptr;
    QAction* actPrint_ = nullptr;
    QAction* actExit_ = nullptr;
    QAction* actCut_ = nullptr;
    QAction* actCopy_ = nullptr;
    QAction* actPaste_ = nullptr;
    bool startupDone_ = false;
    bool startupFailed_ = false;
    bool centred_ = false;
    int listener_ = 0;
};

} // namespace vorn
