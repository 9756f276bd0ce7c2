#include "desktop/widgets/CalculatorPopup.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QToolButton>
#include <cmath>

namespace vorn {

namespace {
const char* const kKeys[5][4] = {
    {"C", "<", "±", "/"}, {"7", "8", "9", "*"},  {"4", "5", "6", "-"},
    {"1", "2", "3", "+"}, {"0", ".", "=", "OK"},
};

// Numbers show a decimal comma, as the fields do; the key "." and the keyboard's "," and
// "." all type it.
QString shownText(QString s) {
    return s.replace('.', ',');
}

QString numberText(double v) {
    QString s = QString::number(v, 'g', 12);
    return shownText(s == "-0" ? "0" : s);
}
} // namespace

CalculatorPopup::CalculatorPopup(QWidget* parent) : QFrame(parent, Qt::Popup) {
    setObjectName("CalculatorPopup");
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setSpacing(2);
    display_ = new QLabel(this);
    display_->setObjectName("display");
    display_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    display_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    display_->setAutoFillBackground(true);
    display_->setBackgroundRole(QPalette::Base);
    display_->setMinimumHeight(22);
    grid->addWidget(display_, 0, 0, 1, 4);
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 4; ++c) {
            const QString key = QString::fromUtf8(kKeys[r][c]);
            auto* b = new QToolButton(this);
            b->setText(key == "*" ? "×" : key == "/" ? "÷" : key == "." ? "," : key);
            b->setFocusPolicy(Qt::NoFocus);
            b->setFixedSize(30, 24);
            connect(b, &QToolButton::clicked, this, [this, key] { press(key); });
            grid->addWidget(b, r + 1, c);
        }
    start(0);
}

void CalculatorPopup::start(double value) {
    entry_.clear();
    acc_ = 0;
    pending_ = QChar();
    failed_ = false;
    showValue(std::isfinite(value) ? value : 0);
}

QString CalculatorPopup::displayText() const {
    return display_->text();
}

double CalculatorPopup::value() const {
    return entry_.isEmpty() ? shown_ : entry_.toDouble();
}

void CalculatorPopup::showValue(double value) {
    shown_ = value;
    entry_.clear();
    display_->setText(numberText(value));
}

void CalculatorPopup::showEntry() {
    display_->setText(entry_.isEmpty() ? "0" : shownText(entry_));
}

void CalculatorPopup::evaluate() {
    const double right = value();
    double r = right;
    if (pending_ == '+')
        r = acc_ + right;
    else if (pending_ == '-')
        r = acc_ - right;
    else if (pending_ == '*')
        r = acc_ * right;
    else if (pending_ == '/')
        r = right == 0 ? NAN : acc_ / right;
    pending_ = QChar();
    if (!std::isfinite(r)) {
        failed_ = true;
        entry_.clear();
        shown_ = 0;
        display_->setText("Ошибка");
        return;
    }
    showValue(r);
}

void CalculatorPopup::press(const QString& key) {
    if (key == "C") {
        start(0);
        return;
    }
    if (failed_)
        return;
    if (key.size() == 1 && key.at(0).isDigit()) {
        if (entry_ == "0")
            entry_.clear();
        if (entry_.size() < 15)
            entry_ += key;
        showEntry();
    } else if (key == ".") {
        if (entry_.isEmpty())
            entry_ = "0";
        if (!entry_.contains('.'))
            entry_ += '.';
        showEntry();
    } else if (key == "<") {
        if (!entry_.isEmpty()) {
            entry_.chop(1);
            if (entry_ == "-")
                entry_.clear();
            showEntry();
        }
    } else if (key == "±") {
        if (entry_.isEmpty())
            showValue(-shown_);
        else {
            entry_ = entry_.startsWith('-') ? entry_.mid(1) : "-" + entry_;
            showEntry();
        }
    } else if (key == "+" || key == "-" || key == "*" || key == "/") {
        if (!pending_.isNull() && !entry_.isEmpty())
            evaluate();
        if (failed_)
            return;
        acc_ = value();
        pending_ = key.at(0);
        entry_.clear();
        shown_ = acc_;
    } else if (key == "=") {
        evaluate();
    } else if (key == "OK") {
        if (!pending_.isNull())
            evaluate();
        if (failed_)
            return;
        const double v = value();
        hide();
        emit resultAccepted(v);
    }
}

void CalculatorPopup::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const QString t = event->text();
    if (key == Qt::Key_Escape) {
        hide();
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        press("OK");
    } else if (key == Qt::Key_Backspace) {
        press("<");
    } else if (key == Qt::Key_Delete) {
        press("C");
    } else if (t == "," || t == ".") {
        press(".");
    } else if (t.size() == 1 && QString("0123456789+-*/=").contains(t)) {
        press(t);
    } else {
        QFrame::keyPressEvent(event);
        return;
    }
    event->accept();
}

} // namespace vorn
