#pragma once
// The "Расчет" window: how the open calculation's figures came about, gain by gain. For
// the chosen gain (or the required capacity) its formula, every input with its value,
// unit and source, the intermediate values and the result, as the last recalculation
// recorded them; the warnings above in red. It follows every edit, and leads to the
// calculation note (preview, print, PDF).
#include <QDialog>

class QLabel;
class QListWidget;
class QMainWindow;
class QTextBrowser;

namespace vorn {

class CalcReport;
class Session;
struct CalcStep;

class CalculationView : public QDialog {
    Q_OBJECT
public:
    CalculationView(Session& session, CalcReport& report, QWidget* parent = nullptr);
    ~CalculationView() override;

    // Adds "Расчет" (Сервис menu) and "Расчетная записка" (Файл menu, after printing) to
    // the window, opens the view from a double click on a gain's box of the result
    // column, and keeps both items enabled while a calculation is open.
    static CalculationView* install(QMainWindow& window, Session& session, CalcReport& report);

    // Shows the window at gain n (1..9), or at the required capacity (10 and 11).
    void showGain(int n);
    // Fills the list and the shown step from the session's last recalculation.
    void refresh();

    // The HTML of one step as the view shows it.
    static QString stepHtml(const CalcStep& step);

private:
    void showCurrent();
    void savePdf();

    Session& session_;
    CalcReport& report_;
    QListWidget* list_ = nullptr;
    QTextBrowser* text_ = nullptr;
    QLabel* warnings_ = nullptr;
    int listener_ = 0;
};

} // namespace vorn
