#pragma once
// A stacked bar chart drawn with QPainter: a value axis with round steps and grid lines, one
// bar per category made of one segment per series (positive values stacked up from zero,
// negative ones down), the category names under the bars, a legend on the right and a
// tooltip naming the segment under the mouse (the category by the first word of the category
// axis title: "Камера 2").
#include <QColor>
#include <QRectF>
#include <QStringList>
#include <QWidget>
#include <vector>

namespace vorn {

class StackedBarChart : public QWidget {
    Q_OBJECT
public:
    explicit StackedBarChart(QWidget* parent = nullptr);

    void setTitle(const QString& title);
    void setAxisTitles(const QString& categories, const QString& values);
    // The series in legend order, each with its colour; drops the values.
    void setSeries(const QStringList& names, const std::vector<QColor>& colours);
    // values[s][c]: series s of category c. A value that is not finite is drawn as zero.
    void setData(const QStringList& categories, const std::vector<std::vector<double>>& values);

    const QStringList& seriesNames() const { return series_; }
    const QStringList& categories() const { return categories_; }
    double value(int series, int category) const;

    // A value axis from lo to hi in steps of step, holding min and max (and zero).
    struct Axis {
        double lo = 0, hi = 1, step = 0.2;
    };
    static Axis niceAxis(double min, double max);

    // Where the segment of series s of category c lies (empty when it is zero) and the
    // segment at a point of the widget (-1, -1 when none).
    QRectF segmentRect(int series, int category) const;
    std::pair<int, int> segmentAt(const QPointF& p) const;
    QString toolTipAt(const QPointF& p) const;

    QSize sizeHint() const override { return {440, 320}; }
    QSize minimumSizeHint() const override { return {240, 180}; }

protected:
    void paintEvent(QPaintEvent* e) override;
    bool event(QEvent* e) override;

private:
    struct Frame {
        QRectF plot, legend, title;
    };
    Frame frame() const;
    Axis axis() const;
    double y(const QRectF& plot, const Axis& a, double v) const;

    QString title_, categoryTitle_, valueTitle_;
    QStringList series_, categories_;
    std::vector<QColor> colours_;
    std::vector<std::vector<double>> values_; // [series][category], finite
};

} // namespace vorn
