#pragma once
// A numeric input field. Only keystrokes after which the owner's text rule still holds are
// taken; a refused key beeps. A typed "." shows as the decimal comma. Escape puts the
// stored value back, a click selects the whole text, Enter moves on as Tab does. The
// button at the right edge (or F4) opens a small calculator whose result is put into the
// field. Leaving the field emits left() once with the text; what is written where is the
// owner's business.
#include <QLineEdit>
#include <functional>

namespace vorn {

class CalculatorPopup;

class NumericEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit NumericEdit(QWidget* parent = nullptr);

    // The texts the field may hold as typed; unset, any text.
    using TextRule = std::function<bool(const QString&)>;
    void setTextRule(TextRule rule) { rule_ = std::move(rule); }
    bool allows(const QString& text) const { return !rule_ || rule_(text); }

    // The value the record holds, as shown; Escape puts it back.
    void setStoredText(const QString& text);
    const QString& storedText() const { return stored_; }

    // Opens the calculator under the field, starting from the field's value.
    void openCalculator();
    CalculatorPopup* calculator() const { return calc_; }

    // Puts a calculator result into the field, if the field could hold it as typed.
    bool putResult(double value);

signals:
    // The focus left the field by Tab, Enter or the mouse (not for a menu or a pop-up).
    void left(const QString& text);
    // A key was refused (and the beep given).
    void keyRefused();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    TextRule rule_;
    QString stored_;
    CalculatorPopup* calc_ = nullptr;
};

} // namespace vorn
