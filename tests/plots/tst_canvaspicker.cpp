#include "CanvasPicker.h"

#include <QSignalSpy>
#include <QTest>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_scale_map.h>

namespace {

// Counts the events of some types that reach a watched object.
class EventCounter : public QObject
{
public:
    int moves = 0;
    int doubleClicks = 0;

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MouseMove)
            ++moves;
        else if (event->type() == QEvent::MouseButtonDblClick)
            ++doubleClicks;
        return false;
    }
};

} // namespace

// Picking a marker of a curve with the mouse: the pointing hand near a
// point, and the point's index on a double-click within 10 pixels.
class TestCanvasPicker : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void setsUpTheCanvas();
    void doubleClick_data();
    void doubleClick();
    void cursor_data();
    void cursor();
    void passesMovesOnAndConsumesDoubleClicks();
    void nothingPicksOnADetachedCurve();
    void nothingPicksOnAHiddenCurve();
    void nothingPicksWithoutPoints();

private:
    // A move with no button held, as the window system delivers it.
    void moveMouse(const QPoint &pos)
    {
        QMouseEvent move(QEvent::MouseMove, pos, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(plot->canvas(), &move);
    }
    QPoint markerPixel(int index) const { return index == 0 ? QPoint(100, 80) : QPoint(250, 150); }

    QwtPlot *plot = nullptr;
    QwtPlotCurve *curve = nullptr;
    CanvasPicker *picker = nullptr;
    EventCounter *counter = nullptr;
};

void TestCanvasPicker::init()
{
    plot = new QwtPlot;
    plot->enableAxis(QwtPlot::yLeft, false);
    plot->enableAxis(QwtPlot::xBottom, false);
    plot->resize(400, 300);
    plot->show();
    QVERIFY(QTest::qWaitForWindowExposed(plot));

    // Scales of one unit per pixel, so that the markers land on whole
    // pixels and distances come out exact.
    const QwtScaleMap xMap = plot->canvasMap(QwtPlot::xBottom);
    const QwtScaleMap yMap = plot->canvasMap(QwtPlot::yLeft);
    plot->setAxisScale(QwtPlot::xBottom, 0.0, xMap.p2() - xMap.p1());
    plot->setAxisScale(QwtPlot::yLeft, 0.0, yMap.p1() - yMap.p2());
    plot->replot();

    QVector<QPointF> points;
    for (int i = 0; i < 2; ++i) {
        const QPoint pixel = markerPixel(i);
        points.append(QPointF(pixel.x() - xMap.p1(), yMap.p1() - pixel.y()));
    }
    curve = new QwtPlotCurve;
    curve->setSamples(points);
    curve->attach(plot);
    QCOMPARE(plot->canvasMap(QwtPlot::xBottom).transform(points[0].x()), 100.0);
    QCOMPARE(plot->canvasMap(QwtPlot::yLeft).transform(points[0].y()), 80.0);

    counter = new EventCounter;
    plot->canvas()->installEventFilter(counter);
    picker = new CanvasPicker(plot, curve);
}

void TestCanvasPicker::cleanup()
{
    delete plot;
    delete counter;
    plot = nullptr;
}

void TestCanvasPicker::setsUpTheCanvas()
{
    QCOMPARE(picker->parent(), plot);
    QCOMPARE(plot->canvas()->focusPolicy(), Qt::StrongFocus);
    auto *canvas = qobject_cast<QwtPlotCanvas *>(plot->canvas());
    QVERIFY(canvas);
    QCOMPARE(canvas->focusIndicator(), QwtPlotCanvas::ItemFocusIndicator);
}

void TestCanvasPicker::doubleClick_data()
{
    QTest::addColumn<int>("marker");
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("picked"); // -1: nothing

    QTest::newRow("on the marker") << 0 << QPoint(0, 0) << int(Qt::LeftButton) << 0;
    QTest::newRow("7 right and 7 below, 9.9 pixels away") << 0 << QPoint(7, 7) << int(Qt::LeftButton) << 0;
    QTest::newRow("6 right and 8 below, exactly 10 pixels away")
        << 0 << QPoint(6, 8) << int(Qt::LeftButton) << -1;
    QTest::newRow("8 left and 6 above, exactly 10 pixels away")
        << 0 << QPoint(-8, -6) << int(Qt::LeftButton) << -1;
    QTest::newRow("9 straight above") << 0 << QPoint(0, -9) << int(Qt::LeftButton) << 0;
    QTest::newRow("right button near the marker") << 0 << QPoint(3, 4) << int(Qt::RightButton) << 0;
    QTest::newRow("middle button near the marker") << 0 << QPoint(-3, 4) << int(Qt::MiddleButton) << 0;
    QTest::newRow("near the second marker") << 1 << QPoint(0, 9) << int(Qt::LeftButton) << 1;
    QTest::newRow("between the markers, far from both") << 0 << QPoint(75, 35) << int(Qt::LeftButton) << -1;
}

void TestCanvasPicker::doubleClick()
{
    QFETCH(int, marker);
    QFETCH(QPoint, offset);
    QFETCH(int, button);
    QFETCH(int, picked);

    QSignalSpy spy(picker, &CanvasPicker::pointClicked);
    QTest::mouseDClick(plot->canvas(), Qt::MouseButton(button), Qt::NoModifier,
                       markerPixel(marker) + offset);
    if (picked < 0) {
        QCOMPARE(spy.count(), 0);
    } else {
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), picked);
    }
}

void TestCanvasPicker::cursor_data()
{
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<int>("shape");

    QTest::newRow("on the marker") << QPoint(0, 0) << int(Qt::PointingHandCursor);
    QTest::newRow("9.9 pixels away") << QPoint(-7, 7) << int(Qt::PointingHandCursor);
    QTest::newRow("exactly 10 pixels away") << QPoint(-6, 8) << int(Qt::CrossCursor);
    QTest::newRow("far away") << QPoint(40, 40) << int(Qt::CrossCursor);
}

void TestCanvasPicker::cursor()
{
    QFETCH(QPoint, offset);
    QFETCH(int, shape);

    // Start from the other shape, so that the move has to set it.
    plot->canvas()->setCursor(shape == Qt::CrossCursor ? Qt::PointingHandCursor : Qt::CrossCursor);
    moveMouse(markerPixel(0) + offset);
    QCOMPARE(int(plot->canvas()->cursor().shape()), shape);
}

void TestCanvasPicker::passesMovesOnAndConsumesDoubleClicks()
{
    moveMouse(markerPixel(0));
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, QPoint(5, 5), Qt::LeftButton,
                            Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(plot->canvas(), &doubleClick);

    QCOMPARE(counter->moves, 1);
    QCOMPARE(counter->doubleClicks, 0);
}

void TestCanvasPicker::nothingPicksOnADetachedCurve()
{
    curve->detach();
    QSignalSpy spy(picker, &CanvasPicker::pointClicked);
    moveMouse(markerPixel(0));
    QCOMPARE(plot->canvas()->cursor().shape(), Qt::CrossCursor);
    QTest::mouseDClick(plot->canvas(), Qt::LeftButton, Qt::NoModifier, markerPixel(0));
    QCOMPARE(spy.count(), 0);
    delete curve;
}

void TestCanvasPicker::nothingPicksOnAHiddenCurve()
{
    curve->setVisible(false);
    QSignalSpy spy(picker, &CanvasPicker::pointClicked);
    QVERIFY(!picker->hovers(markerPixel(0)));
    QTest::mouseDClick(plot->canvas(), Qt::LeftButton, Qt::NoModifier, markerPixel(0));
    QCOMPARE(spy.count(), 0);
}

void TestCanvasPicker::nothingPicksWithoutPoints()
{
    curve->setSamples(QVector<QPointF>());
    QSignalSpy spy(picker, &CanvasPicker::pointClicked);
    QVERIFY(!picker->hovers(markerPixel(0)));
    picker->select(markerPixel(0));
    QCOMPARE(spy.count(), 0);
}

QTEST_MAIN(TestCanvasPicker)
#include "tst_canvaspicker.moc"
