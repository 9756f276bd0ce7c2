#include "desktop/input/ChamberPlan.h"

#include <QPainter>

namespace vorn {

ChamberPlan::ChamberPlan(QWidget* parent) : QWidget(parent) {
    setObjectName("ChamberPlan");
    setToolTip("План камеры");
}

void ChamberPlan::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QFont small = font();
    small.setPointSizeF(std::max(6.0, small.pointSizeF() - 1));
    p.setFont(small);
    const QFontMetrics fm(small);
    const int th = fm.height();
    // Room for the letters around the rectangle, "Длина" on the right, "Ширина" below.
    const QRectF room(th + 2, th + 2, width() - 2 * th - th - 8, height() - 2 * th - th - 6);
    p.setPen(QPen(QColor(40, 50, 80), 2));
    p.setBrush(QColor(225, 238, 250));
    p.drawRect(room);

    // The door in wall А (the bottom wall), opening inwards.
    const qreal dw = room.width() / 3;
    const QPointF hinge(room.center().x() - dw / 2, room.bottom());
    p.setPen(QPen(palette().color(QPalette::Window), 3));
    p.drawLine(hinge, hinge + QPointF(dw, 0));
    p.setPen(QPen(QColor(150, 90, 40), 1.5));
    p.drawLine(hinge, hinge + QPointF(0, -dw));
    p.setPen(QPen(QColor(150, 90, 40), 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(hinge.x() - dw, hinge.y() - dw, 2 * dw, 2 * dw), 0, 90 * 16);

    p.setPen(palette().color(QPalette::WindowText));
    auto letter = [&](const QString& s, QPointF centre) {
        QRectF r(0, 0, fm.horizontalAdvance(s) + 2, th);
        r.moveCenter(centre);
        p.drawText(r, Qt::AlignCenter, s);
    };
    letter("А", QPointF(room.left() + room.width() / 6, room.bottom() + th / 2.0 + 2));
    letter("В", QPointF(room.center().x(), room.top() - th / 2.0 - 1));
    letter("Б", QPointF(room.left() - th / 2.0 - 1, room.center().y()));
    letter("Г", QPointF(room.right() + th / 2.0 + 2, room.center().y()));

    // "Ширина" under wall А, "Длина" upright beside wall Г.
    p.drawText(QRectF(room.left(), room.bottom() + th + 2, room.width(), th), Qt::AlignCenter,
               "Ширина");
    p.save();
    p.translate(room.right() + th + 4 + th / 2.0, room.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-room.height() / 2 - 10, -th / 2.0, room.height() + 20, th), Qt::AlignCenter,
               "Длина");
    p.restore();
}

} // namespace vorn
