// The x axis at every plot width: labels that keep apart, never repeat and
// fall on round values of what they show.
#include "SpaceScaleDraw.h"
#include "TimeScaleDraw.h"
#include "XScaleEngine.h"

#include <QTest>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_scale_widget.h>
#include <qwt_text.h>

#include <cmath>

class tst_XScaleEngine : public QObject
{
    Q_OBJECT

private slots:
    void labels_data();
    void labels();
};

void tst_XScaleEngine::labels_data()
{
    QTest::addColumn<int>("width"); // of the plot, pixels
    QTest::addColumn<int>("mode");  // 0 time from the start, 1 clock time from 10:30:15, 2 km, 3 m
    QTest::addColumn<double>("range"); // seconds or kilometres
    // The axis font grows by this after a first division in the old font.
    QTest::addColumn<double>("fontGrowth");

    const struct {
        const char *name;
        int mode;
        double range;
    } ranges[] = {{"5 s", 0, 5},           {"90 s on the clock", 1, 90}, {"1 h", 0, 3600},
                  {"1 h on the clock", 1, 3600}, {"26 h", 0, 26 * 3600},  {"26 h on the clock", 1, 26 * 3600},
                  {"0.2 km", 2, 0.2},      {"80 km", 2, 80},             {"80 km in metres", 3, 80}};
    for (int width : {300, 560, 800, 1600}) {
        for (const auto &range : ranges)
            QTest::addRow("%s, %d px", range.name, width) << width << range.mode << range.range << 1.0;
    }
    // Not over 5 s: labels twice the size overhang the canvas at the ends,
    // and the scale between the end labels' overhangs, which the labels are
    // spaced on, is then shorter than the canvas the engine divides for.
    for (const auto &range : ranges) {
        if (range.range != 5)
            QTest::addRow("%s, 800 px, font grown", range.name)
                << 800 << range.mode << range.range << 2.0;
    }
}

void tst_XScaleEngine::labels()
{
    QFETCH(int, width);
    QFETCH(int, mode);
    QFETCH(double, range);
    QFETCH(double, fontGrowth);
    QwtPlot plot;
    plot.resize(width, 200);
    const double start = mode == 1 ? 10 * 3600 + 30 * 60 + 15 : 0.0; // what a label adds
    if (mode < 2)
        plot.setAxisScaleDraw(QwtPlot::xBottom,
                              new TimeScaleDraw(QTime(0, 0).addSecs(int(start)), "hh:mm:ss",
                                                mode == 0 ? TimeScaleDraw::Elapsed
                                                          : TimeScaleDraw::TimeOfDay));
    else
        plot.setAxisScaleDraw(QwtPlot::xBottom, new SpaceScaleDraw(1523.4, mode == 3 ? 1000 : 1));
    plot.setAxisScaleEngine(QwtPlot::xBottom, new XScaleEngine(&plot));
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    plot.setAxisScale(QwtPlot::xBottom, 0.0, range);
    plot.replot();
    if (fontGrowth != 1.0) {
        QFont grown = plot.axisWidget(QwtPlot::xBottom)->font();
        grown.setPointSizeF(grown.pointSizeF() * fontGrowth);
        plot.setAxisFont(QwtPlot::xBottom, grown);
        // Twice: the first division is made for the canvas as wide as it
        // was, before the layout makes room for the larger end labels.
        for (int i = 0; i < 2; ++i) {
            plot.setAxisScale(QwtPlot::xBottom, 0.0, range);
            plot.replot();
        }
    }

    const QwtScaleDiv &division = plot.axisScaleDiv(QwtPlot::xBottom);
    QCOMPARE(division.interval(), QwtInterval(0.0, range));
    const QList<double> ticks = division.ticks(QwtScaleDiv::MajorTick);
    QVERIFY2(ticks.size() >= 2 && ticks.size() <= 11, qPrintable(QString::number(ticks.size())));

    // Round steps of what the labels show: the clock, or the odometer in the unit.
    const double step = ticks[1] - ticks[0];
    const double shown = mode == 3 ? 1000 * step : step;
    const double offset = mode < 2 ? start : mode == 2 ? 1523.4 : 1523400.0;
    if (mode < 2) {
        QVERIFY2(QList<double>({1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1800, 3600, 7200,
                                10800, 21600, 43200})
                     .contains(step),
                 qPrintable(QString::number(step)));
    } else {
        const double mantissa = shown / std::pow(10.0, std::floor(std::log10(shown) + 1e-9));
        QVERIFY2(std::fabs(mantissa - 1) < 1e-6 || std::fabs(mantissa - 2) < 1e-6
                     || std::fabs(mantissa - 5) < 1e-6,
                 qPrintable(QString::number(shown)));
    }

    const QFontMetricsF metrics(plot.axisWidget(QwtPlot::xBottom)->font());
    const QwtScaleMap map = plot.canvasMap(QwtPlot::xBottom);
    double previousRight = -HUGE_VAL;
    QString previous;
    for (int i = 0; i < ticks.size(); ++i) {
        const double labelled = (mode == 3 ? 1000 : 1) * ticks[i] + offset;
        QVERIFY2(std::fabs(labelled / shown - std::round(labelled / shown)) < 1e-6,
                 qPrintable(QString::number(labelled, 'f', 6)));
        QVERIFY(i == 0 || std::fabs(ticks[i] - ticks[i - 1] - step) < 1e-9 * std::max(1.0, step));
        const QString text = plot.axisScaleDraw(QwtPlot::xBottom)->label(ticks[i]).text();
        const double half = metrics.horizontalAdvance(text) / 2;
        const double centre = map.transform(ticks[i]);
        QVERIFY2(centre - half >= previousRight + metrics.horizontalAdvance('0'),
                 qPrintable(previous + " runs into " + text));
        QVERIFY(text != previous);
        previousRight = centre + half;
        previous = text;
    }
}

QTEST_MAIN(tst_XScaleEngine)
#include "tst_xscaleengine.moc"
