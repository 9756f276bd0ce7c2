#pragma once
// The project window: the chambers of the open project in a table with a totals row, and
// beside it the nine gains of each chamber as stacked bars. It lives beside the main window:
// a double-click opens a chamber there, and the rows follow that chamber's edits (the open
// calculation is read as it stands whenever an edit is made or this window is activated).
// The menu "Проект" of both windows carries its commands.
#include "project/ProjectSummary.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QTableWidget;

namespace vorn {

class ChamberLoader;
class StackedBarChart;
class Session;

class ProjectWindow : public QMainWindow {
    Q_OBJECT
public:
    ProjectWindow(Session& session, const QString& dataDir, QWidget* parent = nullptr);
    ~ProjectWindow() override;

    // "Новый проект…", "Открыть проект…", "Добавить текущий расчет", "Добавить расчет…",
    // "Коммерческое предложение…", in menu order.
    QList<QAction*> menuActions() const;

    // The commands once their file is chosen.
    bool newProjectAt(const QString& path);
    bool openProjectAt(const QString& path);
    bool addCalculationAt(const QString& path);
    bool removeChamber(int row); // 0-based
    // Reads every chamber anew (the one open in the main window as it stands) and shows them.
    void refresh();
    // Reads only the chamber open in the main window again (after an edit there).
    void refreshOpenChamber();
    // The offer with the project's settings: the preview (print, PDF) and the workbook.
    bool saveXlsxAt(const QString& path);

    const QString& projectPath() const { return path_; }
    const ProjectSummary& summary() const { return summary_; }
    // The calculation files of the open project's chambers; none without a project.
    std::vector<std::string> chamberFiles() const;
    QTableWidget* table() const { return table_; }
    StackedBarChart* chart() const { return chart_; }

    // The file dialog: the chosen path, or empty when cancelled.
    std::function<QString(const QString& title, const QString& filter, bool save)> pickPath;
    std::function<void(const QString&)> showMessage;

signals:
    // A chamber's calculation is to be opened in the main window (a double-click on its row).
    void openCalculationRequested(const QString& path);
    // A project was opened or made here: it joins the recent files.
    void projectOpened(const QString& path);

protected:
    bool event(QEvent* e) override;

private:
    void newProject();
    void openProject();
    void addCurrent();
    void addCalculation();
    void offer();
    void showProject();
    void fillTable();
    void fillChart();
    void openChamber(int row);
    bool ensureProject();

    Session& session_;
    QString dataDir_;
    QString path_;
    Project project_;
    std::vector<ChamberFigures> figures_; // one per chamber of project_
    ProjectSummary summary_;
    std::unique_ptr<ChamberLoader> loader_;
    QTableWidget* table_ = nullptr;
    StackedBarChart* chart_ = nullptr;
    QLabel* status_ = nullptr;
    QList<QAction*> actions_;
    QAction* remove_ = nullptr;
    int listener_ = 0;
};


} // namespace vorn
