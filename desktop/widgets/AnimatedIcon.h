#pragma once
// A small clickable icon that animates (a pulsing snowflake) while running.
#include <QTimer>
#include <QWidget>

namespace vorn {

class AnimatedIcon : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFrames = 8;
    static constexpr int kFrameMs = 120;

    explicit AnimatedIcon(QWidget* parent = nullptr);

    void start();
    void stop();
    bool isAnimating() const { return timer_.isActive(); }
    int frame() const { return frame_; }
    QSize sizeHint() const override { return {32, 32}; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QTimer timer_;
    int frame_ = 0;
};

} // namespace vorn
