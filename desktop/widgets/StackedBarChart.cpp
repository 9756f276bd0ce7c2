#include "desktop/widgets/StackedBarChart.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QLocale>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cmath>

namespace vorn {

namespace {
constexpr double kMargin = 8;
constexpr double kSwatch = 12;
constexpr int kTicksWanted = 5;

QString number(double v, int decimals) {
    return QLocale().toString(v, 'f', decimals);
}

// Decimals enough to tell the axis steps apart (0.25 needs two, 5 none).
int decimalsFor(double step) {
    for (int d = 0; d < 6; ++d) {
        const double scaled = step * std::pow(10.0, d);
        if (std::fabs(scaled - std::round(scaled)) < 1e-6 * std::max(1.0, scaled))
            return d;
    }
    return 6;
}
} // namespace

StackedBarChart::StackedBarChart(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
}

void StackedBarChart::setTitle(const QString& title) {
    title_ = title;
    update();
}

void StackedBarChart::setAxisTitles(const QString& categories, const QString& values) {
    categoryTitle_ = categories;
    valueTitle_ = values;
    update();
}

void StackedBarChart::setSeries(const QStringList& names, const std::vector<QColor>& colours) {
    series_ = names;
    colours_ = colours;
    colours_.resize(static_cast<size_t>(names.size()), QColor(Qt::gray));
    values_.assign(static_cast<size_t>(names.size()), {});
    categories_.clear();
    update();
}

void StackedBarChart::setData(const QStringList& categories,
                              const std::vector<std::vector<double>>& values) {
    categories_ = categories;
    values_.assign(static_cast<size_t>(series_.size()),
                   std::vector<double>(static_cast<size_t>(categories.size()), 0.0));
    for (size_t s = 0; s < values_.size() && s < values.size(); ++s)
        for (size_t c = 0; c < values_[s].size() && c < values[s].size(); ++c)
            values_[s][c] = std::isfinite(values[s][c]) ? values[s][c] : 0.0;
    update();
}

double StackedBarChart::value(int series, int category) const {
    if (series < 0 || series >= series_.size() || category < 0 || category >= categories_.size())
        return 0.0;
    return values_[static_cast<size_t>(series)][static_cast<size_t>(category)];
}

StackedBarChart::Axis StackedBarChart::niceAxis(double min, double max) {
    Axis a;
    if (!std::isfinite(min) || !std::isfinite(max))
        return a;
    double lo = std::min(0.0, min), hi = std::max(0.0, max);
    if (hi - lo <= 0)
        return a; // nothing but zeros: 0 to 1
    const double raw = (hi - lo) / kTicksWanted;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double r = raw / magnitude;
    const double unit = r <= 1 ? 1 : r <= 2 ? 2 : r <= 2.5 ? 2.5 : r <= 5 ? 5 : 10;
    a.step = unit * magnitude;
    // a hair of tolerance, so that 10 with steps of 2 ends at 10, not 12
    a.lo = std::floor(lo / a.step + 1e-9) * a.step;
    a.hi = std::ceil(hi / a.step - 1e-9) * a.step;
    return a;
}

StackedBarChart::Axis StackedBarChart::axis() const {
    double lo = 0, hi = 0;
    for (int c = 0; c < categories_.size(); ++c) {
        double up = 0, down = 0;
        for (const std::vector<double>& s : values_) {
            const double v = s[static_cast<size_t>(c)];
            (v >= 0 ? up : down) += v;
        }
        hi = std::max(hi, up);
        lo = std::min(lo, down);
    }
    return niceAxis(lo, hi);
}

StackedBarChart::Frame StackedBarChart::frame() const {
    const QFontMetricsF fm(font());
    Frame f;
    const QRectF all = QRectF(rect()).adjusted(kMargin, kMargin, -kMargin, -kMargin);
    f.title = QRectF(all.left(), all.top(), all.width(), title_.isEmpty() ? 0 : fm.height() * 1.6);

    double legendWidth = 0;
    for (const QString& s : series_)
        legendWidth = std::max(legendWidth, fm.horizontalAdvance(s));
    if (!series_.isEmpty())
        legendWidth += kSwatch + 6 + kMargin;
    // a narrow chart keeps its bars and leaves the legend out
    if (legendWidth > all.width() / 3)
        legendWidth = 0;
    f.legend = QRectF(all.right() - legendWidth, f.title.bottom(), legendWidth,
                      all.bottom() - f.title.bottom());

    const Axis a = axis();
    const int d = decimalsFor(a.step);
    const double labelWidth =
        std::max(fm.horizontalAdvance(number(a.lo, d)), fm.horizontalAdvance(number(a.hi, d)));
    const double left = all.left() + (valueTitle_.isEmpty() ? 0 : fm.height() + 4) + labelWidth + 6;
    const double bottom =
        all.bottom() - fm.height() - 4 - (categoryTitle_.isEmpty() ? 0 : fm.height() + 2);
    f.plot = QRectF(QPointF(left, f.title.bottom() + fm.height() / 2),
                    QPointF(f.legend.left() - kMargin, bottom));
    return f;
}

double StackedBarChart::y(const QRectF& plot, const Axis& a, double v) const {
    return plot.bottom() - (v - a.lo) / (a.hi - a.lo) * plot.height();
}

QRectF StackedBarChart::segmentRect(int series, int category) const {
    const double v = value(series, category);
    if (v == 0.0)
        return {};
    const Frame f = frame();
    const Axis a = axis();
    const double slot = f.plot.width() / categories_.size();
    const double barWidth = std::min(slot * 0.6, 80.0);
    const double x = f.plot.left() + slot * category + (slot - barWidth) / 2;
    // the segments of one sign below this one
    double base = 0;
    for (int s = 0; s < series; ++s) {
        const double w = value(s, category);
        if ((w > 0) == (v > 0))
            base += w;
    }
    const double y0 = y(f.plot, a, base), y1 = y(f.plot, a, base + v);
    return QRectF(QPointF(x, std::min(y0, y1)), QPointF(x + barWidth, std::max(y0, y1)));
}

std::pair<int, int> StackedBarChart::segmentAt(const QPointF& p) const {
    for (int c = 0; c < categories_.size(); ++c)
        for (int s = 0; s < series_.size(); ++s)
            if (segmentRect(s, c).contains(p))
                return {s, c};
    return {-1, -1};
}

QString StackedBarChart::toolTipAt(const QPointF& p) const {
    const auto [s, c] = segmentAt(p);
    if (s < 0)
        return {};
    double total = 0;
    for (int k = 0; k < series_.size(); ++k)
        total += value(k, c);
    const QString unit = valueTitle_.isEmpty() ? QString() : " " + valueTitle_;
    return QString("%1 %2\n%3: %4%5\nВсего: %6%5")
        .arg(categoryTitle_.section(' ', 0, 0), categories_[c], series_[s],
             number(value(s, c), 2), unit, number(total, 2));
}

bool StackedBarChart::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(e);
        const QString text = toolTipAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(e);
}

void StackedBarChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), palette().base());
    const QFontMetricsF fm(font());
    const Frame f = frame();
    if (f.plot.width() < 10 || f.plot.height() < 10)
        return;
    const Axis a = axis();
    const QColor text = palette().color(QPalette::Text);

    if (!title_.isEmpty()) {
        QFont bold = font();
        bold.setBold(true);
        p.setFont(bold);
        p.setPen(text);
        p.drawText(f.title, Qt::AlignCenter, title_);
        p.setFont(font());
    }

    // the value axis: grid lines and their labels
    const int d = decimalsFor(a.step);
    const int steps = static_cast<int>(std::lround((a.hi - a.lo) / a.step));
    for (int i = 0; i <= steps; ++i) {
        const double v = a.lo + i * a.step;
        const double yy = y(f.plot, a, v);
        p.setPen(QPen(std::abs(v) < a.step / 2 ? text : palette().color(QPalette::Mid), 0));
        p.drawLine(QPointF(f.plot.left(), yy), QPointF(f.plot.right(), yy));
        p.setPen(text);
        p.drawText(QRectF(f.plot.left() - 200 - 6, yy - fm.height() / 2, 200, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, number(std::abs(v) < a.step / 2 ? 0 : v, d));
    }
    p.drawLine(f.plot.bottomLeft(), f.plot.topLeft());
    if (!valueTitle_.isEmpty()) {
        p.save();
        p.translate(kMargin, f.plot.center().y());
        p.rotate(-90);
        p.drawText(QRectF(-f.plot.height() / 2, 0, f.plot.height(), fm.height()), Qt::AlignCenter,
                   valueTitle_);
        p.restore();
    }

    // the bars and the category names under them
    const double slot = categories_.isEmpty() ? 0 : f.plot.width() / categories_.size();
    for (int c = 0; c < categories_.size(); ++c) {
        for (int s = 0; s < series_.size(); ++s) {
            const QRectF r = segmentRect(s, c);
            if (r.isEmpty())
                continue;
            const QColor colour = colours_[static_cast<size_t>(s)];
            p.setPen(QPen(colour.darker(130), 0));
            p.setBrush(colour);
            p.drawRect(r);
        }
        p.setPen(text);
        p.drawText(QRectF(f.plot.left() + slot * c, f.plot.bottom() + 2, slot, fm.height() + 2),
                   Qt::AlignHCenter | Qt::AlignTop, categories_[c]);
    }
    if (!categoryTitle_.isEmpty())
        p.drawText(QRectF(f.plot.left(), f.plot.bottom() + fm.height() + 4, f.plot.width(),
                          fm.height() + 2),
                   Qt::AlignCenter, categoryTitle_);

    // the legend, top down in series order (the bars stack bottom up in the same order)
    if (f.legend.width() > 0) {
        double yy = f.plot.top();
        for (int s = 0; s < series_.size(); ++s) {
            const QRectF swatch(f.legend.left() + kMargin, yy + (fm.height() - kSwatch) / 2, kSwatch,
                                kSwatch);
            p.setPen(QPen(colours_[static_cast<size_t>(s)].darker(130), 0));
            p.setBrush(colours_[static_cast<size_t>(s)]);
            p.drawRect(swatch);
            p.setPen(text);
            p.drawText(QPointF(swatch.right() + 6, yy + fm.ascent()), series_[s]);
            yy += fm.height() + 3;
        }
    }
}

} // namespace vorn
