#include "desktop/widgets/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace vorn {

namespace {
const QColor kInk(30, 40, 80);

void page(QPainter& p, QRectF r) {
    QPainterPath path;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - 4, r.top());
    path.lineTo(r.right(), r.top() + 4);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(path);
}

// The full-load button's icon: boxes stacked on a pallet (16 x 16).
QPixmap fullLoadPixmap() {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(40, 50, 80));
    p.setBrush(QColor(210, 170, 110));
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3 - row; ++col)
            p.drawRect(1 + col * 5 + row * 2, 11 - row * 5, 4, 4);
    return pm;
}

// The calculator button of the numeric fields (12 x 12).
QPixmap calculatorPixmap() {
    QPixmap pm(12, 12);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(60, 60, 60));
    p.setBrush(QColor(235, 235, 225));
    p.drawRect(0, 0, 11, 11);
    p.fillRect(2, 2, 8, 3, QColor(150, 190, 150));
    for (int y = 7; y <= 9; y += 2)
        for (int x = 2; x <= 8; x += 3)
            p.fillRect(x, y, 2, 1, QColor(40, 40, 40));
    return pm;
}
} // namespace

QIcon toolIcon(const QString& name) {
    if (name == "fullLoad")
        return QIcon(fullLoadPixmap());
    if (name == "calculator")
        return QIcon(calculatorPixmap());
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1.2));
    if (name == "new") {
        page(p, QRectF(4, 2, 12, 16));
        p.setPen(QPen(QColor(0, 120, 200), 1.4));
        p.drawLine(QPointF(7, 10), QPointF(13, 10));
        p.drawLine(QPointF(10, 7), QPointF(10, 13));
    } else if (name == "open") {
        p.setBrush(QColor(240, 200, 90));
        p.drawRect(QRectF(2, 6, 15, 11));
        p.drawRect(QRectF(2, 4, 6, 2));
        p.setBrush(QColor(250, 225, 130));
        p.drawPolygon(QPolygonF{{4, 9}, {19, 9}, {17, 17}, {2, 17}});
    } else if (name == "save") {
        p.setBrush(QColor(60, 90, 170));
        p.drawRect(QRectF(2.5, 2.5, 15, 15));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5, 3, 10, 6));
        p.setBrush(QColor(200, 200, 210));
        p.drawRect(QRectF(6, 12, 8, 5));
    } else if (name == "close") {
        page(p, QRectF(3, 2, 12, 16));
        p.setPen(QPen(QColor(200, 30, 30), 2));
        p.drawLine(QPointF(10, 10), QPointF(17, 17));
        p.drawLine(QPointF(17, 10), QPointF(10, 17));
    } else if (name == "preview") {
        page(p, QRectF(3, 2, 12, 16));
        p.setBrush(QColor(200, 230, 255, 180));
        p.drawEllipse(QPointF(11, 10), 4.5, 4.5);
        p.setPen(QPen(kInk, 2));
        p.drawLine(QPointF(14, 13), QPointF(18, 18));
    } else if (name == "print") {
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5, 2, 10, 7));
        p.setBrush(QColor(170, 175, 190));
        p.drawRoundedRect(QRectF(2, 8, 16, 7), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5, 13, 10, 5));
    } else if (name == "cut") {
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(6, 15), 2.5, 2.5);
        p.drawEllipse(QPointF(14, 15), 2.5, 2.5);
        p.setPen(QPen(QColor(90, 90, 100), 1.6));
        p.drawLine(QPointF(7.5, 13), QPointF(14, 2));
        p.drawLine(QPointF(12.5, 13), QPointF(6, 2));
    } else if (name == "copy") {
        page(p, QRectF(2, 2, 10, 12));
        page(p, QRectF(8, 6, 10, 12));
    } else if (name == "paste") {
        p.setBrush(QColor(190, 140, 70));
        p.drawRoundedRect(QRectF(2, 3, 13, 15), 1.5, 1.5);
        p.setBrush(QColor(200, 200, 210));
        p.drawRect(QRectF(6, 1.5, 5, 3));
        page(p, QRectF(9, 8, 9, 11));
    } else if (name == "exit") {
        p.setBrush(QColor(150, 100, 60));
        p.drawRect(QRectF(4, 2, 10, 16));
        p.setBrush(QColor(255, 220, 80));
        p.drawEllipse(QPointF(12, 10), 1, 1);
        p.setPen(QPen(QColor(0, 140, 0), 2));
        p.drawLine(QPointF(11, 10), QPointF(19, 10));
        p.drawLine(QPointF(16, 7), QPointF(19, 10));
        p.drawLine(QPointF(16, 13), QPointF(19, 10));
    }
    p.end();
    return QIcon(pm);
}

} // namespace vorn
