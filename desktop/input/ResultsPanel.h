#pragma once
// The result column of the input panel: the nine heat gains with their include boxes
// (GroupBox4) and the two totals (GroupBox5). It shows what the session's last
// recalculation left and forwards a click on an include box to the session.
#include <QWidget>
#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace vorn {

class Session;

class ResultsPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kGainCount = 9;
    static constexpr int kBoxCount = 11;

    explicit ResultsPanel(Session& session, QWidget* parent = nullptr);

    // Shows the include boxes of the screen state and the eleven result boxes.
    void refresh();

    // The totals group GroupBox5 taken out of the column, laid out in one row, for the
    // input screen to place beside the buttons.
    QWidget* takeTotals();

    // CheckBox1..CheckBox9 (n = 1..9) and CurrencyEdit1..CurrencyEdit11 (n = 1..11).
    QCheckBox* includeBox(int n) const;
    QLineEdit* display(int n) const;

signals:
    // A recalculation run by an include box stopped; the text names the input at fault.
    void messageRequested(const QString& text);
    // A double click on the box of gain n (1..9) or a total (10, 11): show how it came about.
    void explainRequested(int n);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* makeDisplay(int n, QWidget* parent);
    void layoutTotals(bool inRow);
    void includeBoxClicked(int n, bool checked);

    Session& session_;
    std::array<QCheckBox*, kGainCount> boxes_{};
    std::array<QLineEdit*, kBoxCount> displays_{};
    QWidget* totals_ = nullptr;
    QLabel* warnings_ = nullptr; // the calculation's warnings, in red
    QWidget* sumCaption_ = nullptr;
    QWidget* needCaption_ = nullptr;
    QWidget* units_[2] = {};
};

} // namespace vorn
