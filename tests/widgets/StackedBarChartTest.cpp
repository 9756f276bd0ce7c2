// The project window's chart: round axis steps, segments stacked on one another (negative
// ones below zero), the segment under the mouse named in the tooltip, and values that are
// not numbers drawn as nothing rather than breaking the scale.
#include "desktop/widgets/StackedBarChart.h"

#include <QTest>
#include <cmath>
#include <limits>

using namespace vorn;

class StackedBarChartTest : public QObject {
    Q_OBJECT

private slots:
    // numbers as the window writes them
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }

    void niceAxis_data() {
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::addColumn<double>("lo");
        QTest::addColumn<double>("hi");
        QTest::addColumn<double>("step");
        QTest::newRow("nothing") << 0.0 << 0.0 << 0.0 << 1.0 << 0.2;
        QTest::newRow("round top kept") << 0.0 << 10.0 << 0.0 << 10.0 << 2.0;
        QTest::newRow("top rounded up") << 0.0 << 9.3 << 0.0 << 10.0 << 2.0;
        QTest::newRow("quarter steps") << 0.0 << 1.23 << 0.0 << 1.25 << 0.25;
        QTest::newRow("below zero") << -3.0 << 7.0 << -4.0 << 8.0 << 2.0;
        QTest::newRow("only negative") << -0.4 << -0.1 << -0.4 << 0.0 << 0.1;
        QTest::newRow("not a number") << std::nan("") << 5.0 << 0.0 << 1.0 << 0.2;
    }
    void niceAxis() {
        QFETCH(double, min);
        QFETCH(double, max);
        const StackedBarChart::Axis a = StackedBarChart::niceAxis(min, max);
        QFETCH(double, lo);
        QFETCH(double, hi);
        QFETCH(double, step);
        QVERIFY2(std::fabs(a.lo - lo) < 1e-9 && std::fabs(a.hi - hi) < 1e-9 &&
                     std::fabs(a.step - step) < 1e-9,
                 qPrintable(QString("%1 .. %2 by %3").arg(a.lo).arg(a.hi).arg(a.step)));
    }

    void segmentsStackAndNameThemselves() {
        StackedBarChart chart;
        chart.resize(500, 320);
        chart.setTitle("Теплопритоки камер, кВт");
        chart.setAxisTitles("Камера (номер строки)", "кВт");
        chart.setSeries({"Qстен", "Qвен", "Qинф"}, {Qt::blue, Qt::red, Qt::green});
        const double nan = std::numeric_limits<double>::quiet_NaN();
        chart.setData({"1", "2"}, {{1.0, 2.0}, {2.0, -0.5}, {nan, 1.5}});

        const QRectF first = chart.segmentRect(0, 0), second = chart.segmentRect(1, 0);
        QVERIFY(!first.isEmpty() && !second.isEmpty());
        QCOMPARE(second.bottom(), first.top()); // stacked, not side by side
        QCOMPARE(second.height(), 2 * first.height());
        // the negative segment hangs below the zero line the positive ones stand on
        QCOMPARE(chart.segmentRect(1, 1).top(), chart.segmentRect(0, 1).bottom());
        // a value that is not a number is nothing
        QCOMPARE(chart.value(2, 0), 0.0);
        QVERIFY(chart.segmentRect(2, 0).isEmpty());

        QCOMPARE(chart.segmentAt(second.center()), std::make_pair(1, 0));
        QCOMPARE(chart.segmentAt(QPointF(1, 1)), std::make_pair(-1, -1));
        QCOMPARE(chart.toolTipAt(second.center()),
                 QString("Камера 1\nQвен: 2,00 кВт\nВсего: 3,00 кВт"));
        QVERIFY(chart.toolTipAt(QPointF(1, 1)).isEmpty());

        // painted at any size, with data and without, and without a legend when narrow
        for (const QSize size : {QSize(500, 320), QSize(120, 80), QSize(0, 0)}) {
            chart.resize(size);
            chart.grab();
        }
        chart.setSeries({}, {});
        chart.resize(500, 320);
        chart.grab();
    }
};

QTEST_MAIN(StackedBarChartTest)
#include "StackedBarChartTest.moc"
