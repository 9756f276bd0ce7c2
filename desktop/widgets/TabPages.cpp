#include "desktop/widgets/TabPages.h"

#include <QKeyEvent>
#include <QPainter>
#include <QShortcut>
#include <QStackedWidget>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QVBoxLayout>

namespace vorn {

TabPages::TabPages(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    strip_ = new TabStrip(this);
    stack_ = new QStackedWidget(this);
    stack_->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    layout->addWidget(strip_);
    layout->addWidget(stack_, 1);
    connect(strip_, &TabStrip::currentChanged, this, [this](int i) {
        stack_->setCurrentIndex(i);
        emit currentChanged(i);
    });
    auto step = [this](int by) {
        if (count() > 0)
            setCurrentIndex((currentIndex() + by + count()) % count());
    };
    for (const char* keys : {"Ctrl+Tab", "Ctrl+PgDown"}) {
        auto* s = new QShortcut(QKeySequence(keys), this, nullptr, nullptr, Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, [step] { step(1); });
    }
    for (const char* keys : {"Ctrl+Shift+Tab", "Ctrl+PgUp"}) {
        auto* s = new QShortcut(QKeySequence(keys), this, nullptr, nullptr, Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, [step] { step(-1); });
    }
}

void TabPages::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // the strip takes as many rows as the captions need at this width
    strip_->setFixedHeight(strip_->heightForWidth(width()));
}

int TabPages::addPage(QWidget* page, const QString& caption) {
    stack_->addWidget(page);
    strip_->addTab(caption);
    return count() - 1;
}

int TabPages::count() const {
    return strip_->count();
}
int TabPages::currentIndex() const {
    return strip_->current();
}
void TabPages::setCurrentIndex(int index) {
    strip_->setCurrent(index);
}
QWidget* TabPages::page(int index) const {
    return stack_->widget(index);
}
QString TabPages::caption(int index) const {
    return strip_->caption(index);
}
QRect TabPages::tabRect(int index) const {
    return strip_->tabRect(index);
}
int TabPages::rowCount() const {
    return strip_->rowCount();
}

TabStrip::TabStrip(QWidget* parent) : QWidget(parent) {
    setObjectName("TabStrip");
    setFocusPolicy(Qt::StrongFocus);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void TabStrip::addTab(const QString& caption) {
    captions_ << caption;
    if (current_ < 0)
        current_ = 0;
    rects_ = layoutFor(width());
    updateGeometry();
    update();
}

void TabStrip::setCurrent(int i) {
    if (i < 0 || i >= count() || i == current_)
        return;
    current_ = i;
    update();
    emit currentChanged(i);
}

QRect TabStrip::tabRect(int i) const {
    return i >= 0 && i < rects_.size() ? rects_[i] : QRect();
}

int TabStrip::rowHeight() const {
    return fontMetrics().height() + 6;
}

int TabStrip::tabWidth(int i) const {
    return fontMetrics().horizontalAdvance(captions_[i]) + 12;
}

QVector<QRect> TabStrip::layoutFor(int width) const {
    // Greedy rows in page order; each row's tabs then share the spare width.
    QVector<QRect> out(count());
    QVector<QVector<int>> rows(1);
    int used = 0;
    for (int i = 0; i < count(); ++i) {
        const int w = tabWidth(i);
        if (!rows.last().isEmpty() && used + w > width) {
            rows.append(QVector<int>());
            used = 0;
        }
        rows.last().append(i);
        used += w;
    }
    const int h = rowHeight();
    for (int r = 0; r < rows.size(); ++r) {
        int natural = 0;
        for (int i : rows[r])
            natural += tabWidth(i);
        const int spare = std::max(0, width - natural);
        int x = 0;
        for (int k = 0; k < rows[r].size(); ++k) {
            const int i = rows[r][k];
            int w = tabWidth(i) + spare / static_cast<int>(rows[r].size());
            if (k == rows[r].size() - 1)
                w = std::max(w, width - x);
            out[i] = QRect(x, r * h, w, h);
            x += w;
        }
    }
    return out;
}

int TabStrip::rowCount() const {
    int rows = 0;
    for (const QRect& r : rects_)
        rows = std::max(rows, r.bottom() / rowHeight() + 1);
    return rows;
}

int TabStrip::heightForWidth(int width) const {
    int bottom = rowHeight();
    for (const QRect& r : layoutFor(width))
        bottom = std::max(bottom, r.bottom() + 1);
    return bottom;
}

QSize TabStrip::sizeHint() const {
    int w = 0;
    for (int i = 0; i < count(); ++i)
        w += tabWidth(i);
    return {w, heightForWidth(w)};
}

QSize TabStrip::minimumSizeHint() const {
    int w = 0;
    for (int i = 0; i < count(); ++i)
        w = std::max(w, tabWidth(i));
    return {w, rowHeight()};
}

void TabStrip::resizeEvent(QResizeEvent*) {
    rects_ = layoutFor(width());
}

void TabStrip::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    for (int i = 0; i < count(); ++i) {
        QStyleOptionTab opt;
        opt.initFrom(this);
        opt.rect = rects_[i];
        opt.text = captions_[i];
        opt.shape = QTabBar::RoundedNorth;
        opt.position = QStyleOptionTab::Middle;
        opt.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        if (i == current_) {
            opt.state |= QStyle::State_Selected;
            if (hasFocus())
                opt.state |= QStyle::State_HasFocus;
        }
        // the style's tab shape, the caption centred in the whole tab (the style's own
        // label leaves wide margins that would cut the caption)
        p.drawControl(QStyle::CE_TabBarTabShape, opt);
        p.drawItemText(rects_[i], Qt::AlignCenter, palette(), isEnabled(), captions_[i],
                       QPalette::WindowText);
        if (i == current_ && hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = rects_[i].adjusted(3, 3, -3, -3);
            p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
        }
    }
}

void TabStrip::mousePressEvent(QMouseEvent* event) {
    for (int i = 0; i < rects_.size(); ++i)
        if (rects_[i].contains(event->position().toPoint())) {
            setCurrent(i);
            return;
        }
}

void TabStrip::keyPressEvent(QKeyEvent* event) {
    const int n = count();
    switch (event->key()) {
    case Qt::Key_Left:
        setCurrent((current_ - 1 + n) % n);
        break;
    case Qt::Key_Right:
        setCurrent((current_ + 1) % n);
        break;
    case Qt::Key_Home:
        setCurrent(0);
        break;
    case Qt::Key_End:
        setCurrent(n - 1);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

} // namespace vorn
