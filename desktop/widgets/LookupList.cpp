#include "desktop/widgets/LookupList.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QProxyStyle>
#include <QSignalBlocker>
#include <QStyle>

namespace vorn {

namespace {
// Some styles open a list as a menu of all its items; this one always opens a scrolling
// list of at most maxVisibleItems rows.
class ScrollingListStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

QStyle* scrollingListStyle() {
    static QPointer<QStyle> style;
    if (!style) {
        style = new ScrollingListStyle;
        style->setParent(qApp); // goes with the application
    }
    return style;
}
} // namespace

LookupList::LookupList(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setStyle(scrollingListStyle());
    setMaxVisibleItems(8);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(8);
    connect(this, &QComboBox::activated, this, [this](int index) {
        value_ = itemText(index);
        emit picked(value_);
    });
}

void LookupList::setItems(const QStringList& items) {
    const QSignalBlocker block(this);
    clear();
    addItems(items);
    select();
}

void LookupList::fill() {
    if (source_)
        setItems(source_());
}

void LookupList::showValue(const QString& value) {
    value_ = value;
    // A list read from a table is read again when used; until then it holds the value.
    if (source_ && indexOfValue() < 0) {
        const QSignalBlocker block(this);
        clear();
        if (!value.isEmpty())
            addItem(value);
    }
    select();
}

int LookupList::indexOfValue() const {
    const int exact = findText(value_, Qt::MatchExactly);
    if (exact >= 0 || value_.isEmpty())
        return exact;
    // A text stored in a field narrower than the item keeps only its beginning.
    int found = -1;
    for (int i = 0; i < count(); ++i)
        if (itemText(i).startsWith(value_)) {
            if (found >= 0)
                return -1; // more than one item begins so
            found = i;
        }
    return found;
}

void LookupList::select() {
    const QSignalBlocker block(this);
    const int i = indexOfValue();
    setToolTip(value_); // the whole name, also where the box cuts it
    setPlaceholderText(i < 0 ? value_ : QString());
    setCurrentIndex(i);
}

void LookupList::showPopup() {
    fill();
    // the open list is as wide as its longest item, so every name reads whole
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    view()->setMinimumWidth(view()->sizeHintForColumn(0) + scrollBar + 8);
    QComboBox::showPopup();
}

void LookupList::focusInEvent(QFocusEvent* event) {
    // the focus coming back from the list's own popup: the items are already there, and
    // refilling them now would clear the model under the pick
    if (event->reason() != Qt::PopupFocusReason)
        fill();
    QComboBox::focusInEvent(event);
}

void LookupList::keyPressEvent(QKeyEvent* event) {
    if (enterMovesOn_ && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        focusNextChild();
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

} // namespace vorn
