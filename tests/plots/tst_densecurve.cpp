#include "DenseCurve.h"

#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTest>
#include <qwt_scale_map.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const QSize canvasSize(600, 200);

// A ride's worth of samples: x in seconds with samplesPerSecond equal
// values per second (the session file has whole seconds), y a noisy level.
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

QImage render(const DenseCurve &curve, const QwtScaleMap &xMap, const QwtScaleMap &yMap)
{
    QImage image(canvasSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    curve.draw(&painter, xMap, yMap, QRectF(QPointF(0.0, 0.0), canvasSize));
    return image;
}

int differingPixels(const QImage &a, const QImage &b)
{
    int count = 0;
    for (int row = 0; row < a.height(); ++row) {
        const auto *lineA = reinterpret_cast<const QRgb *>(a.constScanLine(row));
        const auto *lineB = reinterpret_cast<const QRgb *>(b.constScanLine(row));
        for (int column = 0; column < a.width(); ++column)
            count += lineA[column] != lineB[column];
    }
    return count;
}

int inkedPixels(const QImage &image)
{
    int count = 0;
    for (int row = 0; row < image.height(); ++row) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(row));
        for (int column = 0; column < image.width(); ++column)
            count += line[column] != qRgb(255, 255, 255);
    }
    return count;
}

QwtScaleMap map(double s1, double s2, double p1, double p2)
{
    QwtScaleMap m;
    m.setScaleInterval(s1, s2);
    m.setPaintInterval(p1, p2);
    return m;
}

} // namespace

// The curve of a session channel draws from the record's own arrays, and
// draws the same picture as plotting every sample would.
class TestDenseCurve : public QObject
{
    Q_OBJECT

private slots:
    void drawsWhatEverySampleWouldDraw_data();
    void drawsWhatEverySampleWouldDraw();
    void readsTheArraysInPlace();
    void followsArraysRefilledInPlace();
    void emptyAndMissingArraysDrawNothing();
    void leavesOutValuesThatAreNotFinite();
};

void TestDenseCurve::drawsWhatEverySampleWouldDraw_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("samplesPerSecond");
    QTest::addColumn<double>("noise");
    QTest::addColumn<double>("xFrom");
    QTest::addColumn<double>("xTo");
    QTest::addColumn<double>("yFrom");
    QTest::addColumn<double>("yTo");
    QTest::addColumn<int>("backAtSample"); // where x drops back to 0; -1: never
    QTest::addColumn<QPen>("pen");
    QTest::addColumn<bool>("inked"); // whether anything is drawn at all
    // Differing pixels per 10000. Where the reduced line is drawn exactly
    // as every sample would draw it, 1; a few more where the join of a
    // zoomed smooth line is stroked differently (a hairline, or separate
    // segments), and where a dash pattern along crowded columns becomes
    // the solid band the samples leave.
    QTest::addColumn<int>("tolerance");

    const QPen wide(QBrush(Qt::blue, Qt::SolidPattern), 2.0, Qt::SolidLine, Qt::SquareCap,
                    Qt::RoundJoin);
    const QPen thin(QColor(Qt::black), 0.0);
    const QPen dashed(QBrush(Qt::red, Qt::SolidPattern), 2.0, Qt::DashLine, Qt::SquareCap,
                      Qt::RoundJoin);

    QTest::newRow("a 10 Hz ride of noisy power, all of it in view")
        << 100000 << 10 << 300.0 << 0.0 << 10000.0 << -100.0 << 1000.0 << -1 << wide << true << 1;
    QTest::newRow("the same with a hairline pen")
        << 100000 << 10 << 300.0 << 0.0 << 10000.0 << -100.0 << 1000.0 << -1 << thin << true << 1;
    QTest::newRow("up/down percentages dashed, all of the ride in view")
        << 100000 << 10 << 30.0 << 0.0 << 10000.0 << -100.0 << 1000.0 << -1 << dashed << true << 20;
    QTest::newRow("dashed at 1 Hz and 2 samples per column")
        << 100000 << 1 << 30.0 << 20000.0 << 21200.0 << -100.0 << 1000.0 << -1 << dashed << true << 1;
    QTest::newRow("zoomed into the middle of the ride")
        << 100000 << 10 << 300.0 << 3500.0 << 4500.0 << -100.0 << 1000.0 << -1 << wide << true << 1;
    QTest::newRow("zoomed so far in that samples are pixels apart")
        << 100000 << 10 << 300.0 << 5000.5 << 5030.5 << -100.0 << 1000.0 << -1 << wide << true << 1;
    QTest::newRow("zoomed in y: samples above and below the canvas")
        << 100000 << 10 << 300.0 << 0.0 << 10000.0 << 250.0 << 350.0 << -1 << wide << true << 1;
    QTest::newRow("view beyond the end of the ride")
        << 100000 << 10 << 300.0 << 9500.0 << 12500.0 << -100.0 << 1000.0 << -1 << wide << true << 1;
    QTest::newRow("a 1 Hz ride with fewer samples than columns")
        << 400 << 1 << 300.0 << 0.0 << 400.0 << -100.0 << 1000.0 << -1 << wide << true << 1;
    QTest::newRow("a time that falls back to 0 in the middle of the ride")
        << 100000 << 10 << 300.0 << 0.0 << 10000.0 << -100.0 << 1000.0 << 60000 << wide << true << 1;
    QTest::newRow("x running right to left (inverted axis)")
        << 100000 << 10 << 300.0 << 10000.0 << 0.0 << -100.0 << 1000.0 << -1 << wide << true << 1;
    QTest::newRow("a smooth channel such as height")
        << 100000 << 10 << 0.0 << 0.0 << 10000.0 << -100.0 << 1000.0 << -1 << wide << true << 1;
    // Pens from a hairline to the widest the options offer. From 3 pixels
    // on, the edges of a stroke fall on pixel centres, and every turn of
    // a line drawn through all samples may light one more pixel there.
    for (double width : {1.0, 1.5, 2.0, 2.5, 3.0, 5.0}) {
        const int tolerance = width >= 3.0 ? 60 : 1;
        const QPen pen(QBrush(Qt::darkGreen, Qt::SolidPattern), width, Qt::SolidLine, Qt::SquareCap,
                       Qt::RoundJoin);
        QTest::addRow("noisy power with a pen %g wide", width)
            << 100000 << 10 << 300.0 << 0.0 << 10000.0 << -100.0 << 1000.0 << -1 << pen << true
            << tolerance;
        QTest::addRow("a smooth channel with a pen %g wide", width)
            << 100000 << 10 << 0.0 << 0.0 << 10000.0 << -100.0 << 1000.0 << -1 << pen << true
            << tolerance;
        QTest::addRow("a smooth channel, zoomed, with a pen %g wide", width)
            << 100000 << 10 << 0.0 << 2500.0 << 3000.0 << -100.0 << 1000.0 << -1 << pen << true
            << std::max(5, tolerance);
    }
    QTest::newRow("a single sample") << 1 << 1 << 0.0 << -1.0 << 1.0 << -100.0 << 1000.0 << -1 << wide << false << 1;
    QTest::newRow("two samples") << 2 << 1 << 300.0 << 0.0 << 1.0 << -100.0 << 1000.0 << -1 << wide << true << 1;
}

void TestDenseCurve::drawsWhatEverySampleWouldDraw()
{
    QFETCH(int, count);
    QFETCH(int, samplesPerSecond);
    QFETCH(double, noise);
    QFETCH(double, xFrom);
    QFETCH(double, xTo);
    QFETCH(double, yFrom);
    QFETCH(double, yTo);
    QFETCH(int, backAtSample);
    QFETCH(QPen, pen);
    QFETCH(bool, inked);
    QFETCH(int, tolerance);

    QVector<double> x, y;
    makeRide(x, y, count, samplesPerSecond, noise, 7);
    if (backAtSample >= 0) {
        for (int i = backAtSample; i < count; ++i)
            x[i] = double((i - backAtSample) / samplesPerSecond);
    }
    DenseCurve curve;
    curve.setPen(pen);
    curve.setArrays(&x, &y);

    const QwtScaleMap xMap = map(xFrom, xTo, 0.0, canvasSize.width());
    const QwtScaleMap yMap = map(yFrom, yTo, canvasSize.height(), 0.0);
    QVERIFY(curve.columnReduction());
    const QImage reduced = render(curve, xMap, yMap);
    curve.setColumnReduction(false);
    const QImage full = render(curve, xMap, yMap);

    QCOMPARE(inkedPixels(full) > 0, inked);
    const int pixels = canvasSize.width() * canvasSize.height();
    const int differing = differingPixels(reduced, full);
    QVERIFY2(differing * 10000 <= pixels * tolerance,
             qPrintable(QStringLiteral("%1 of %2 pixels differ").arg(differing).arg(pixels)));
}

void TestDenseCurve::readsTheArraysInPlace()
{
    QVector<double> x = {0.0, 1.0, 2.0};
    QVector<double> y = {5.0, 6.0, 7.0};
    DenseCurve curve;
    curve.setArrays(&x, &y);

    y[1] = 60.0;
    QCOMPARE(curve.dataSize(), size_t(3));
    QCOMPARE(curve.sample(1), QPointF(1.0, 60.0));
    QCOMPARE(curve.boundingRect(), QRectF(0.0, 5.0, 2.0, 55.0));
}

void TestDenseCurve::followsArraysRefilledInPlace()
{
    QVector<double> x, y;
    makeRide(x, y, 50000, 10, 300.0, 1);
    DenseCurve curve;
    curve.setArrays(&x, &y);
    const QwtScaleMap xMap = map(0.0, 5000.0, 0.0, canvasSize.width());
    const QwtScaleMap yMap = map(-100.0, 1000.0, canvasSize.height(), 0.0);
    render(curve, xMap, yMap);

    // A second read empties the arrays and fills them with another ride,
    // this one with its clock going back half way.
    x.clear();
    y.clear();
    makeRide(x, y, 20000, 4, 300.0, 2);
    for (int i = 10000; i < x.size(); ++i)
        x[i] -= 2500.0;
    QCOMPARE(curve.dataSize(), size_t(20000));
    QCOMPARE(curve.sample(19999), QPointF(x.last(), y.last()));

    const QImage reduced = render(curve, xMap, yMap);
    curve.setColumnReduction(false);
    const QImage full = render(curve, xMap, yMap);
    QVERIFY(differingPixels(reduced, full) * 10000 <= canvasSize.width() * canvasSize.height());
}

void TestDenseCurve::emptyAndMissingArraysDrawNothing()
{
    QVector<double> x, y;
    DenseCurve curve;
    const QwtScaleMap xMap = map(0.0, 30.0, 0.0, canvasSize.width());
    const QwtScaleMap yMap = map(-1.0, 1.0, canvasSize.height(), 0.0);

    curve.setArrays(nullptr, nullptr);
    QCOMPARE(curve.dataSize(), size_t(0));
    QCOMPARE(inkedPixels(render(curve, xMap, yMap)), 0);

    curve.setArrays(&x, &y);
    QCOMPARE(curve.dataSize(), size_t(0));
    QCOMPARE(inkedPixels(render(curve, xMap, yMap)), 0);
    QVERIFY(!curve.boundingRect().isValid());

    // Arrays of different lengths: only the common part counts.
    x = {0.0, 1.0, 2.0};
    y = {1.0};
    QCOMPARE(curve.dataSize(), size_t(1));
}

void TestDenseCurve::leavesOutValuesThatAreNotFinite()
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QVector<double> x, y;
    makeRide(x, y, 30000, 10, 100.0, 3);
    y[100] = inf;
    y[200] = nan;
    x[300] = nan;
    x[400] = -inf;
    DenseCurve curve;
    curve.setArrays(&x, &y);

    // The axes scale to the finite samples only.
    const QRectF bounds = curve.boundingRect();
    QVERIFY(bounds.isValid());
    QCOMPARE(bounds.left(), 0.0);
    QCOMPARE(bounds.right(), 2999.0);
    QVERIFY(std::isfinite(bounds.top()) && std::isfinite(bounds.bottom()));

    const QwtScaleMap xMap = map(0.0, 3000.0, 0.0, canvasSize.width());
    const QwtScaleMap yMap = map(0.0, 1000.0, canvasSize.height(), 0.0);
    QVERIFY(inkedPixels(render(curve, xMap, yMap)) > 0);
}

QTEST_MAIN(TestDenseCurve)
#include "tst_densecurve.moc"
