#include "desktop/widgets/NewsPanel.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

namespace vorn {

namespace {
constexpr int kPictureHeight = 56;

// A small snowflake-and-thermometer emblem drawn above the text.
void paintPicture(QPainter& p, const QRect& r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(0, 40, 90));
    g.setColorAt(1, Qt::black);
    p.fillRect(r, g);
    const QPointF c(r.left() + 40, r.center().y());
    p.setPen(QPen(QColor(160, 220, 255), 2));
    for (int i = 0; i < 6; ++i) {
        p.save();
        p.translate(c);
        p.rotate(i * 60.0);
        p.drawLine(QPointF(0, 0), QPointF(0, -20));
        p.drawLine(QPointF(0, -12), QPointF(-6, -18));
        p.drawLine(QPointF(0, -12), QPointF(6, -18));
        p.restore();
    }
    QFont f = p.font();
    f.setBold(true);
    f.setPointSize(14);
    p.setFont(f);
    p.setPen(QColor(0, 255, 0));
    p.drawText(r.adjusted(80, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, "Vorn 2.05");
    p.restore();
}
} // namespace

NewsPanel::NewsPanel(QWidget* parent) : QWidget(parent), lines_(newsLines()) {
    setObjectName("intro");
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    timer_.setInterval(kStepMs);
    connect(&timer_, &QTimer::timeout, this, &NewsPanel::step);
    QFont f = font();
    f.setFamily("DejaVu Sans Mono");
    f.setStyleHint(QFont::Monospace);
    f.setPointSize(9);
    setFont(f);
}

QStringList NewsPanel::newsLines() {
    return {
        "Новое в версии 2.05:",
        "==================",
        "Изменены справочники подбора оборудования.",
        "Изменены алгоритмы расчетов для различных температур ",
        "окружающей среды.",
        "Исправлена работа фильтров каталога продукты.",
        "Изменены формы печати отчетов.",
        "",
        "",
        "Новое в версии 2.04:",
        "==================",
        "Теперь программа нормально работает под Win2000.",
        "",
        "",
        "Новое в версии 2.03:",
        "==================",
        "Учет влажности внутри камеры и вне ее.",
        "Уточнен расчет в режиме «охлаждение».",
        "Введен режим быстрого подбора оборудования.",
        "Печать справочника оборудования.",
        "Настройка на каталог с файлами расчетов.",
        "Ввод цифровых параметров через калькулятор.",
        "Автоматический режим конвертации старых отчетов в отчеты ",
        "версии 2.00 и выше.",
        "Автоматический ввод конечной температуры продукта и тары ",
        "в режиме «хранение».",
        "Автоматический ввод высоты штабелирования.",
        "Подбор систем на базе нескольких агрегатов с учетом ",
        "интервала холодопроизводительности.",
        "Уточнен расчет теплопритока от дыхания продукта.",
        "Уточнен расчет теплопритока от инфильтрации (анализ",
        "внешней температуры у стены А)",
        "",
        "",
        "",
        "",
    };
}

void NewsPanel::start() {
    if (!timer_.isActive())
        timer_.start();
}

void NewsPanel::stop() {
    timer_.stop();
}

int NewsPanel::textTop() const {
    return kPictureHeight;
}

int NewsPanel::textHeight() const {
    return QFontMetrics(font()).lineSpacing() * static_cast<int>(lines_.size());
}

void NewsPanel::step() {
    // The text enters at the bottom of the text area and leaves at its top; once the
    // last line has gone, it starts again from the bottom.
    const int travel = (height() - textTop()) + textHeight();
    offset_ = (offset_ + 1) % travel;
    update(QRect(0, textTop(), width(), height() - textTop()));
}

void NewsPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    paintPicture(p, QRect(0, 0, width(), kPictureHeight));
    const QRect area(0, textTop(), width(), height() - textTop());
    p.setClipRect(area);
    p.setPen(QColor(0, 255, 0));
    p.setFont(font());
    const int spacing = QFontMetrics(font()).lineSpacing();
    int y = area.bottom() - offset_;
    for (const QString& line : lines_) {
        if (y + spacing >= area.top() && y <= area.bottom())
            p.drawText(QRect(8, y, width() - 16, spacing), Qt::AlignLeft | Qt::AlignVCenter, line);
        y += spacing;
    }
}

} // namespace vorn
