#pragma once
// Pages with a tab strip that wraps into as many rows as the captions need, so every
// caption stays readable in a narrow window. A click on a tab, the arrow keys on the focused
// strip, Ctrl+Tab / Ctrl+Shift+Tab and Ctrl+PgDown / Ctrl+PgUp anywhere in the window switch
// the page. The chosen page stays until another is chosen.
#include <QWidget>

class QStackedWidget;

namespace vorn {

class TabStrip;

class TabPages : public QWidget {
    Q_OBJECT
public:
    explicit TabPages(QWidget* parent = nullptr);

    int addPage(QWidget* page, const QString& caption);
    int count() const;
    int currentIndex() const;
    void setCurrentIndex(int index);
    QWidget* page(int index) const;
    QString caption(int index) const;
    // The tab's rectangle in the strip's coordinates (for a click), empty for a bad index.
    QRect tabRect(int index) const;
    TabStrip* strip() const { return strip_; }
    int rowCount() const;

signals:
    void currentChanged(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    TabStrip* strip_ = nullptr;
    QStackedWidget* stack_ = nullptr;
};

// The tab strip of TabPages: captions laid out in rows, each row stretched to the width.
class TabStrip : public QWidget {
    Q_OBJECT
public:
    explicit TabStrip(QWidget* parent = nullptr);

    void addTab(const QString& caption);
    int count() const { return static_cast<int>(captions_.size()); }
    QString caption(int i) const { return captions_.value(i); }
    int current() const { return current_; }
    void setCurrent(int i);
    QRect tabRect(int i) const;
    int rowCount() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

signals:
    void currentChanged(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Rectangles of all tabs for a strip of the given width.
    QVector<QRect> layoutFor(int width) const;
    int rowHeight() const;
    int tabWidth(int i) const;

    QStringList captions_;
    QVector<QRect> rects_;
    int current_ = -1;
};

} // namespace vorn
