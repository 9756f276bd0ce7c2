#include "desktop/widgets/AnimatedIcon.h"

#include <QMouseEvent>
#include <QPainter>

namespace vorn {

AnimatedIcon::AnimatedIcon(QWidget* parent) : QWidget(parent) {
    setFixedSize(32, 32);
    setCursor(Qt::PointingHandCursor);
    timer_.setInterval(kFrameMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        frame_ = (frame_ + 1) % kFrames;
        update();
    });
}

void AnimatedIcon::start() {
    if (!timer_.isActive())
        timer_.start();
}

void AnimatedIcon::stop() {
    timer_.stop();
}

void AnimatedIcon::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // Frames turn the flake and swing its colour between navy and a bright cyan.
    const int phase = frame_ < kFrames / 2 ? frame_ : kFrames - frame_;
    const QColor colour = QColor::fromRgb(0, 40 + phase * 45, 128 + phase * 30);
    p.setBrush(QColor(255, 255, 210));
    p.setPen(QPen(QColor(0, 0, 128), 1));
    p.drawEllipse(rect().adjusted(1, 1, -2, -2));
    p.translate(width() / 2.0, height() / 2.0);
    p.rotate(frame_ * 360.0 / (kFrames * 6));
    p.setPen(QPen(colour, 2.2));
    for (int i = 0; i < 6; ++i) {
        p.drawLine(QPointF(0, 0), QPointF(0, -11));
        p.drawLine(QPointF(0, -7), QPointF(-4, -11));
        p.drawLine(QPointF(0, -7), QPointF(4, -11));
        p.rotate(60);
    }
}

void AnimatedIcon::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

} // namespace vorn
