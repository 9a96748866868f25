#include "GuiDriver.h"
#include "SessionPlots.h"
#include "StatisticsPanel.h"

#include <qwt_scale_draw.h>
#include <qwt_plot_zoomer.h>
#include <qwt_scale_div.h>

// The statistics panel, the cursor line and the mouse wheel in the main
// window, on a ride of ten minutes at 1 Hz with a stop of ten minutes in
// the middle: 100 W before the stop, 300 W after it.
class TestRideAnalysis : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void panelFollowsTheShownRange();
    void wheelZoomsAndPansAllThree();
    void modeSwitch();
    void cursorReadsTheNearestSample_data();
    void cursorReadsTheNearestSample();
    void cursorLineOnAllThree();
    void copy();

private:
    QwtPlot *plot(const char *name) const { return window->findChild<QwtPlot *>(name); }
    QString figure(const QString &name) const { return panel->value(tr("Shown range"), name); }
    QString reading(const QString &name) const { return panel->value(tr("Cursor"), name); }
    QwtInterval shownX(const char *name) const
    {
        return plot(name)->axisScaleDiv(QwtPlot::xBottom).interval();
    }
    QString xLabel(double x) const
    {
        return plot("qwtPlotBottom")->axisScaleDraw(QwtPlot::xBottom)->label(x).text();
    }
    void wheel(const char *name, double x, int angle, Qt::KeyboardModifiers modifiers = {});
    // The canvas columns, as painted with what lies over them, drawn in the
    // cursor's colour from the top of the contents to their bottom.
    QList<int> lineColumns(const char *name) const;

    TemporarySettings settings;
    QTemporaryDir dir;
    QString path;
    MainWindow *window = nullptr;
    StatisticsPanel *panel = nullptr;
};

namespace {

bool writePausedRide(const QString &path)
{
    QString csv("VOK_session_file ,S_100407_10-30.csv\nKm @ Start ,1.\nTime @ Start ,10-30-15\n\n");
    for (int i = 0; i < 600; ++i) {
        const int t = i < 300 ? i : i + 600;
        const int half = i < 300 ? 50 : 150;
        csv += QStringLiteral("%1,%2,11.1,45.6,%3,140,90,25.2,0,%4,%5,%5,4,6,50,48,0,0,%6\n")
                   .arg(i)
                   .arg(QTime(0, 0).addSecs(t).toString("h:mm:ss"))
                   .arg(300 + i / 10)
                   .arg(2 * half)
                   .arg(half)
                   .arg(0.007 * i);
    }
    return writeFile(path, (csv + "#####\n").toLatin1());
}

} // namespace

void TestRideAnalysis::init()
{
    path = dir.filePath("S_100407_10-30.csv");
    QVERIFY(writePausedRide(path));
    window = new MainWindow;
    window->resize(1000, 800);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    panel = window->findChild<StatisticsPanel *>("statisticsPanel");
    QVERIFY(panel);
    QVERIFY(openRide(*window, path));
}

void TestRideAnalysis::cleanup()
{
    delete window;
    window = nullptr;
}

void TestRideAnalysis::wheel(const char *name, double x, int angle, Qt::KeyboardModifiers modifiers)
{
    QWidget *canvas = plot(name)->canvas();
    const QPointF at(plot(name)->canvasMap(QwtPlot::xBottom).transform(x), canvas->height() / 2.0);
    QWheelEvent event(at, canvas->mapToGlobal(at.toPoint()), QPoint(), QPoint(0, angle), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas, &event);
}

void TestRideAnalysis::panelFollowsTheShownRange()
{
    // The whole ride: the stop is no riding time.
    QCOMPARE(figure("From"), xLabel(0));
    QCOMPARE(figure("To"), xLabel(1199));
    QCOMPARE(figure("Duration"), QString("0:19:59"));
    QCOMPARE(figure("Moving time"), QString("0:09:58"));
    QCOMPARE(figure("Power avg"), QString("200 W"));
    QCOMPARE(figure("Work"), QString("119.6 kJ"));
    QCOMPARE(figure("Balance"), QString("50.0 % left"));
    QCOMPARE(figure("Height min"), QString("300 m"));
    QCOMPARE(figure("Height max"), QString("359 m"));

    // Zoomed into the second half: 300 W.
    auto *zoomer = plot("qwtPlotTop")->canvas()->findChild<QwtPlotZoomer *>();
    const QRectF shown = zoomer->zoomRect();
    zoomer->zoom(QRectF(950, shown.top(), 150, shown.height()));
    QCOMPARE(figure("From"), xLabel(950));
    QCOMPARE(figure("Power avg"), QString("300 W"));
    QCOMPARE(figure("Duration"), QString("0:02:30"));

    // Inside the stop: nothing to tell.
    zoomer->zoom(0);
    zoomer->zoom(QRectF(400, shown.top(), 400, shown.height()));
    QCOMPARE(figure("From"), QString("-"));
    QCOMPARE(figure("Power avg"), QString("-"));

    // A right click's full view.
    zoomer->zoom(0);
    QCOMPARE(figure("Power avg"), QString("200 W"));
}

void TestRideAnalysis::wheelZoomsAndPansAllThree()
{
    const QwtInterval whole = shownX("qwtPlotTop");
    const QwtInterval centerY = plot("qwtPlotCenter")->axisScaleDiv(QwtPlot::yLeft).interval();

    // Away from the viewer zooms in around the pointer, on all three plots.
    wheel("qwtPlotCenter", 900, 120);
    const QwtInterval in = shownX("qwtPlotTop");
    QVERIFY(std::fabs(in.width() - 0.8 * whole.width()) < 1e-6);
    QVERIFY(std::fabs((900 - in.minValue()) - 0.8 * (900 - whole.minValue())) < 1e-6);
    QCOMPARE(shownX("qwtPlotCenter"), in);
    QCOMPARE(shownX("qwtPlotBottom"), in);
    QCOMPARE(plot("qwtPlotCenter")->axisScaleDiv(QwtPlot::yLeft).interval(), centerY);
    QCOMPARE(figure("From"), xLabel(std::ceil(in.minValue())));

    // Shift pans by a tenth of the width, a turn towards the viewer to later.
    wheel("qwtPlotBottom", 900, -120, Qt::ShiftModifier);
    const QwtInterval panned = shownX("qwtPlotTop");
    QVERIFY(std::fabs(panned.width() - in.width()) < 1e-6);
    QVERIFY(panned.maxValue() <= whole.maxValue());
    QVERIFY(std::fabs(panned.minValue() - std::min(in.minValue() + in.width() / 10,
                                                   whole.maxValue() - in.width())) < 1e-6);
    QCOMPARE(shownX("qwtPlotCenter"), panned);

    // Towards the viewer zooms out, never past the whole ride, which is the
    // zoom base again.
    for (int i = 0; i < 5; ++i)
        wheel("qwtPlotTop", 700, -120);
    QCOMPARE(shownX("qwtPlotTop"), whole);
    auto *zoomer = plot("qwtPlotTop")->canvas()->findChild<QwtPlotZoomer *>();
    QCOMPARE(zoomer->zoomRectIndex(), 0u);
    QCOMPARE(figure("Power avg"), QString("200 W"));

    // Zoomed in deeply, the wheel stops at a few samples.
    for (int i = 0; i < 60; ++i)
        wheel("qwtPlotTop", 100, 120);
    QVERIFY(shownX("qwtPlotTop").width() >= 4.0 * whole.width() / 600 * 0.8);
    QVERIFY(shownX("qwtPlotTop").contains(100));
}

void TestRideAnalysis::modeSwitch()
{
    auto *zoomer = plot("qwtPlotTop")->canvas()->findChild<QwtPlotZoomer *>();
    const QRectF shown = zoomer->zoomRect();
    zoomer->zoom(QRectF(950, shown.top(), 150, shown.height()));
    auto *chooser = window->findChild<QComboBox *>("xAxisComboBox");
    chooser->setCurrentIndex(1);
    // Over distance: the whole ride again, labelled in kilometres.
    QCOMPARE(figure("From"), xLabel(0.0) + " Km");
    QCOMPARE(figure("To"), xLabel(0.007 * 599) + " Km");
    QCOMPARE(figure("Distance"), QString("4.19 km"));
    QCOMPARE(figure("Power avg"), QString("200 W"));
}

void TestRideAnalysis::cursorReadsTheNearestSample_data()
{
    // The plots show low to high, so that a pixel is a small step in x.
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<double>("x");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("power");
    QTest::newRow("before the start") << -20.0 << 100.0 << -5.0 << "0:00:00" << "100";
    QTest::newRow("between two samples") << 90.0 << 110.0 << 100.4 << "0:01:40" << "100";
    QTest::newRow("early in the stop: the last sample before it")
        << 400.0 << 1000.0 << 500.0 << "0:04:59" << "100";
    QTest::newRow("late in the stop: the first after it")
        << 400.0 << 1000.0 << 850.0 << "0:15:00" << "300";
    QTest::newRow("past the end") << 1100.0 << 1270.0 << 1250.0 << "0:19:59" << "300";
}

void TestRideAnalysis::cursorReadsTheNearestSample()
{
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(double, x);
    for (const char *name : {"qwtPlotTop", "qwtPlotCenter", "qwtPlotBottom"}) {
        plot(name)->setAxisScale(QwtPlot::xBottom, low, high);
        plot(name)->replot();
    }

    QVERIFY(!panel->isReadingShown());
    QWidget *canvas = plot("qwtPlotCenter")->canvas();
    const QPointF at(plot("qwtPlotCenter")->canvasMap(QwtPlot::xBottom).transform(x), 20);
    QMouseEvent move(QEvent::MouseMove, at, canvas->mapToGlobal(at.toPoint()), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &move);
    QVERIFY(panel->isReadingShown());
    QTEST(reading("Time"), "time");
    QFETCH(QString, power);
    QCOMPARE(reading("Power total"), power + " W");
    QCOMPARE(reading("Heart rate"), QString("140 bpm"));

    // Over another plot the line goes on; off the plots it leaves.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(canvas, &leave);
    QApplication::sendEvent(plot("qwtPlotTop")->canvas(), &move);
    QTest::qWait(100);
    QVERIFY(panel->isReadingShown());
    QApplication::sendEvent(plot("qwtPlotTop")->canvas(), &leave);
    QTRY_VERIFY(!panel->isReadingShown());
}

QList<int> TestRideAnalysis::lineColumns(const char *name) const
{
    QWidget *canvas = plot(name)->canvas();
    const QImage image = canvas->grab().toImage();
    const QRect contents = canvas->contentsRect();
    QList<int> columns;
    for (int x = contents.left(); x <= contents.right(); ++x) {
        int dark = 0;
        for (int y = contents.top(); y <= contents.bottom(); ++y)
            dark += image.pixel(x, y) == qRgb(30, 30, 30);
        if (dark == contents.height())
            columns << x;
    }
    return columns;
}

void TestRideAnalysis::cursorLineOnAllThree()
{
    const char *names[] = {"qwtPlotTop", "qwtPlotCenter", "qwtPlotBottom"};
    for (const char *name : names)
        QCOMPARE(lineColumns(name), QList<int>());

    QWidget *canvas = plot("qwtPlotCenter")->canvas();
    const double x = 200.0;
    const auto column = [&] {
        return int(std::lround(plot("qwtPlotCenter")->canvasMap(QwtPlot::xBottom).transform(x)));
    };
    const QPoint at(column(), 20);
    QMouseEvent move(QEvent::MouseMove, at, canvas->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(canvas, &move);
    for (const char *name : names)
        QCOMPARE(lineColumns(name), QList<int>{column()});

    // A zoom keeps the line at its x, in that x's new column; zoomed past
    // it, the line is drawn nowhere, and at the full view again.
    wheel("qwtPlotCenter", 600.0, 120);
    QVERIFY(column() != at.x());
    for (const char *name : names)
        QCOMPARE(lineColumns(name), QList<int>{column()});
    for (int notch = 0; notch < 8; ++notch)
        wheel("qwtPlotCenter", 900.0, 120);
    QVERIFY(shownX("qwtPlotCenter").minValue() > x);
    for (const char *name : names)
        QCOMPARE(lineColumns(name), QList<int>());
    canvas->findChild<QwtPlotZoomer *>()->zoom(0);
    for (const char *name : names)
        QCOMPARE(lineColumns(name), QList<int>{column()});

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(canvas, &leave);
    QTRY_VERIFY(!panel->isReadingShown());
    for (const char *name : names)
        QCOMPARE(lineColumns(name), QList<int>());
}

void TestRideAnalysis::copy()
{
    QApplication::clipboard()->clear();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_C, Qt::ControlModifier);
    const QStringList lines = QApplication::clipboard()->text().split('\n');
    QVERIFY2(lines.size() > 20, qPrintable(lines.join('|')));
    QCOMPARE(lines[0], QString("File\tS_100407_10-30.csv\t"));
    QCOMPARE(lines[1], "From\t" + xLabel(0) + "\thh:mm:ss");
    QCOMPARE(lines[2], "To\t" + xLabel(1199) + "\thh:mm:ss");
    QVERIFY(lines.contains("Duration\t0:19:59\th:mm:ss"));
    QVERIFY(lines.contains("Power avg\t200\tW"));
    QVERIFY(lines.contains("Normalised power\t" + figure("Normalised power").section(' ', 0, 0) + "\tW"));
}

QTEST_MAIN(TestRideAnalysis)
#include "tst_rideanalysis.moc"
