#include "desktop/shell/StartScreen.h"

#include "desktop/widgets/AnimatedIcon.h"
#include "desktop/widgets/NewsPanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace vorn {

namespace {
const char* const kFooter1 = "ООО «Ворн-Холод», 195000, Санкт-Петербург, ул. Холодильная, д. 5";
const char* const kFooter2 = "Телефоны: (812) 555-20-05, (812) 555-20-06, факс (812) 555-20-07";

// A cold room in perspective: the chamber, its door and an air cooler blowing into it.
void paintColdRoom(QPainter& p, const QRectF& r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF o = r.topLeft();
    const qreal w = r.width(), h = r.height();
    auto at = [&](qreal x, qreal y) { return o + QPointF(x * w, y * h); };
    QPolygonF front{at(0.10, 0.35), at(0.70, 0.35), at(0.70, 0.95), at(0.10, 0.95)};
    QPolygonF top{at(0.10, 0.35), at(0.30, 0.10), at(0.90, 0.10), at(0.70, 0.35)};
    QPolygonF side{at(0.70, 0.35), at(0.90, 0.10), at(0.90, 0.70), at(0.70, 0.95)};
    p.setPen(QPen(QColor(40, 70, 120), 1.5));
    p.setBrush(QColor(225, 235, 248));
    p.drawPolygon(front);
    p.setBrush(QColor(240, 246, 252));
    p.drawPolygon(top);
    p.setBrush(QColor(200, 215, 236));
    p.drawPolygon(side);
    // the door
    p.setBrush(QColor(175, 195, 225));
    p.drawRect(QRectF(at(0.30, 0.55), at(0.50, 0.95)));
    p.drawEllipse(at(0.47, 0.76), 3, 3);
    // the air cooler on the side wall with its blown air
    p.setBrush(QColor(120, 140, 170));
    p.drawRect(QRectF(at(0.74, 0.30), at(0.86, 0.40)));
    p.setPen(QPen(QColor(90, 160, 230), 1.2, Qt::DashLine));
    for (int i = 0; i < 3; ++i) {
        QPainterPath air;
        air.moveTo(at(0.74, 0.33 + i * 0.03));
        air.cubicTo(at(0.62, 0.30 + i * 0.04), at(0.55, 0.42 + i * 0.04),
                    at(0.45, 0.40 + i * 0.05));
        p.setBrush(Qt::NoBrush);
        p.drawPath(air);
    }
    p.restore();
}
} // namespace

StartScreen::StartScreen(QWidget* parent) : QWidget(parent) {
    setObjectName("StartScreen");
    setAutoFillBackground(false);

    auto* version = new QLabel(kVersionText, this);
    version->setObjectName("VersionLabel");
    QFont vf = version->font();
    vf.setBold(true);
    vf.setPointSize(11);
    version->setFont(vf);
    version->setStyleSheet("color: navy; background: transparent;");

    icon_ = new AnimatedIcon(this);
    icon_->setObjectName("NewsIcon");
    icon_->setToolTip("Новое в программе");

    news_ = new NewsPanel(this);
    news_->hide();

    references_ = new QPushButton("Справочники", this);
    references_->setObjectName("ReferencesButton");
    references_->setToolTip("Справочники и каталоги оборудования, прайс-лист");

    auto* footer1 = new QLabel(kFooter1, this);
    auto* footer2 = new QLabel(kFooter2, this);
    for (QLabel* l : {footer1, footer2}) {
        l->setAlignment(Qt::AlignHCenter);
        l->setStyleSheet("color: #102040; background: transparent;");
    }

    auto* top = new QHBoxLayout;
    top->addStretch();
    top->addWidget(version);
    top->addSpacing(8);
    top->addWidget(icon_);
    top->addSpacing(16);

    auto* middle = new QHBoxLayout;
    middle->addSpacing(16);
    middle->addWidget(news_, 0, Qt::AlignTop);
    middle->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 10, 8, 8);
    layout->addLayout(top);
    layout->addSpacing(6);
    layout->addLayout(middle, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addSpacing(16);
    buttons->addWidget(references_);
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->addSpacing(14);
    layout->addWidget(footer1);
    layout->addWidget(footer2);
}

void StartScreen::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QLinearGradient sky(rect().topLeft(), rect().bottomLeft());
    sky.setColorAt(0, QColor(176, 206, 240));
    sky.setColorAt(0.75, QColor(236, 244, 252));
    sky.setColorAt(1, QColor(210, 222, 236));
    p.fillRect(rect(), sky);
    const qreal side = qMin(width() * 0.45, height() * 0.7);
    paintColdRoom(p, QRectF(width() - side - 24, height() * 0.18, side, side * 0.85));
    p.setPen(QColor(60, 90, 140));
    p.drawLine(24, height() - 48, width() - 24, height() - 48);
}

} // namespace vorn
