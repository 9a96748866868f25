#include "CanvasPicker.h"
#include "MainWindow.h"
#include "MyZoomer.h"
#include "SpaceScaleDraw.h"
#include "TemporarySettings.h"
#include "TimeScaleDraw.h"

#include <QComboBox>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <qwt_legend.h>
#include <qwt_legend_label.h>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_layout.h>
#include <qwt_scale_div.h>
#include <qwt_scale_widget.h>
#include <qwt_text.h>

#include <memory>

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    int paints = 0;

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

QString expectedTitles(int plot)
{
    switch (plot) {
    case 0: return "Power Left (W)|Power Right (W)|Power Tot (W)";
    case 1: return "Offset Left (mm)|Offset Right (mm)|Up/Down Left (%)|Up/Down Right (%)";
    default: return "Height (x 10m)|Speed (Km/h)|Heart Rate (PPM)|Cadenza (ped/min)";
    }
}

} // namespace

// The three session plots of the main window before any ride is opened:
// their items, legends, x-axis modes and linked zooming.
class TestSessionPlots : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void emptySessionSpansThirtySeconds();
    void channelCurvesSitOnTheirPlots();
    void legendsAreCheckedAsTheCurvesAreVisible();
    void decoratesEveryPlotAlike();
    void windowKeepsItsFirstRunSize();
    void storedVisibilityHidesCurves();
    void uncheckingALegendEntryHidesTheCurve();
    void chooserNamesTheUnits_data();
    void chooserNamesTheUnits();
    void distanceModeSwapsScaleDrawsAndRemovesMarkers();
    void draggingOnOnePlotZoomsAllThree();
    void rightClickReturnsAllThree();
    void zoomStepsStayInStep();
    void oneGestureAnnouncesOnce();
    void zoomSurvivesARefresh();
    void trackerShowsTheAxisLabelAndOneDecimal();
    void pickerWatchesTheTopPlot();

private:
    QwtPlot *plot(int index) const;
    MyZoomer *zoomer(int index) const;
    QList<QwtPlotCurve *> curves(int index) const;
    QwtPlotCurve *curve(int plotIndex, const QString &title) const;
    QwtLegendLabel *legendLabel(int plotIndex, QwtPlotItem *item) const;
    QwtInterval xInterval(int index) const;
    QwtInterval yInterval(int index) const;
    void drag(QWidget *canvas, const QPoint &from, const QPoint &to);

    std::unique_ptr<TemporarySettings> settings;
    std::unique_ptr<MainWindow> window;
};

QwtPlot *TestSessionPlots::plot(int index) const
{
    static const char *const names[] = {"qwtPlotTop", "qwtPlotCenter", "qwtPlotBottom"};
    return window->findChild<QwtPlot *>(QLatin1String(names[index]));
}

MyZoomer *TestSessionPlots::zoomer(int index) const
{
    return plot(index)->canvas()->findChild<MyZoomer *>();
}

QList<QwtPlotCurve *> TestSessionPlots::curves(int index) const
{
    QList<QwtPlotCurve *> result;
    for (QwtPlotItem *item : plot(index)->itemList(QwtPlotItem::Rtti_PlotCurve))
        result.append(static_cast<QwtPlotCurve *>(item));
    return result;
}

QwtPlotCurve *TestSessionPlots::curve(int plotIndex, const QString &title) const
{
    for (QwtPlotCurve *c : curves(plotIndex)) {
        if (c->title().text() == title)
            return c;
    }
    return nullptr;
}

QwtLegendLabel *TestSessionPlots::legendLabel(int plotIndex, QwtPlotItem *item) const
{
    auto *legend = qobject_cast<QwtLegend *>(plot(plotIndex)->legend());
    return legend ? qobject_cast<QwtLegendLabel *>(
               legend->legendWidget(plot(plotIndex)->itemToInfo(item)))
                  : nullptr;
}

QwtInterval TestSessionPlots::xInterval(int index) const
{
    return plot(index)->axisScaleDiv(QwtPlot::xBottom).interval();
}

QwtInterval TestSessionPlots::yInterval(int index) const
{
    return plot(index)->axisScaleDiv(QwtPlot::yLeft).interval();
}

// A left-button drag the way the window system delivers it.
void TestSessionPlots::drag(QWidget *canvas, const QPoint &from, const QPoint &to)
{
    QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, from);
    const QPoint middle = (from + to) / 2;
    for (const QPoint &pos : {middle, to}) {
        QMouseEvent move(QEvent::MouseMove, pos, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(canvas, &move);
    }
    QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, to);
}

void TestSessionPlots::init()
{
    settings = std::make_unique<TemporarySettings>();
}

void TestSessionPlots::cleanup()
{
    window.reset();
    settings.reset();
}

void TestSessionPlots::emptySessionSpansThirtySeconds()
{
    window = std::make_unique<MainWindow>();
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(xInterval(i), QwtInterval(0.0, 30.0));
        const QList<double> ticks = plot(i)->axisScaleDiv(QwtPlot::xBottom).ticks(QwtScaleDiv::MajorTick);
        QCOMPARE(ticks, QList<double>({0, 3, 6, 9, 12, 15, 18, 21, 24, 27, 30}));
        // y takes in the grey line at 0.
        QVERIFY(yInterval(i).contains(0.0));

        // Only the grey line has points.
        QwtPlotCurve *line = curve(i, "2-points line just for updating xAxis");
        QVERIFY(line);
        QVERIFY(line->isVisible());
        QCOMPARE(line->dataSize(), size_t(2));
        QCOMPARE(line->sample(0), QPointF(0.0, 0.0));
        QCOMPARE(line->sample(1), QPointF(30.0, 0.0));
        QCOMPARE(line->pen().color(), QColor(Qt::gray));
        for (QwtPlotCurve *c : curves(i)) {
            if (c != line)
                QCOMPARE(c->dataSize(), size_t(0));
        }
        QCOMPARE(zoomer(i)->zoomRectIndex(), 0u);
        QCOMPARE(zoomer(i)->zoomStack().size(), 1);
    }
    // The turn markers are on the top plot in time mode, with no points.
    QwtPlotCurve *turns = curve(0, "Turns");
    QVERIFY(turns);
    QCOMPARE(turns->dataSize(), size_t(0));
    QCOMPARE(turns->style(), QwtPlotCurve::Dots);
    QCOMPARE(turns->pen().widthF(), 10.0);
    QVERIFY(!curve(1, "Turns") && !curve(2, "Turns"));
}

void TestSessionPlots::channelCurvesSitOnTheirPlots()
{
    window = std::make_unique<MainWindow>();
    for (int i = 0; i < 3; ++i) {
        QStringList titles;
        for (QwtPlotCurve *c : curves(i)) {
            if (c->testItemAttribute(QwtPlotItem::Legend))
                titles.append(c->title().text());
        }
        QCOMPARE(titles.join('|'), expectedTitles(i));
    }
}

void TestSessionPlots::legendsAreCheckedAsTheCurvesAreVisible()
{
    window = std::make_unique<MainWindow>();
    for (int i = 0; i < 3; ++i) {
        auto *legend = qobject_cast<QwtLegend *>(plot(i)->legend());
        QVERIFY(legend);
        QCOMPARE(plot(i)->plotLayout()->legendPosition(), QwtPlot::TopLegend);
        int entries = 0;
        for (QwtPlotCurve *c : curves(i)) {
            QwtLegendLabel *label = legendLabel(i, c);
            if (!c->testItemAttribute(QwtPlotItem::Legend)) {
                QVERIFY2(!label, qPrintable(c->title().text()));
                continue;
            }
            QVERIFY(label);
            ++entries;
            QCOMPARE(label->itemMode(), QwtLegendData::Checkable);
            QCOMPARE(label->isChecked(), c->isVisible());
            QVERIFY(c->isVisible());
        }
        QCOMPARE(entries, i == 0 ? 3 : 4);
    }
}

void TestSessionPlots::decoratesEveryPlotAlike()
{
    window = std::make_unique<MainWindow>();
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(plot(i)->axisScaleDraw(QwtPlot::yLeft)->minimumExtent(), 50.0);
        QCOMPARE(plot(i)->axisMaxMajor(QwtPlot::xBottom), 10);
        QCOMPARE(plot(i)->axisMaxMinor(QwtPlot::xBottom), 5);
        QCOMPARE(plot(i)->canvasBackground().color(), QColor(255, 255, 255, 255));
        QVERIFY(plot(i)->maximumHeight() < QWIDGETSIZE_MAX);
        QCOMPARE(plot(i)->axisTitle(QwtPlot::xBottom).text(), QString());

        const QwtPlotItemList backgrounds = plot(i)->itemList(QwtPlotItem::Rtti_PlotUserItem);
        QCOMPARE(backgrounds.size(), 1);
        QCOMPARE(backgrounds.first()->z(), 0.0);
        const QwtPlotItemList grids = plot(i)->itemList(QwtPlotItem::Rtti_PlotGrid);
        QCOMPARE(grids.size(), 1);
        auto *grid = static_cast<QwtPlotGrid *>(grids.first());
        QVERIFY(grid->xMinEnabled() && grid->yMinEnabled());
        QCOMPARE(grid->majorPen().color(), QColor(Qt::gray));
        QCOMPARE(grid->minorPen().color(), QColor(Qt::lightGray));
        QVERIFY(grid->z() > 0.0);
    }
    // Only the bottom plot shows the x axis.
    QCOMPARE(plot(0)->axisWidget(QwtPlot::xBottom)->maximumHeight(), 0);
    QCOMPARE(plot(1)->axisWidget(QwtPlot::xBottom)->maximumHeight(), 0);
    QVERIFY(plot(2)->axisWidget(QwtPlot::xBottom)->maximumHeight() > 0);
}

void TestSessionPlots::windowKeepsItsFirstRunSize()
{
    // Clock-time labels side by side need more than 800 pixels; they must
    // not widen the window.
    window = std::make_unique<MainWindow>();
    window->resize(800, 600);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QCoreApplication::processEvents();
    QCOMPARE(window->size(), QSize(800, 600));
}

void TestSessionPlots::storedVisibilityHidesCurves()
{
    {
        QSettings store;
        store.setValue("options/graphvisible/ptot", false);
        store.setValue("options/graphvisible/heart", false);
    }
    window = std::make_unique<MainWindow>();
    QwtPlotCurve *total = curve(0, "Power Tot (W)");
    QwtPlotCurve *heart = curve(2, "Heart Rate (PPM)");
    QVERIFY(!total->isVisible());
    QVERIFY(!legendLabel(0, total)->isChecked());
    QVERIFY(!heart->isVisible());
    QVERIFY(!legendLabel(2, heart)->isChecked());
    QVERIFY(curve(0, "Power Left (W)")->isVisible());
    QVERIFY(curve(2, "Speed (Km/h)")->isVisible());
}

void TestSessionPlots::uncheckingALegendEntryHidesTheCurve()
{
    window = std::make_unique<MainWindow>();
    window->resize(1280, 900);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QCoreApplication::processEvents();

    PaintCounter counters[3];
    for (int i = 0; i < 3; ++i)
        plot(i)->canvas()->installEventFilter(&counters[i]);

    QwtPlotCurve *total = curve(0, "Power Tot (W)");
    QwtLegendLabel *label = legendLabel(0, total);
    QTest::mouseClick(label, Qt::LeftButton);
    QCoreApplication::processEvents();

    QVERIFY(!total->isVisible());
    QVERIFY(!label->isChecked());
    QVERIFY(counters[0].paints > 0);
    QCOMPARE(counters[1].paints, 0);
    QCOMPARE(counters[2].paints, 0);

    // Checking it again brings it back.
    QTest::mouseClick(label, Qt::LeftButton);
    QVERIFY(total->isVisible());
    QVERIFY(label->isChecked());
}

void TestSessionPlots::chooserNamesTheUnits_data()
{
    QTest::addColumn<int>("timeUnit");
    QTest::addColumn<int>("spaceUnit");
    QTest::addColumn<QString>("timeItem");
    QTest::addColumn<QString>("spaceItem");

    QTest::newRow("nothing stored") << -1 << -1 << "Time\n(hh:mm:ss)" << "Space\n(Km)";
    QTest::newRow("hours and minutes, meters") << 1 << 1 << "Time\n(hh:mm)" << "Space\n(meters)";
    QTest::newRow("minutes and seconds, kilometres") << 3 << 0 << "Time\n(mm:ss)" << "Space\n(Km)";
    QTest::newRow("seconds") << 5 << 0 << "Time\n(ss)" << "Space\n(Km)";
    QTest::newRow("units beyond the lists") << 6 << 2 << "Time\n(Error)" << "Space\n(error)";
}

void TestSessionPlots::chooserNamesTheUnits()
{
    QFETCH(int, timeUnit);
    QFETCH(int, spaceUnit);
    QFETCH(QString, timeItem);
    QFETCH(QString, spaceItem);

    {
        QSettings store;
        if (timeUnit >= 0)
            store.setValue("options/axes/time_unit", uint(timeUnit));
        if (spaceUnit >= 0)
            store.setValue("options/axes/space_unit", uint(spaceUnit));
    }
    window = std::make_unique<MainWindow>();
    auto *chooser = window->findChild<QComboBox *>("xAxisComboBox");
    QCOMPARE(chooser->itemText(0), timeItem);
    QCOMPARE(chooser->itemText(1), spaceItem);
    QCOMPARE(chooser->currentIndex(), 0);
}

void TestSessionPlots::distanceModeSwapsScaleDrawsAndRemovesMarkers()
{
    window = std::make_unique<MainWindow>();
    auto *chooser = window->findChild<QComboBox *>("xAxisComboBox");
    QwtPlotCurve *turns = curve(0, "Turns");
    QVERIFY(turns);

    chooser->setCurrentIndex(1);
    QCOMPARE(window->sessionRecord().xChannel, int(SessionRecord::SpaceChannel));
    for (int i = 0; i < 3; ++i) {
        QVERIFY(dynamic_cast<SpaceScaleDraw *>(plot(i)->axisScaleDraw(QwtPlot::xBottom)));
        QCOMPARE(zoomer(i)->scaleDraw, plot(i)->axisScaleDraw(QwtPlot::xBottom));
        QCOMPARE(xInterval(i), QwtInterval(0.0, 30.0));
    }
    QVERIFY(!turns->plot());
    QVERIFY(!curve(0, "Turns"));
    QCOMPARE(plot(2)->axisScaleDraw(QwtPlot::xBottom)->label(1.5).text(), QString("1.500"));

    chooser->setCurrentIndex(0);
    QCOMPARE(window->sessionRecord().xChannel, int(SessionRecord::TimeChannel));
    for (int i = 0; i < 3; ++i) {
        QVERIFY(dynamic_cast<TimeScaleDraw *>(plot(i)->axisScaleDraw(QwtPlot::xBottom)));
        QCOMPARE(zoomer(i)->scaleDraw, plot(i)->axisScaleDraw(QwtPlot::xBottom));
    }
    QCOMPARE(turns->plot(), plot(0));

    // Leave the window in distance mode: the markers, on no plot, must
    // still be freed with the window.
    chooser->setCurrentIndex(1);
}

void TestSessionPlots::draggingOnOnePlotZoomsAllThree()
{
    window = std::make_unique<MainWindow>();
    window->resize(1280, 900);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    const QwtInterval topY = yInterval(0);
    const QwtInterval bottomY = yInterval(2);

    QWidget *canvas = plot(1)->canvas();
    const QwtScaleMap xMap = plot(1)->canvasMap(QwtPlot::xBottom);
    const QwtScaleMap yMap = plot(1)->canvasMap(QwtPlot::yLeft);
    const QPoint from(qRound(xMap.transform(6.0)), qRound(yMap.transform(0.4)));
    const QPoint to(qRound(xMap.transform(12.0)), qRound(yMap.transform(0.1)));
    drag(canvas, from, to);

    QCOMPARE(zoomer(1)->zoomRectIndex(), 1u);
    const QwtInterval zoomedX = xInterval(1);
    QVERIFY2(qAbs(zoomedX.minValue() - 6.0) < 0.2 && qAbs(zoomedX.maxValue() - 12.0) < 0.2,
             qPrintable(QString("%1 to %2").arg(zoomedX.minValue()).arg(zoomedX.maxValue())));
    QVERIFY(qAbs(yInterval(1).minValue() - 0.1) < 0.05);
    QVERIFY(qAbs(yInterval(1).maxValue() - 0.4) < 0.05);

    // The other two show the same x range and keep their own y range.
    for (int i : {0, 2}) {
        QCOMPARE(zoomer(i)->zoomRectIndex(), 1u);
        QCOMPARE(xInterval(i), zoomedX);
    }
    QCOMPARE(yInterval(0), topY);
    QCOMPARE(yInterval(2), bottomY);
}

void TestSessionPlots::rightClickReturnsAllThree()
{
    window = std::make_unique<MainWindow>();
    window->resize(1280, 900);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));

    zoomer(0)->zoom(QRectF(3.0, -0.2, 9.0, 0.4));
    zoomer(0)->zoom(QRectF(4.0, -0.1, 2.0, 0.2));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(xInterval(i), QwtInterval(4.0, 6.0));

    QTest::mouseClick(plot(2)->canvas(), Qt::RightButton, Qt::NoModifier, QPoint(40, 20));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(zoomer(i)->zoomRectIndex(), 0u);
        QCOMPARE(xInterval(i), QwtInterval(0.0, 30.0));
    }
}

void TestSessionPlots::zoomStepsStayInStep()
{
    window = std::make_unique<MainWindow>();
    zoomer(0)->zoom(QRectF(3.0, -0.2, 9.0, 0.4));
    zoomer(0)->zoom(QRectF(4.0, -0.1, 2.0, 0.2));
    zoomer(0)->zoom(-1);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(zoomer(i)->zoomRectIndex(), 1u);
        QCOMPARE(zoomer(i)->zoomStack().size(), 3);
        QCOMPARE(xInterval(i), QwtInterval(3.0, 12.0));
    }
    // Each keeps its own y: the centre's stack holds its own base y deeper down.
    const QRectF centerBase = zoomer(1)->zoomStack().at(0);
    QCOMPARE(zoomer(1)->zoomStack().at(2).top(), centerBase.top());
    QCOMPARE(zoomer(1)->zoomStack().at(2).height(), centerBase.height());
    QCOMPARE(zoomer(1)->zoomStack().at(2).left(), 4.0);

    // A step back up from another plot brings all three to the deepest zoom.
    zoomer(2)->zoom(1);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(zoomer(i)->zoomRectIndex(), 2u);
        QCOMPARE(xInterval(i), QwtInterval(4.0, 6.0));
    }
}

void TestSessionPlots::oneGestureAnnouncesOnce()
{
    window = std::make_unique<MainWindow>();
    QSignalSpy top(zoomer(0), &MyZoomer::zoomChanged);
    QSignalSpy center(zoomer(1), &MyZoomer::zoomChanged);
    QSignalSpy bottom(zoomer(2), &MyZoomer::zoomChanged);
    QSignalSpy bottomZoomed(zoomer(2), &QwtPlotZoomer::zoomed);

    zoomer(1)->zoom(QRectF(2.0, -0.3, 5.0, 0.3));
    QCOMPARE(top.count(), 0);
    QCOMPARE(center.count(), 1);
    QCOMPARE(bottom.count(), 0);
    QCOMPARE(bottomZoomed.count(), 1);
    QCOMPARE(center.at(0).at(1).toUInt(), 1u);

    // Also a step that changes nothing is announced.
    zoomer(0)->zoom(0);
    zoomer(0)->zoom(0);
    QCOMPARE(top.count(), 2);
    QCOMPARE(center.count(), 1);
    QCOMPARE(bottom.count(), 0);
}

void TestSessionPlots::zoomSurvivesARefresh()
{
    window = std::make_unique<MainWindow>();
    const QRectF centerBase = zoomer(1)->zoomStack().at(0);
    zoomer(0)->zoom(QRectF(5.0, -0.4, 10.0, 0.2));

    // What accepting the options dialog and opening a file run.
    window->updateGraphs();
    window->changeXAxis(0);

    for (int i = 0; i < 3; ++i) {
        QCOMPARE(zoomer(i)->zoomRectIndex(), 1u);
        QCOMPARE(xInterval(i), QwtInterval(5.0, 15.0));
    }
    QCOMPARE(yInterval(0), QwtInterval(-0.4, -0.2));
    QCOMPARE(yInterval(1), QwtInterval(centerBase.top(), centerBase.bottom()));
}

void TestSessionPlots::trackerShowsTheAxisLabelAndOneDecimal()
{
    QSettings().setValue("options/axes/time_start_relative", true);
    window = std::make_unique<MainWindow>();

    const QwtText text = zoomer(0)->trackerTextF(QPointF(3725.9, 212.46));
    QCOMPARE(text.text(), QString("01:02:05,\n212.5"));
    QColor translucentWhite(Qt::white);
    translucentWhite.setAlpha(200);
    QCOMPARE(text.backgroundBrush().color(), translucentWhite);
    QCOMPARE(text.backgroundBrush().style(), Qt::SolidPattern);

    window->findChild<QComboBox *>("xAxisComboBox")->setCurrentIndex(1);
    QCOMPARE(zoomer(2)->trackerTextF(QPointF(12.345, -3.04)).text(), QString("12.345,\n-3.0"));
}

void TestSessionPlots::pickerWatchesTheTopPlot()
{
    window = std::make_unique<MainWindow>();
    auto *picker = plot(0)->findChild<CanvasPicker *>();
    QVERIFY(picker);
    QCOMPARE(picker->parent(), plot(0));
    QVERIFY(!plot(1)->findChild<CanvasPicker *>());
    QVERIFY(!plot(2)->findChild<CanvasPicker *>());
    QCOMPARE(plot(0)->canvas()->focusPolicy(), Qt::StrongFocus);
}

QTEST_MAIN(TestSessionPlots)
#include "tst_sessionplots.moc"
