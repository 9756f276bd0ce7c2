#include "desktop/reports/ReportPictures.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <cmath>

namespace vorn {

namespace {

// A font whose height is size design units of a picture drawn at scale unit (device
// pixels per design unit).
QFont pictureFont(QPainter& p, double size, double unit, bool bold) {
    QFont f(QStringLiteral("Liberation Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(size * unit * 72.0 / p.device()->logicalDpiY());
    f.setBold(bold);
    return QFont(f, p.device());
}

// Logo: a blue disc with a white six-armed snowflake, the name and a line of trade.
void paintLogo(QPainter& p, const QRectF& t) {
    const double ux = t.width() / 125, uy = t.height() / 48;
    auto pt = [&](double x, double y) { return QPointF(t.left() + x * ux, t.top() + y * uy); };
    const QColor blue(0, 0, 128), cyan(0, 128, 192), red(192, 0, 0);
    p.setPen(Qt::NoPen);
    p.setBrush(cyan);
    p.drawEllipse(QRectF(pt(2, 3), pt(44, 45)));
    QPen flake(Qt::white, 2.6 * ux, Qt::SolidLine, Qt::RoundCap);
    p.setPen(flake);
    const QPointF c = pt(23, 24);
    for (int i = 0; i < 6; ++i) {
        const double a = i * M_PI / 3;
        const double dx = std::cos(a), dy = std::sin(a);
        auto at = [&](double r, double side) {
            return QPointF(c.x() + (dx * r - dy * side) * ux, c.y() + (dy * r + dx * side) * uy);
        };
        p.drawLine(at(0, 0), at(16, 0));
        p.drawLine(at(9, 0), at(13, 4));
        p.drawLine(at(9, 0), at(13, -4));
    }
    p.setPen(blue);
    p.setFont(pictureFont(p, 25, uy, true));
    p.drawText(QRectF(pt(49, 2), pt(125, 32)), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("VORN"));
    p.setPen(QPen(red, 1.6 * uy));
    p.drawLine(pt(50, 33), pt(122, 33));
    p.setPen(blue);
    p.setFont(pictureFont(p, 6.0, uy, true));
    p.drawText(QRectF(pt(49, 35), pt(125, 47)), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("холодильные системы"));
}

// Plan of the chamber from above: wall А at the bottom with the door, Б left, В top,
// Г right.
void paintPlan(QPainter& p, const QRectF& t) {
    const double ux = t.width() / 56, uy = t.height() / 63;
    auto pt = [&](double x, double y) { return QPointF(t.left() + x * ux, t.top() + y * uy); };
    QPen wall(Qt::black, 1.6 * ux, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    p.setBrush(QColor(224, 240, 255));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(pt(10, 9), pt(46, 51)));
    p.setPen(wall);
    QPainterPath walls;
    walls.moveTo(pt(22, 51));
    walls.lineTo(pt(10, 51));
    walls.lineTo(pt(10, 9));
    walls.lineTo(pt(46, 9));
    walls.lineTo(pt(46, 51));
    walls.lineTo(pt(33, 51));
    p.setBrush(Qt::NoBrush);
    p.drawPath(walls);
    // The door leaf, open inwards, and its swing.
    p.setPen(QPen(Qt::black, 0.8 * ux));
    p.drawLine(pt(22, 51), pt(22, 40));
    p.drawArc(QRectF(pt(11, 40), pt(33, 62)), 0 * 16, 90 * 16);
    p.setPen(Qt::black);
    p.setFont(pictureFont(p, 6.5, uy, true));
    p.drawText(QRectF(pt(0, 52), pt(56, 63)), Qt::AlignCenter, QStringLiteral("СТЕНА А"));
    p.drawText(QRectF(pt(0, 0), pt(56, 9)), Qt::AlignCenter, QStringLiteral("В"));
    p.drawText(QRectF(pt(0, 9), pt(10, 51)), Qt::AlignCenter, QStringLiteral("Б"));
    p.drawText(QRectF(pt(46, 9), pt(56, 51)), Qt::AlignCenter, QStringLiteral("Г"));
}

} // namespace

void ReportPictures::paint(QPainter& painter, Picture picture, const QRectF& target) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (picture == Picture::Logo)
        paintLogo(painter, target);
    else
        paintPlan(painter, target);
    painter.restore();
}

} // namespace vorn
