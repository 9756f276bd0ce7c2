#include "desktop/widgets/NumericEdit.h"

#include "calc/NumberFormat.h"
#include "desktop/widgets/CalculatorPopup.h"
#include "desktop/widgets/ToolIcons.h"

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QValidator>
#include <cmath>

namespace vorn {

namespace {

// The shortest text of a value with at most two decimals, with the decimal comma: 2,5.
QString resultText(double value) {
    QString s = QString::fromStdString(formatMask2(value)); // rounded as the result boxes
    while (s.endsWith('0'))
        s.chop(1);
    if (s.endsWith(','))
        s.chop(1);
    return s;
}

// Guards what does not come by a key: paste, drop, the Edit menu.
class RuleValidator : public QValidator {
public:
    RuleValidator(const NumericEdit* edit)
        : QValidator(const_cast<NumericEdit*>(edit)), edit_(edit) {}
    State validate(QString& input, int&) const override {
        return edit_->allows(input) ? Acceptable : Invalid;
    }

private:
    const NumericEdit* edit_;
};
} // namespace

NumericEdit::NumericEdit(QWidget* parent) : QLineEdit(parent) {
    setValidator(new RuleValidator(this));
    QAction* calc = addAction(toolIcon("calculator"), QLineEdit::TrailingPosition);
    calc->setToolTip("Калькулятор (F4)");
    connect(calc, &QAction::triggered, this, &NumericEdit::openCalculator);
}

void NumericEdit::setStoredText(const QString& text) {
    stored_ = text;
    setText(text);
}

void NumericEdit::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        focusNextChild(); // as Tab: the leave commits
        event->accept();
        return;
    }
    if (key == Qt::Key_Escape) {
        setText(stored_);
        selectAll();
        event->accept();
        return;
    }
    if (key == Qt::Key_F4 && event->modifiers() == Qt::NoModifier) {
        openCalculator();
        event->accept();
        return;
    }
    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && typed.at(0).isPrint() &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (!printable) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    QString candidate = text();
    if (hasSelectedText())
        candidate.replace(selectionStart(), selectedText().size(), typed);
    else
        candidate.insert(cursorPosition(), typed);
    if (!allows(candidate)) {
        QApplication::beep();
        emit keyRefused();
        event->accept();
        return;
    }
    insert(typed == "." ? QString(",") : typed);
    event->accept();
}

void NumericEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    const Qt::FocusReason r = event->reason();
    if (r == Qt::PopupFocusReason || r == Qt::ActiveWindowFocusReason)
        return;
    emit left(text());
}

void NumericEdit::mousePressEvent(QMouseEvent* event) {
    QLineEdit::mousePressEvent(event);
    selectAll();
}

void NumericEdit::openCalculator() {
    if (isReadOnly() || !isEnabled())
        return;
    if (!calc_) {
        calc_ = new CalculatorPopup(this);
        connect(calc_, &CalculatorPopup::resultAccepted, this, [this](double v) {
            if (!putResult(v))
                QApplication::beep();
            setFocus(Qt::PopupFocusReason);
        });
    }
    calc_->start(parseNumericText(text().toStdString()));
    QPoint at = mapToGlobal(QPoint(0, height()));
    if (QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        const QSize size = calc_->sizeHint();
        at.setX(std::min(at.x(), area.right() - size.width()));
        if (at.y() + size.height() > area.bottom())
            at.setY(mapToGlobal(QPoint(0, 0)).y() - size.height());
    }
    calc_->move(at);
    calc_->show();
    calc_->setFocus(Qt::PopupFocusReason);
}

bool NumericEdit::putResult(double value) {
    if (!std::isfinite(value))
        return false;
    const QString t = resultText(value);
    if (!allows(t))
        return false;
    setText(t);
    setModified(true); // as if typed: written when the field is left
    selectAll();
    return true;
}

} // namespace vorn
