#include "ChannelIndex.h"
#include "ColumnRuns.h"
#include "DenseCurve.h"
#include "LinePreparer.h"
#include "WorkSharer.h"

#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTest>
#include <qwt_clipper.h>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_scale_map.h>

#include <thread>

namespace {

const QSize canvasSize(600, 200);

// x in whole seconds as the session file has them, several samples a second; y noisy.
void makeRide(QVector<double> &x, QVector<double> &y, int count, int samplesPerSecond,
              double noise, quint32 seed)
{
    QRandomGenerator random(seed);
    x.resize(count);
    y.resize(count);
    double level = 200.0;
    for (int i = 0; i < count; ++i) {
        x[i] = double(i / samplesPerSecond);
        level = qBound(0.0, level + random.bounded(10.0) - 5.0, 600.0);
        y[i] = level + random.bounded(noise);
    }
}

// A noisy ride of 100,000 samples with its index, on a curve with the
// session's pen.
void makeIndexedCurve(DenseCurve &curve, QVector<double> &x, QVector<double> &y,
                      ChannelIndex &index, quint32 seed)
{
    makeRide(x, y, 100000, 10, 300.0, seed);
    index.build(y, nullptr);
    curve.setPen(QPen(QBrush(Qt::blue), 2.0, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    curve.setArrays(&x, &y, &index, true);
}

// The curve on a white canvas, through a painter scaled as printing scales it.
QImage render(const DenseCurve &curve, const QRectF &view, double scale = 1.0)
{
    const QSizeF size = QSizeF(canvasSize) / scale;
    QImage image(canvasSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(scale, scale);
    QwtScaleMap xMap, yMap;
    xMap.setScaleInterval(view.left(), view.right());
    xMap.setPaintInterval(0.0, size.width());
    yMap.setScaleInterval(view.top(), view.bottom());
    yMap.setPaintInterval(size.height(), 0.0);
    curve.draw(&painter, xMap, yMap, QRectF(QPointF(), size));
    return image;
}

// The line a paint by render() would reduce, planned ahead.
std::shared_ptr<DenseCurve::LineAhead> planAhead(const DenseCurve &curve, const QRectF &view)
{
    QImage image(canvasSize, QImage::Format_RGB32);
    QPainter painter(&image);
    QwtScaleMap xMap, yMap;
    xMap.setScaleInterval(view.left(), view.right());
    xMap.setPaintInterval(0.0, canvasSize.width());
    yMap.setScaleInterval(view.top(), view.bottom());
    yMap.setPaintInterval(canvasSize.height(), 0.0);
    return curve.planAhead(&painter, xMap, yMap, QRectF(QPointF(), QSizeF(canvasSize)));
}

// Pixels that differ between the drawing with column reduction and the drawing of
// every sample; when nothing is drawn at all, more than there are pixels.
int differingPixels(DenseCurve &curve, const QRectF &view, double scale = 1.0)
{
    curve.setColumnReduction(true);
    const QImage reduced = render(curve, view, scale);
    curve.setColumnReduction(false);
    const QImage full = render(curve, view, scale);
    int differing = 0, inked = 0;
    for (int row = 0; row < full.height(); ++row) {
        for (int column = 0; column < full.width(); ++column) {
            differing += reduced.pixel(column, row) != full.pixel(column, row);
            inked += full.pixel(column, row) != qRgb(255, 255, 255);
        }
    }
    return inked ? differing : full.width() * full.height() + 1;
}

} // namespace

// A session curve draws from the record's own arrays what drawing every sample would.
class TestDenseCurve : public QObject
{
    Q_OBJECT

private slots:
    void drawsWhatEverySampleWouldDraw_data();
    void drawsWhatEverySampleWouldDraw();
    void breaksLeaveTheGapEmpty_data();
    void breaksLeaveTheGapEmpty();
    void joinsColumnsAsEverySampleWould();
    void sharedRunsFollowEachMap();
    void drawsItsLastLineAgainOnlyForTheSameMaps();
    void followsArraysRefilledInPlace();
    void linesReducedAheadDrawAsEachCurveWould();
    void drawsTheLineReducedAheadUntilItsArraysChange();
    void scalesToTheFiniteSamples();
    void clipsAsTheClipperWould();
};

void TestDenseCurve::drawsWhatEverySampleWouldDraw_data()
{
    QTest::addColumn<double>("noise"); // of a 10 Hz ride of 10000 s
    QTest::addColumn<QRectF>("view");  // x from left to right, y from top to bottom
    QTest::addColumn<int>("backAtSample"); // where x drops back to 0; -1: never
    QTest::addColumn<int>("pauses"); // evenly spread, each 60 s of x without samples
    QTest::addColumn<QPen>("pen");
    QTest::addColumn<double>("scale"); // of the painter: 2 as on paper
    // Differing pixels of the 120000: a tenth of a per mille; more where a dash pattern
    // along crowded columns becomes the solid band the samples leave, where the edges of a
    // pen 3 pixels wide or more fall on pixel centres, or where a sample kept for a device
    // column lies up to a device pixel from those it stands for.
    QTest::addColumn<int>("tolerance");

    const QPen wide(QBrush(Qt::blue), 2.0, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin);
    const QPen dashed(QBrush(Qt::red), 2.0, Qt::DashLine, Qt::SquareCap, Qt::RoundJoin);
    const QPen widest(QBrush(Qt::darkGreen), 5.0, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin);
    const QRectF all(0.0, -100.0, 10000.0, 1100.0);
    QTest::newRow("noisy power, all of the ride in view")
        << 300.0 << all << -1 << 0 << wide << 1.0 << 12;
    QTest::newRow("the same with a hairline pen")
        << 300.0 << all << -1 << 0 << QPen(Qt::black, 0.0) << 1.0 << 12;
    QTest::newRow("the same with the widest pen") << 300.0 << all << -1 << 0 << widest << 1.0 << 720;
    QTest::newRow("up/down percentages dashed") << 30.0 << all << -1 << 0 << dashed << 1.0 << 240;
    QTest::newRow("a smooth channel such as height") << 0.0 << all << -1 << 0 << wide << 1.0 << 12;
    QTest::newRow("zoomed in so far, near the end, that samples are pixels apart")
        << 300.0 << QRectF(9980.5, -100.0, 30.0, 1100.0) << -1 << 0 << wide << 1.0 << 12;
    QTest::newRow("zoomed in y: samples above and below the canvas")
        << 300.0 << QRectF(0.0, 250.0, 10000.0, 100.0) << -1 << 0 << wide << 1.0 << 12;
    QTest::newRow("x running right to left (inverted axis)")
        << 300.0 << QRectF(10000.0, -100.0, -10000.0, 1100.0) << -1 << 0 << wide << 1.0 << 12;
    QTest::newRow("a time that falls back to 0 after 6000 s, zoomed to the start")
        << 300.0 << QRectF(0.0, -100.0, 1000.0, 1100.0) << 60000 << 0 << wide << 1.0 << 12;
    QTest::newRow("printed, through a painter scaled by 2")
        << 300.0 << all << -1 << 0 << wide << 2.0 << 1200;
    const QRectF paused(0.0, -100.0, 12400.0, 1100.0);
    QTest::newRow("forty pauses, all of the ride in view")
        << 300.0 << paused << -1 << 40 << wide << 1.0 << 12;
    QTest::newRow("forty pauses dashed") << 30.0 << paused << -1 << 40 << dashed << 1.0 << 240;
    QTest::newRow("forty pauses, zoomed in to a few of them")
        << 300.0 << QRectF(1800.0, -100.0, 2000.0, 1100.0) << -1 << 40 << wide << 1.0 << 12;
    QTest::newRow("a pause after every tenth sample")
        << 300.0 << QRectF(0.0, -100.0, 610000.0, 1100.0) << -1 << 9999 << wide << 1.0 << 12;
}

void TestDenseCurve::drawsWhatEverySampleWouldDraw()
{
    QFETCH(double, noise);
    QFETCH(QRectF, view);
    QFETCH(int, backAtSample);
    QFETCH(int, pauses);
    QFETCH(QPen, pen);
    QFETCH(double, scale);
    QFETCH(int, tolerance);

    QVector<double> x, y;
    makeRide(x, y, 100000, 10, noise, 7);
    for (int i = backAtSample < 0 ? x.size() : backAtSample; i < x.size(); ++i)
        x[i] = double((i - backAtSample) / 10);
    QVector<int> breaks;
    for (int k = 1; k <= pauses; ++k)
        breaks.append(k * x.size() / (pauses + 1));
    for (int i = 0, passed = 0; i < x.size(); ++i) {
        passed += passed < breaks.size() && breaks[passed] == i;
        x[i] += 60.0 * passed;
    }
    DenseCurve curve;
    curve.setPen(pen);
    curve.setBreaks(breaks);
    // Without an index of y, and with one, as the ride's channels have.
    ChannelIndex index;
    index.build(y, nullptr);
    const ChannelIndex *const indexes[] = {nullptr, &index};
    for (const ChannelIndex *yIndex : indexes) {
        curve.setArrays(&x, &y, yIndex);
        const int differing = differingPixels(curve, view, scale);
        QVERIFY2(differing <= tolerance,
                 qPrintable(QString::number(differing) + (yIndex ? " indexed" : "")));
    }
}

void TestDenseCurve::breaksLeaveTheGapEmpty_data()
{
    QTest::addColumn<bool>("reduction");
    QTest::addColumn<int>("samplesPerSecond");
    QTest::addRow("every sample, 1 Hz") << false << 1;
    QTest::addRow("reduced, 1 Hz") << true << 1;
    QTest::addRow("reduced, 10 Hz, crowded columns") << true << 10;
}

// A ride that stops from 100 s to 500 s: with the break, the canvas over the
// pause stays blank; without it, a line crosses it.
void TestDenseCurve::breaksLeaveTheGapEmpty()
{
    QFETCH(bool, reduction);
    QFETCH(int, samplesPerSecond);
    QVector<double> x, y;
    makeRide(x, y, 200 * samplesPerSecond, samplesPerSecond, 50.0, 3);
    const int resumption = 100 * samplesPerSecond;
    for (int i = resumption; i < x.size(); ++i)
        x[i] += 400.0;
    DenseCurve curve;
    curve.setColumnReduction(reduction);
    curve.setArrays(&x, &y);
    const QRectF view(0.0, -100.0, 600.0, 800.0);
    const QRect pause(200, 0, 201, canvasSize.height()); // 200 s to 400 s
    const QImage blank = render(DenseCurve(), view).copy(pause);
    QVERIFY(render(curve, view).copy(pause) != blank);
    curve.setBreaks({resumption});
    QCOMPARE(render(curve, view).copy(pause), blank);
}

// Ten samples to a pixel column, each column's in a band of a few rows that
// wanders up and down: the lines between columns are sometimes covered by
// the columns' own strokes and sometimes not, by a row or two.
void TestDenseCurve::joinsColumnsAsEverySampleWould()
{
    QVector<double> x, y;
    QRandomGenerator random(11);
    double level = 100.0;
    for (int column = 0; column < canvasSize.width(); ++column) {
        level = qBound(20.0, level + random.bounded(7.0) - 3.5, 180.0);
        const double spread = random.bounded(6.0);
        for (int k = 0; k < 10; ++k) {
            x.append(column + k / 10.0 - 0.45);
            y.append(level + random.bounded(spread + 0.01));
        }
    }
    DenseCurve curve;
    curve.setPen(QPen(QBrush(Qt::blue), 2.0, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    curve.setArrays(&x, &y);
    QCOMPARE(differingPixels(curve, QRectF(0.0, 0.0, canvasSize.width(), canvasSize.height())), 0);
}

// Curves that share where their samples change column, drawn by turns with
// two different maps, each draw what a curve of their own draws.
void TestDenseCurve::sharedRunsFollowEachMap()
{
    QVector<double> x, y[2];
    makeRide(x, y[0], 100000, 10, 300.0, 5);
    makeRide(x, y[1], 100000, 10, 100.0, 6);
    const auto runs = std::make_shared<ColumnRuns>();
    DenseCurve shared[2];
    for (int i = 0; i < 2; ++i) {
        shared[i].setArrays(&x, &y[i]);
        shared[i].shareColumnRuns(runs);
    }
    const QRectF views[] = {QRectF(0.0, -100.0, 10000.0, 1100.0),
                            QRectF(2500.0, -100.0, 5000.0, 1100.0)};
    for (int turn = 0; turn < 4; ++turn) {
        const QRectF &view = views[turn % 2];
        for (int i = 0; i < 2; ++i) {
            DenseCurve alone;
            alone.setArrays(&x, &y[i]);
            QCOMPARE(render(shared[i], view), render(alone, view));
        }
    }
}

// A curve drawn again with what it was drawn for reuses its reduced line;
// with another y map, other breaks or other values, it draws them.
void TestDenseCurve::drawsItsLastLineAgainOnlyForTheSameMaps()
{
    QVector<double> x, y;
    ChannelIndex index;
    DenseCurve curve;
    makeIndexedCurve(curve, x, y, index, 8);
    auto drawnAlone = [&](const QRectF &view, const QVector<int> &breaks) {
        DenseCurve alone;
        alone.setPen(curve.pen());
        alone.setArrays(&x, &y, &index, true);
        alone.setBreaks(breaks);
        return render(alone, view);
    };
    const QRectF view(0.0, -100.0, 10000.0, 1100.0), lower(0.0, 100.0, 10000.0, 400.0);
    QCOMPARE(render(curve, view), drawnAlone(view, {}));
    QCOMPARE(render(curve, view), drawnAlone(view, {}));
    QCOMPARE(render(curve, lower), drawnAlone(lower, {}));
    curve.setBreaks({50000});
    QCOMPARE(render(curve, lower), drawnAlone(lower, {50000}));
    curve.setBreaks({});
    for (double &value : y)
        value = 600.0 - value;
    index.build(y, nullptr);
    curve.setArrays(&x, &y, &index, true);
    QCOMPARE(render(curve, lower), drawnAlone(lower, {}));
}

// A second read empties the record's arrays and fills them with another ride,
// this one with its clock going back half way; the curve follows.
void TestDenseCurve::followsArraysRefilledInPlace()
{
    QVector<double> x, y;
    DenseCurve curve;
    curve.setPen(QPen(QBrush(Qt::blue), 2.0, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    curve.setArrays(&x, &y);
    const QRectF view(0.0, -100.0, 1000.0, 1100.0);
    QCOMPARE(differingPixels(curve, view), 120001);
    makeRide(x, y, 50000, 10, 300.0, 1);
    QVERIFY(differingPixels(curve, view) <= 12);
    x.clear();
    y.clear();
    makeRide(x, y, 20000, 4, 300.0, 2);
    for (int i = 10000; i < x.size(); ++i)
        x[i] -= 2500.0;
    QCOMPARE(curve.dataSize(), size_t(20000));
    QCOMPARE(curve.sample(19999), QPointF(2499.0, y.last()));
    QVERIFY(differingPixels(curve, view) <= 12);
}

// Plots whose curves' lines are reduced on two threads before they are
// drawn, the lines of both by whichever paints first, paint what the same
// plots without paint, zoomed in and out, with a curve on the right axis
// and a curve hidden; the lines reduced ahead are those the curves then
// draw.
void TestDenseCurve::linesReducedAheadDrawAsEachCurveWould()
{
    QVector<double> x, y[3];
    ChannelIndex index[3];
    for (int i = 0; i < 3; ++i) {
        makeRide(x, y[i], 200000, 10, 100.0 * (i + 1), quint32(20 + i));
        index[i].build(y[i], nullptr);
    }
    const auto runs = std::make_shared<ColumnRuns>();
    // Two plots of different heights that reduce their lines together, and
    // the same two that reduce their own as each curve is drawn.
    QwtPlot plots[4];
    std::vector<DenseCurve *> curves[4];
    for (int p = 0; p < 4; ++p) {
        plots[p].resize(700, p % 2 ? 260 : 300);
        plots[p].enableAxis(QwtPlot::yRight);
        for (int i = 0; i < 3; ++i) {
            auto *curve = new DenseCurve;
            curve->setPen(QPen(QBrush(QColor::fromHsv(100 * i, 255, 200)), i + 1.0, Qt::SolidLine,
                               Qt::SquareCap, Qt::RoundJoin));
            curve->setArrays(&x, &y[i], &index[i], true);
            curve->setBreaks({70000 + i});
            if (p == 0)
                curve->shareColumnRuns(runs);
            curve->setYAxis(i == 2 ? QwtPlot::yRight : QwtPlot::yLeft);
            curve->attach(&plots[p]);
            curves[p].push_back(curve);
        }
    }
    const auto sharer = std::make_shared<WorkSharer>();
    const auto together = std::make_shared<LinePreparer::Plots>(LinePreparer::Plots{&plots[0], &plots[1]});
    (new LinePreparer(sharer, together))->attach(&plots[0]);
    (new LinePreparer(sharer, together))->attach(&plots[1]);
    for (QwtPlot &plot : plots) {
        plot.setAxisScale(QwtPlot::yLeft, -100.0, 900.0);
        plot.setAxisScale(QwtPlot::yRight, 0.0, 1000.0);
        plot.show();
    }
    const QPair<double, double> views[] = {{0.0, 20000.0}, {5000.0, 9000.0}, {0.0, 20000.0},
                                           {6999.5, 7013.0}};
    for (int turn = 0; turn < 5; ++turn) {
        const auto view = views[turn % 4];
        for (auto &plotCurves : curves)
            plotCurves[1]->setVisible(turn != 2);
        for (QwtPlot &plot : plots) {
            plot.setAxisScale(QwtPlot::xBottom, view.first, view.second);
            plot.replot();
        }
        QCOMPARE(plots[0].canvas()->grab().toImage(), plots[2].canvas()->grab().toImage());
        QCOMPARE(plots[1].canvas()->grab().toImage(), plots[3].canvas()->grab().toImage());
    }

    // Reduced ahead by the first plot's paint, or after a zoom before any
    // paint: the curves shown on both plots have nothing left to reduce,
    // the ones hidden have.
    QImage image(plots[0].canvas()->size(), QImage::Format_RGB32);
    QPainter painter(&image);
    const QwtPlotItemList preparers = plots[0].itemList(QwtPlotItem::Rtti_PlotUserItem + 1);
    QCOMPARE(preparers.size(), 1);
    const auto *preparer = static_cast<const LinePreparer *>(preparers[0]);
    for (double right : {3000.0, 4000.0}) {
        for (int p = 0; p < 2; ++p) {
            plots[p].setAxisScale(QwtPlot::xBottom, 1000.0, right);
            plots[p].updateAxes();
        }
        if (right == 3000.0)
            preparer->draw(&painter, plots[0].canvasMap(QwtPlot::xBottom),
                           plots[0].canvasMap(QwtPlot::yLeft), plots[0].canvas()->contentsRect());
        else
            preparer->prepareNow();
        for (int p = 0; p < 2; ++p) {
            for (DenseCurve *curve : curves[p]) {
                const bool planned
                    = curve->planAhead(&painter, plots[p].canvasMap(QwtPlot::xBottom),
                                       plots[p].canvasMap(curve->yAxis()),
                                       plots[p].canvas()->contentsRect())
                      != nullptr;
                QCOMPARE(planned, !curve->isVisible());
            }
        }
    }
}

// A line reduced ahead on another thread is the one the next paint with
// its maps draws, not reduced again; a curve that changes arrays or breaks,
// or plans again for other maps, lets it go unreduced.
void TestDenseCurve::drawsTheLineReducedAheadUntilItsArraysChange()
{
    QVector<double> x, y;
    ChannelIndex index;
    DenseCurve curve;
    makeIndexedCurve(curve, x, y, index, 9);
    const QRectF view(0.0, -100.0, 10000.0, 1100.0), other(2000.0, -100.0, 4000.0, 1100.0);
    const QImage before = render(curve, other);
    DenseCurve alone;
    alone.setPen(curve.pen());
    alone.setArrays(&x, &y, &index, true);
    const QImage reducedAhead = render(alone, view);

    auto line = planAhead(curve, view);
    QVERIFY(line);
    QVERIFY(!planAhead(curve, view)); // planned already
    std::thread([line] { QVERIFY(line->reduce()); }).join();
    QVERIFY(!line->reduce()); // done
    // Values changed in place behind the curve's back, the ends kept: the
    // paint draws the line reduced before, once told, the new values.
    for (int i = 1; i + 1 < y.size(); ++i)
        y[i] = 100.0;
    index.build(y, nullptr);
    QCOMPARE(render(curve, view), reducedAhead);
    curve.setArrays(&x, &y, &index, true);
    QVERIFY(render(curve, view) != reducedAhead);

    // Let go of, never reduced, whatever comes first.
    line = planAhead(curve, other);
    curve.setBreaks({5000});
    QVERIFY(!line->reduce());
    line = planAhead(curve, other);
    curve.setArrays(&x, &y, &index, true);
    QVERIFY(!line->reduce());
    line = planAhead(curve, other);
    QVERIFY(planAhead(curve, view));
    QVERIFY(!line->reduce());
    makeRide(x, y, 100000, 10, 300.0, 9);
    index.build(y, nullptr);
    curve.setArrays(&x, &y, &index, true);
    curve.setBreaks({});
    QCOMPARE(render(curve, other), before);
}

void TestDenseCurve::scalesToTheFiniteSamples()
{
    QVector<double> x{0.0, 1.0, 2.0, qInf(), 4.0, 5.0}, y{5.0, -qInf(), 7.0, 1.0, qQNaN(), 6.0};
    DenseCurve curve;
    curve.setArrays(&x, &y);
    QCOMPARE(curve.boundingRect(), QRectF(0.0, 5.0, 5.0, 2.0));

    // With x in order and an index of y, the index gives the same bounds.
    QVector<double> ordered(40), values(40);
    for (int i = 0; i < 40; ++i) {
        ordered[i] = i;
        values[i] = i % 7 == 3 ? qQNaN() : i == 20 ? -qInf() : 50.0 + (i * 37 % 11);
    }
    ChannelIndex index;
    index.build(values, nullptr);
    curve.setArrays(&ordered, &values, &index, true);
    QCOMPARE(curve.boundingRect(), QRectF(0.0, 50.0, 39.0, 10.0));
}

void TestDenseCurve::clipsAsTheClipperWould()
{
    // Lines that run through the rectangle, most of them leaving it only
    // at their ends (by a few points, across a corner or onto an edge),
    // some also in between, some never inside, and the shortest ones.
    const QRectF rect(-2.0, -2.0, 604.0, 204.0);
    QRandomGenerator random(3);
    auto coordinate = [&random](double low, double high) {
        const double v = low + random.bounded(high - low);
        return random.bounded(4) == 0 ? std::round(v) : v; // whole ones fall on edges
    };
    for (int round = 0; round < 2000; ++round) {
        const int count = round < 40 ? round % 5 : 4 + int(random.bounded(60));
        QPolygonF line;
        for (int i = 0; i < count; ++i)
            line.append(QPointF(coordinate(-2.0, 602.0), coordinate(-2.0, 202.0)));
        const int outsideAtEnds = int(random.bounded(4));
        for (int k = 0; k < outsideAtEnds && line.size() >= 2; ++k) {
            line.first() = QPointF(coordinate(-30.0, -2.0), coordinate(-30.0, 230.0));
            line.last() = QPointF(coordinate(602.0, 630.0), coordinate(-30.0, 230.0));
            line.prepend(QPointF(coordinate(-30.0, -2.0), coordinate(-30.0, 230.0)));
            line.append(QPointF(coordinate(602.0, 630.0), coordinate(-30.0, 230.0)));
        }
        if (round % 7 == 0 && line.size() > 6)
            line[line.size() / 2].ry() = round % 2 ? -10.0 : 210.0; // out in between
        if (round % 11 == 0)
            line.translate(0.0, 400.0); // never inside
        QCOMPARE(DenseCurve::clipLine(rect, line), QwtClipper::clipPolygonF(rect, line, false));
    }
}

QTEST_MAIN(TestDenseCurve)
#include "tst_densecurve.moc"
