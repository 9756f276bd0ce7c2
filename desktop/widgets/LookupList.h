#pragma once
// A drop-down list of item texts: a fixed list, or the rows of a reference table read
// through a source each time the list gets the focus or opens (so a table that changes,
// like a filtered one, is always shown as it stands). It shows a value even when that
// value is not among the items. Nothing can be typed. picked() is emitted when the user
// closes the list on an item, or moves to one with the keys, also when it is the shown one.
#include <QComboBox>
#include <functional>

namespace vorn {

class LookupList : public QComboBox {
    Q_OBJECT
public:
    using Source = std::function<QStringList()>;

    explicit LookupList(QWidget* parent = nullptr);

    // Fixed items.
    void setItems(const QStringList& items);
    // Items read when the list is about to be used.
    void setSource(Source source) { source_ = std::move(source); }
    // Reads the items from the source now (nothing without a source).
    void fill();

    // The value shown: the item equal to it, or else the one item that begins with it (a
    // text cut to the width of its field); any other value is shown as a blank selection
    // with its text in grey.
    void showValue(const QString& value);

    // Enter with the list closed moves on as Tab does.
    void setEnterMovesOn(bool on) { enterMovesOn_ = on; }

    void showPopup() override;

signals:
    void picked(const QString& text);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void select();
    int indexOfValue() const;

    Source source_;
    QString value_;
    bool enterMovesOn_ = false;
};

} // namespace vorn
