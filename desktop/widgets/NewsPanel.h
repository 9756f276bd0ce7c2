#pragma once
// The "what's new" box of the start screen: a picture above lime text on black that
// scrolls up one step per tick and starts again after the last line.
#include <QStringList>
#include <QTimer>
#include <QWidget>

namespace vorn {

class NewsPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 433;
    static constexpr int kHeight = 281;
    static constexpr int kStepMs = 60;

    explicit NewsPanel(QWidget* parent = nullptr);

    // The lines of the panel, in order (the version history of the program).
    static QStringList newsLines();

    void start();
    void stop();
    bool isScrolling() const { return timer_.isActive(); }
    // Pixels the text has moved up since it last started from the bottom.
    int scrollOffset() const { return offset_; }
    // One scroll step; the timer calls it.
    void step();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int textTop() const;
    int textHeight() const;

    QStringList lines_;
    QTimer timer_;
    int offset_ = 0;
};

} // namespace vorn
