#include "CanvasPicker.h"
#include "GuiDriver.h"
#include "MainWindow.h"
#include "MyZoomer.h"
#include "TemporarySettings.h"
#include "TurnDialog.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <qwt_legend.h>
#include <qwt_legend_label.h>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_scale_div.h>
#include <qwt_scale_draw.h>
#include <qwt_text.h>

#include <memory>

namespace {

// One sample line of a session file: elapsed time, total power (split into
// left and right), pedal offsets, up/down percentages, height, speed, heart
// rate, cadence and distance.
struct Sample {
    int seconds;
    double powerTot;
    double offsetLeft;
    double heightMetres;
    double km;
};

QString sampleLine(int index, const Sample &s)
{
    const QString time = QStringLiteral("%1:%2:%3")
                             .arg(s.seconds / 3600)
                             .arg(s.seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                             .arg(s.seconds % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1,%2,11.12345,45.67891,%3,120,85,24.9,0,%4,%5,%6,%7,4.0,52,48,0,0,%8")
        .arg(index)
        .arg(time)
        .arg(s.heightMetres)
        .arg(s.powerTot)
        .arg(s.powerTot / 2 - 4)
        .arg(s.powerTot / 2 + 4)
        .arg(s.offsetLeft)
        .arg(s.km, 0, 'f', 3);
}

// Writes a ride that started on 7 April (year 10) at 10:30:15 from
// kilometre 1523.4, with single-turn files recorded at the given clock
// times ("10-31-15"); returns the session file's path.
QString writeRide(const QString &directory, const QList<Sample> &samples,
                  const QStringList &turnTimes = {})
{
    const QString path = directory + QStringLiteral("/S_100407_10-30.csv");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return QString();
    QTextStream out(&file);
    out << "VOK_session_file ,S_100407_10-30.csv\n"
        << "Km @ Start ,1523.4\n"
        << "Time @ Start ,10-30-15\n"
        << "n,time,lon,lat,alt,hr,cad,speed,x,ptot,pl,pr,ol,or,udl,udr,x,x,km\n";
    for (int i = 0; i < samples.size(); ++i)
        out << sampleLine(i, samples.at(i)) << '\n';
    out << "#####\n";

    for (const QString &time : turnTimes) {
        const QString name = QStringLiteral("T_100407.%1.csv").arg(time);
        QFile turn(directory + QLatin1Char('/') + name);
        if (!turn.open(QIODevice::WriteOnly | QIODevice::Text))
            return QString();
        QTextStream turnOut(&turn);
        turnOut << "VOK_Single_Turn_file ," << name << '\n'
                << "0,0,152.3,210.5,12.1\n"
                << "1,10,160.0,230.2,10.4\n"
                << "#####\n";
    }
    return path;
}

const QList<Sample> fiveSamples = {
    {0, 200.0, 3.5, 352.0, 0.000},
    {10, 260.0, 3.6, 354.0, 0.070},
    {20, 310.0, 3.4, 356.0, 0.140},
    {30, 240.0, 3.7, 355.0, 0.210},
    {40, 220.0, 3.5, 353.0, 0.280},
};

} // namespace

// The session plots with a ride opened through File > Open...
class TestRidePlots : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void curvesShowTheRide();
    void oneSampleRide();
    void turnMarkersRunAlongTheTopInTimeModeOnly();
    void doubleClickOnAMarkerPicksItsTurn();
    void nothingPicksInDistanceMode();
    void linkedZoomKeepsEachPlotsOwnY();
    void zoomSurvivesARefresh();
    void axisLabelsFollowTheRide();
    void failedReadLeavesThePlotsDrawable();
    void numbersThatAreNotFiniteAreLeftOut();
    void hiddenCurveStaysHiddenAfterQuit();

private:
    void open(const QString &path);
    QwtPlot *plot(int index) const;
    MyZoomer *zoomer(int index) const;
    QwtPlotCurve *curve(int plotIndex, const QString &title) const;
    QwtInterval xInterval(int index) const;
    QwtInterval yInterval(int index) const;
    QPoint markerPixel(int index) const;
    void showWindow();

    std::unique_ptr<TemporarySettings> settings;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<MainWindow> window;
};

void TestRidePlots::init()
{
    settings = std::make_unique<TemporarySettings>();
    dir = std::make_unique<QTemporaryDir>();
    window = std::make_unique<MainWindow>();
}

void TestRidePlots::cleanup()
{
    window.reset();
    dir.reset();
    settings.reset();
}

void TestRidePlots::open(const QString &path)
{
    QVERIFY(openRide(*window, path));
}

void TestRidePlots::showWindow()
{
    window->resize(1280, 900);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

QwtPlot *TestRidePlots::plot(int index) const
{
    static const char *const names[] = {"qwtPlotTop", "qwtPlotCenter", "qwtPlotBottom"};
    return window->findChild<QwtPlot *>(QLatin1String(names[index]));
}

MyZoomer *TestRidePlots::zoomer(int index) const
{
    return plot(index)->canvas()->findChild<MyZoomer *>();
}

QwtPlotCurve *TestRidePlots::curve(int plotIndex, const QString &title) const
{
    for (QwtPlotItem *item : plot(plotIndex)->itemList(QwtPlotItem::Rtti_PlotCurve)) {
        if (item->title().text() == title)
            return static_cast<QwtPlotCurve *>(item);
    }
    return nullptr;
}

QwtInterval TestRidePlots::xInterval(int index) const
{
    return plot(index)->axisScaleDiv(QwtPlot::xBottom).interval();
}

QwtInterval TestRidePlots::yInterval(int index) const
{
    return plot(index)->axisScaleDiv(QwtPlot::yLeft).interval();
}

QPoint TestRidePlots::markerPixel(int index) const
{
    const QPointF marker = curve(0, "Turns")->sample(size_t(index));
    return QPoint(qRound(plot(0)->canvasMap(QwtPlot::xBottom).transform(marker.x())),
                  qRound(plot(0)->canvasMap(QwtPlot::yLeft).transform(marker.y())));
}

void TestRidePlots::curvesShowTheRide()
{
    open(writeRide(dir->path(), fiveSamples));
    QCOMPARE(window->sessionRecord().sampleCount(), 5);

    for (int i = 0; i < 3; ++i) {
        QCOMPARE(xInterval(i), QwtInterval(0.0, 40.0));
        QCOMPARE(plot(i)->axisScaleDiv(QwtPlot::xBottom).ticks(QwtScaleDiv::MajorTick),
                 QList<double>({0, 4, 8, 12, 16, 20, 24, 28, 32, 36, 40}));
        QwtPlotCurve *line = curve(i, "2-points line just for updating xAxis");
        QCOMPARE(line->sample(0), QPointF(0.0, 0.0));
        QCOMPARE(line->sample(1), QPointF(40.0, 0.0));
        // Un-zoomed, each plot takes its new scales as its zoom base.
        QCOMPARE(zoomer(i)->zoomStack().size(), 1);
        QCOMPARE(zoomer(i)->zoomBase().left(), 0.0);
        QCOMPARE(zoomer(i)->zoomBase().right(), 40.0);
    }

    QwtPlotCurve *total = curve(0, "Power Tot (W)");
    QCOMPARE(total->dataSize(), size_t(5));
    QCOMPARE(total->sample(2), QPointF(20.0, 310.0));
    QCOMPARE(curve(0, "Power Left (W)")->sample(1), QPointF(10.0, 126.0));
    QCOMPARE(curve(0, "Power Right (W)")->sample(1), QPointF(10.0, 134.0));
    QCOMPARE(curve(1, "Offset Left (mm)")->sample(3), QPointF(30.0, 3.7));
    QCOMPARE(curve(1, "Up/Down Right (%)")->sample(0), QPointF(0.0, 48.0));
    QCOMPARE(curve(2, "Height (x 10m)")->sample(2), QPointF(20.0, 35.6));
    QCOMPARE(curve(2, "Cadenza (ped/min)")->sample(4), QPointF(40.0, 85.0));

    // The grey line keeps 0 in view beside the power.
    QVERIFY(yInterval(0).contains(0.0));
    QVERIFY(yInterval(0).contains(310.0));

    // Distance mode plots the same samples against kilometres.
    window->findChild<QComboBox *>("xAxisComboBox")->setCurrentIndex(1);
    QCOMPARE(total->sample(2), QPointF(0.14, 310.0));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(xInterval(i), QwtInterval(0.0, 0.28));
}

void TestRidePlots::oneSampleRide()
{
    open(writeRide(dir->path(), {{0, 250.0, 3.5, 352.0, 0.0}}));
    QCOMPARE(window->sessionRecord().sampleCount(), 1);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(xInterval(i).minValue(), 0.0);
        QCOMPARE(xInterval(i).maxValue(), 0.0);
        QCOMPARE(curve(i, "2-points line just for updating xAxis")->sample(1), QPointF(0.0, 0.0));
    }
    QCOMPARE(curve(0, "Power Tot (W)")->sample(0), QPointF(0.0, 250.0));

    showWindow();
    for (int i = 0; i < 3; ++i)
        QVERIFY(!plot(i)->grab().isNull());
}

void TestRidePlots::turnMarkersRunAlongTheTopInTimeModeOnly()
{
    // Listed by name: 10:30:45 comes before 10:31:15.
    open(writeRide(dir->path(), fiveSamples, {"10-31-15", "10-30-45"}));
    QCOMPARE(window->sessionRecord().turns.size(), 2);

    QwtPlotCurve *turns = curve(0, "Turns");
    QVERIFY(turns);
    const double top = plot(0)->axisScaleDiv(QwtPlot::yLeft).upperBound();
    QCOMPARE(turns->dataSize(), size_t(2));
    QCOMPARE(turns->sample(0), QPointF(30.0, top));
    QCOMPARE(turns->sample(1), QPointF(60.0, top));

    auto *chooser = window->findChild<QComboBox *>("xAxisComboBox");
    chooser->setCurrentIndex(1);
    QVERIFY(!turns->plot());

    chooser->setCurrentIndex(0);
    QCOMPARE(turns->plot(), plot(0));
    QCOMPARE(turns->sample(1), QPointF(60.0, plot(0)->axisScaleDiv(QwtPlot::yLeft).upperBound()));
}

void TestRidePlots::doubleClickOnAMarkerPicksItsTurn()
{
    // Markers inside the ride, so that they are on the canvas.
    open(writeRide(dir->path(), fiveSamples, {"10-30-25", "10-30-45"}));
    showWindow();
    auto *picker = plot(0)->findChild<CanvasPicker *>();
    QSignalSpy spy(picker, &CanvasPicker::pointClicked);

    // The main window opens that turn in the turn dialog.
    QString title;
    whenModal<TurnDialog>([&title](TurnDialog *dialog) {
        title = dialog->windowTitle();
        dialog->reject();
    });
    const QPoint marker = markerPixel(1);
    QTest::mouseDClick(plot(0)->canvas(), Qt::LeftButton, Qt::NoModifier, marker + QPoint(3, 4));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 1);
    QVERIFY2(title.endsWith(QStringLiteral("/T_100407.10-30-45.csv")), qPrintable(title));
}

void TestRidePlots::nothingPicksInDistanceMode()
{
    open(writeRide(dir->path(), fiveSamples, {"10-30-25", "10-30-45"}));
    showWindow();
    auto *picker = plot(0)->findChild<CanvasPicker *>();
    const QPoint marker = markerPixel(0);
    QVERIFY(picker->hovers(marker));

    window->findChild<QComboBox *>("xAxisComboBox")->setCurrentIndex(1);
    QSignalSpy spy(picker, &CanvasPicker::pointClicked);
    QMouseEvent move(QEvent::MouseMove, marker, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(plot(0)->canvas(), &move);
    QCOMPARE(plot(0)->canvas()->cursor().shape(), Qt::CrossCursor);
    QTest::mouseDClick(plot(0)->canvas(), Qt::LeftButton, Qt::NoModifier, marker);
    QCOMPARE(spy.count(), 0);
}

void TestRidePlots::linkedZoomKeepsEachPlotsOwnY()
{
    open(writeRide(dir->path(), fiveSamples));
    showWindow();
    const QwtInterval topY = yInterval(0);
    const QwtInterval bottomY = yInterval(2);
    QVERIFY(topY != bottomY);

    // Drag a rectangle on the centre plot.
    QWidget *canvas = plot(1)->canvas();
    const QwtScaleMap xMap = plot(1)->canvasMap(QwtPlot::xBottom);
    const QwtScaleMap yMap = plot(1)->canvasMap(QwtPlot::yLeft);
    const QPoint from(qRound(xMap.transform(10.0)), qRound(yMap.transform(40.0)));
    const QPoint to(qRound(xMap.transform(30.0)), qRound(yMap.transform(10.0)));
    QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, from);
    QMouseEvent move(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &move);
    QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, to);

    const QwtInterval zoomedX = xInterval(1);
    QVERIFY(qAbs(zoomedX.minValue() - 10.0) < 0.5 && qAbs(zoomedX.maxValue() - 30.0) < 0.5);
    for (int i : {0, 2}) {
        QCOMPARE(zoomer(i)->zoomRectIndex(), 1u);
        QCOMPARE(xInterval(i), zoomedX);
    }
    QCOMPARE(yInterval(0), topY);
    QCOMPARE(yInterval(2), bottomY);

    // A right click on the top plot brings all three back.
    QTest::mouseClick(plot(0)->canvas(), Qt::RightButton, Qt::NoModifier, QPoint(30, 30));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(zoomer(i)->zoomRectIndex(), 0u);
        QCOMPARE(xInterval(i), QwtInterval(0.0, 40.0));
    }
}

void TestRidePlots::zoomSurvivesARefresh()
{
    open(writeRide(dir->path(), fiveSamples));
    const QwtInterval centerY = yInterval(1);
    const QwtInterval bottomY = yInterval(2);
    zoomer(0)->zoom(QRectF(10.0, 100.0, 20.0, 150.0));
    zoomer(0)->zoom(QRectF(12.0, 150.0, 10.0, 50.0));
    zoomer(0)->zoom(-1);

    // What accepting the options dialog runs after applying the pens and
    // scale draws.
    window->updateGraphs();

    // The centre and bottom plots follow the top stack to its last entry.
    QCOMPARE(zoomer(0)->zoomRectIndex(), 1u);
    QCOMPARE(xInterval(0), QwtInterval(10.0, 30.0));
    QCOMPARE(yInterval(0), QwtInterval(100.0, 250.0));
    for (int i : {1, 2}) {
        QCOMPARE(zoomer(i)->zoomRectIndex(), 2u);
        QCOMPARE(xInterval(i), QwtInterval(12.0, 22.0));
    }
    QCOMPARE(yInterval(1), centerY);
    QCOMPARE(yInterval(2), bottomY);
}

void TestRidePlots::axisLabelsFollowTheRide()
{
    open(writeRide(dir->path(), fiveSamples));
    auto *chooser = window->findChild<QComboBox *>("xAxisComboBox");

    // Stored defaults: clock time from the ride's start, distance from 0.
    for (int i = 0; i < 3; ++i)
        QCOMPARE(plot(i)->axisScaleDraw(QwtPlot::xBottom)->label(60.0).text(), QString("10:31:15"));
    QCOMPARE(zoomer(0)->trackerTextF(QPointF(3725.9, 99.96)).text(), QString("11:32:20,\n100.0"));

    chooser->setCurrentIndex(1);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(plot(i)->axisScaleDraw(QwtPlot::xBottom)->label(1.5).text(), QString("1.500"));
}

void TestRidePlots::failedReadLeavesThePlotsDrawable()
{
    open(writeRide(dir->path(), fiveSamples));
    showWindow();

    // A file that is not a ride: the reader empties the record and the
    // warning's event loop repaints the plots before the refresh.
    const QString bad = dir->path() + QStringLiteral("/not_a_ride.csv");
    QFile file(bad);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("something else\n");
    file.close();

    bool painted = false;
    whenModal<QMessageBox>([this, &painted](QMessageBox *box) {
        for (int i = 0; i < 3; ++i)
            plot(i)->repaint();
        painted = true;
        box->button(QMessageBox::Ok)->click();
    });
    whenModal<QFileDialog>([bad](QFileDialog *files) { choose(files, bad); });
    window->open();
    QVERIFY(painted);
    QCOMPARE(curve(0, "Power Tot (W)")->dataSize(), size_t(window->sessionRecord().sampleCount()));
    for (int i = 0; i < 3; ++i)
        QVERIFY(!plot(i)->grab().isNull());
}

void TestRidePlots::numbersThatAreNotFiniteAreLeftOut()
{
    // The number fields of a session file may read "inf" or "nan".
    const QString path = writeRide(dir->path(), fiveSamples);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QString text = QString::fromLatin1(file.readAll());
    file.close();
    text.replace(QStringLiteral(",0.280\n"), QStringLiteral(",inf\n"));
    text.replace(QStringLiteral(",260,"), QStringLiteral(",nan,"));
    text.replace(QStringLiteral(",310,"), QStringLiteral(",-inf,"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text));
    file.write(text.toLatin1());
    file.close();

    open(path);
    showWindow();
    QCOMPARE(window->sessionRecord().sampleCount(), 5);
    QVERIFY(qIsInf(window->sessionRecord().space.last()));
    QVERIFY(qIsNaN(window->sessionRecord().powerTot.at(1)));

    // Time: the power axis scales to the finite values.
    QCOMPARE(xInterval(0), QwtInterval(0.0, 40.0));
    QVERIFY(yInterval(0).contains(240.0));
    QVERIFY(qIsFinite(yInterval(0).maxValue()) && yInterval(0).maxValue() < 1000.0);

    // Distance: the axes span the finite distances.
    window->findChild<QComboBox *>("xAxisComboBox")->setCurrentIndex(1);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(xInterval(i), QwtInterval(0.0, 0.21));
        QVERIFY(!plot(i)->grab().isNull());
    }
    zoomer(0)->zoom(QRectF(0.05, 0.0, 0.1, 300.0));
    QCOMPARE(xInterval(2).minValue(), 0.05);
    QVERIFY(qFuzzyCompare(xInterval(2).maxValue(), 0.15));
}

void TestRidePlots::hiddenCurveStaysHiddenAfterQuit()
{
    open(writeRide(dir->path(), fiveSamples));
    showWindow();
    QwtPlotCurve *total = curve(0, "Power Tot (W)");
    auto *legend = qobject_cast<QwtLegend *>(plot(0)->legend());
    auto *label = qobject_cast<QwtLegendLabel *>(legend->legendWidget(plot(0)->itemToInfo(total)));
    QTest::mouseClick(label, Qt::LeftButton);
    QVERIFY(!total->isVisible());

    QVERIFY(confirmQuit(*window));
    QCOMPARE(QSettings().value("options/graphvisible/ptot").toBool(), false);
    QCOMPARE(QSettings().value("options/graphvisible/pl").toBool(), true);

    window = std::make_unique<MainWindow>();
    total = curve(0, "Power Tot (W)");
    QVERIFY(!total->isVisible());
    legend = qobject_cast<QwtLegend *>(plot(0)->legend());
    label = qobject_cast<QwtLegendLabel *>(legend->legendWidget(plot(0)->itemToInfo(total)));
    QVERIFY(!label->isChecked());
    QVERIFY(curve(0, "Power Left (W)")->isVisible());
}

QTEST_MAIN(TestRidePlots)
#include "tst_rideplots.moc"
