#pragma once
// The window's composition, in one place: which screen goes into which window and how the
// windows talk to each other. The main window knows none of the other windows; each of
// them knows the session it shows and says what it wants through signals.
#include <QString>
#include <memory>

namespace vorn {

class AdditionalDataDialog;
class CalcReport;
class DataModule;
class InputScreen;
class MainWindow;
class ProjectWindow;
class Selection;
class SelectionDialog;
class Session;
class SystemsReport;

// The input screen in the main window's Panel4, with the window's result column and
// buttons; its messages go to the window, the file commands first write the text being
// typed.
InputScreen* composeInputScreen(MainWindow& window, Session& session);

// The project window behind the menu "Проект" of the main window (before "Справка"): a
// chamber it opens opens in the main window, a project it opens joins the recent files,
// and a project among the recent files opens in it.
ProjectWindow* composeProjectWindow(MainWindow& window, Session& session, const QString& dataDir);

// The reference-table editor ("Сервис" -> "Справочники"), made on first use: a table changed
// there is read anew by the program's tables and the open calculation is recalculated with
// it as one step of its history.
void composeReferenceEditor(MainWindow& window, Session& session, DataModule& dm,
                            const QString& dataDir);

// Every window of the program around the main window, as the program starts it.
class Desktop {
public:
    Desktop(MainWindow& window, Session& session, DataModule& dm, const QString& dataDir);
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    InputScreen* inputScreen() const { return input_; }
    ProjectWindow* projectWindow() const { return project_; }

    // A file named on the command line, once the reference tables are open: a project
    // (.vrp) opens in the project window, anything else as a calculation.
    void openAtStart(const QString& path);

private:
    MainWindow& window_;
    Session& session_;
    DataModule& dm_;
    std::unique_ptr<CalcReport> report_;
    std::unique_ptr<Selection> selection_;
    std::unique_ptr<SelectionDialog> selectionDialog_;
    std::unique_ptr<AdditionalDataDialog> additional_;
    std::unique_ptr<SystemsReport> systemsReport_;
    InputScreen* input_ = nullptr;
    ProjectWindow* project_ = nullptr;
};

} // namespace vorn
