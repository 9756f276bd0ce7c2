#pragma once
// The small pop-up calculator of a numeric field: digits, the four operations, change of
// sign, clear and back-space, by mouse or keyboard. "=" shows the result; Enter or the
// "OK" key hands the shown value to the field and closes; Escape closes without a result.
#include <QFrame>

class QLabel;

namespace vorn {

class CalculatorPopup : public QFrame {
    Q_OBJECT
public:
    explicit CalculatorPopup(QWidget* parent = nullptr);

    // Starts a new computation showing value.
    void start(double value);
    // One key of the calculator: "0".."9", ".", "+", "-", "*", "/", "=", "±", "C", "<", "OK".
    void press(const QString& key);
    QString displayText() const;
    double value() const;

signals:
    void resultAccepted(double value);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void evaluate();
    void showValue(double value);
    void showEntry();

    QLabel* display_ = nullptr;
    QString entry_;       // the number being typed; empty when the display shows a result
    double shown_ = 0;    // the value shown when entry_ is empty
    double acc_ = 0;      // left operand of the pending operation
    QChar pending_;       // the pending operation, or null
    bool failed_ = false; // a division by zero: only C and Escape work
};

} // namespace vorn
