#include "desktop/input/PagePictures.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace vorn {

namespace {
const QColor kInk(40, 50, 80);
const QColor kCold(70, 140, 210);
const QColor kWarm(220, 120, 40);

void bricks(QPainter& p) {
    p.setBrush(QColor(190, 90, 60));
    for (int row = 0; row < 5; ++row)
        for (int col = -1; col < 3; ++col) {
            const qreal x = 4 + col * 12 + (row % 2) * 6;
            QRectF r(x, 4 + row * 6, 12, 6);
            p.drawRect(r.intersected(QRectF(4, 4, 20, 30)));
        }
    p.setBrush(QColor(250, 240, 200));
    p.drawRect(QRectF(24, 4, 6, 30)); // insulation layer
    p.setPen(QPen(kWarm, 2));
    p.drawLine(QPointF(1, 19), QPointF(3, 19));
}

void fan(QPainter& p, QPointF c, qreal r) {
    p.setBrush(QColor(200, 215, 235));
    for (int k = 0; k < 3; ++k) {
        p.save();
        p.translate(c);
        p.rotate(k * 120);
        QPainterPath blade;
        blade.moveTo(0, 0);
        blade.cubicTo(r * 0.3, -r * 0.9, r, -r * 0.5, r * 0.2, 0);
        p.drawPath(blade);
        p.restore();
    }
    p.setBrush(kInk);
    p.drawEllipse(c, 2, 2);
}

void arrow(QPainter& p, QPointF from, QPointF to, const QColor& c) {
    p.setPen(QPen(c, 2));
    p.drawLine(from, to);
    const qreal a = std::atan2(to.y() - from.y(), to.x() - from.x());
    const QPointF l(to.x() - 5 * std::cos(a - 0.5), to.y() - 5 * std::sin(a - 0.5));
    const QPointF r(to.x() - 5 * std::cos(a + 0.5), to.y() - 5 * std::sin(a + 0.5));
    p.drawLine(to, l);
    p.drawLine(to, r);
    p.setPen(QPen(kInk, 1.2));
}

void door(QPainter& p) {
    p.setBrush(QColor(230, 230, 230));
    p.drawRect(QRectF(6, 4, 18, 29));
    p.setBrush(QColor(170, 130, 90));
    p.drawPolygon(QPolygonF({QPointF(6, 4), QPointF(16, 8), QPointF(16, 31), QPointF(6, 33)}));
    arrow(p, QPointF(34, 14), QPointF(20, 14), kWarm);
    arrow(p, QPointF(20, 26), QPointF(34, 26), kCold);
}

void crate(QPainter& p) {
    p.setBrush(QColor(210, 170, 110));
    p.drawRect(QRectF(3, 16, 20, 16));
    p.drawLine(QPointF(3, 24), QPointF(23, 24));
    p.setBrush(Qt::white); // thermometer
    p.drawRoundedRect(QRectF(27, 3, 5, 24), 2, 2);
    p.setBrush(kCold);
    p.drawEllipse(QPointF(29.5, 29), 4, 4);
    p.fillRect(QRectF(28.5, 14, 2, 14), kCold);
}

void apple(QPainter& p) {
    p.setBrush(QColor(110, 180, 70));
    p.drawEllipse(QRectF(5, 11, 22, 22));
    p.setBrush(QColor(60, 130, 40));
    p.drawEllipse(QRectF(16, 4, 9, 5));
    p.setPen(QPen(QColor(150, 150, 150), 1.4));
    for (int k = 0; k < 3; ++k) {
        QPainterPath wave;
        const qreal x = 26 + k * 3;
        wave.moveTo(x, 24);
        wave.cubicTo(x + 3, 20, x - 3, 16, x, 12);
        p.setBrush(Qt::NoBrush);
        p.drawPath(wave);
    }
}

void bulb(QPainter& p) {
    p.setPen(QPen(QColor(230, 190, 40), 1.5));
    for (int k = 0; k < 8; ++k) {
        const qreal a = k * M_PI / 4;
        p.drawLine(QPointF(18 + 11 * std::cos(a), 14 + 11 * std::sin(a)),
                   QPointF(18 + 15 * std::cos(a), 14 + 15 * std::sin(a)));
    }
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(255, 235, 120));
    p.drawEllipse(QPointF(18, 14), 8, 8);
    p.setBrush(QColor(160, 160, 160));
    p.drawRect(QRectF(14, 22, 8, 8));
}

void person(QPainter& p) {
    p.setBrush(QColor(240, 200, 160));
    p.drawEllipse(QPointF(18, 8), 5, 5);
    p.setBrush(QColor(60, 110, 170));
    QPainterPath body;
    body.moveTo(10, 34);
    body.lineTo(11, 18);
    body.quadTo(18, 13, 25, 18);
    body.lineTo(26, 34);
    body.closeSubpath();
    p.drawPath(body);
}

void forklift(QPainter& p) {
    p.setBrush(QColor(240, 180, 40));
    p.drawRect(QRectF(6, 14, 16, 12));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(9, 6, 10, 8));
    p.setPen(QPen(kInk, 2));
    p.drawLine(QPointF(25, 4), QPointF(25, 30));
    p.drawLine(QPointF(25, 30), QPointF(34, 30));
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(60, 60, 60));
    p.drawEllipse(QPointF(10, 29), 4, 4);
    p.drawEllipse(QPointF(20, 29), 4, 4);
}

void airCooler(QPainter& p) {
    p.setBrush(QColor(225, 230, 238));
    p.drawRect(QRectF(2, 6, 32, 20));
    fan(p, QPointF(11, 16), 8);
    fan(p, QPointF(25, 16), 8);
    p.setPen(QPen(kWarm, 1.5)); // heater
    QPainterPath coil;
    coil.moveTo(4, 31);
    for (int k = 0; k < 7; ++k)
        coil.lineTo(6 + k * 4, k % 2 ? 29 : 33);
    p.setBrush(Qt::NoBrush);
    p.drawPath(coil);
}
} // namespace

QPixmap pagePicture(int page) {
    QPixmap pm(kPagePictureSize, kPagePictureSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1.2));
    switch (page) {
    case 1:
        bricks(p);
        break;
    case 2:
        fan(p, QPointF(18, 18), 14);
        break;
    case 3:
        door(p);
        break;
    case 4:
        crate(p);
        break;
    case 5:
        apple(p);
        break;
    case 6:
        bulb(p);
        break;
    case 7:
        person(p);
        break;
    case 8:
        forklift(p);
        break;
    case 9:
        airCooler(p);
        break;
    default:
        p.drawRect(QRectF(1, 1, 34, 34));
    }
    return pm;
}

} // namespace vorn
