// The session plots in the main window, on a ride opened through File > Open...
#include "DenseCurve.h"
#include "GuiDriver.h"
#include "MyZoomer.h"
#include "OptionsDialog.h"
#include "RideGenerator.h"
#include "TurnDialog.h"

#include <QComboBox>
#include <qwt_scale_widget.h>

class tst_RidePlots : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void doubleClickedMarkerOpensItsTurn();
    void noTimeLabelsBeforeARide();
    void sameTicksAfterARightClick();
    void modeSwitchShowsTheWholeRide();
    void axisStaysAlignedThroughOptions();
    void noStrayRubberBandOrTracker();
    void rideOverADayWithPauses();

private:
    QwtPlot *plot(const char *name) { return window.findChild<QwtPlot *>(QLatin1String(name)); }
    QwtPlot *plot(int i)
    {
        return plot(i == 0 ? "qwtPlotTop" : i == 1 ? "qwtPlotCenter" : "qwtPlotBottom");
    }
    MyZoomer *zoomer(int i) { return plot(i)->canvas()->findChild<MyZoomer *>(); }
    QwtInterval x(int i) { return plot(i)->axisScaleDiv(QwtPlot::xBottom).interval(); }
    QStringList bottomLabels(MainWindow &in)
    {
        auto *bottom = in.findChild<QwtPlot *>(QStringLiteral("qwtPlotBottom"));
        QStringList labels;
        for (double tick : bottom->axisScaleDiv(QwtPlot::xBottom).ticks(QwtScaleDiv::MajorTick))
            labels << bottom->axisScaleDraw(QwtPlot::xBottom)->label(tick).text();
        return labels;
    }

    TemporarySettings settings;
    QTemporaryDir dir;
    MainWindow window;
};

void tst_RidePlots::initTestCase()
{
    // 40 s from 10:30:15 over 280 m, turns recorded after 10 s and 30 s.
    const QString ride = dir.filePath(QStringLiteral("S_100407_10-30.csv"));
    QVERIFY(writeRide(ride, 41));
    for (const char *turn : {"T_100407.10-30-25.csv", "T_100407.10-30-45.csv"}) {
        const QByteArray text = QByteArray("VOK_Single_Turn_file ,") + turn + "\n0,0,152,210,12\n";
        QVERIFY(writeFile(dir.filePath(QLatin1String(turn)), text + "#####\n"));
    }
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(openRide(window, ride));
}

void tst_RidePlots::doubleClickedMarkerOpensItsTurn()
{
    QwtPlotCurve *markers = findCurve(window, QStringLiteral("Turns"));
    QVERIFY(markers && markers->dataSize() == 2);
    const QPointF second = markers->sample(1);
    const QPoint pos(qRound(plot("qwtPlotTop")->canvasMap(QwtPlot::xBottom).transform(second.x())),
                     qRound(plot("qwtPlotTop")->canvasMap(QwtPlot::yLeft).transform(second.y())));
    QString title;
    whenModal<TurnDialog>([&title](TurnDialog *dialog) {
        title = dialog->windowTitle();
        dialog->reject();
    });
    QTest::mouseDClick(plot("qwtPlotTop")->canvas(), Qt::LeftButton, Qt::NoModifier,
                       pos + QPoint(3, 4));
    QVERIFY2(title.endsWith(QLatin1String("/T_100407.10-30-45.csv")), qPrintable(title));
}

void tst_RidePlots::noTimeLabelsBeforeARide()
{
    MainWindow empty;
    QVERIFY(!bottomLabels(empty).isEmpty());
    QCOMPARE(bottomLabels(empty).join(""), QString());
    QCOMPARE(bottomLabels(window).first(), "10:30:20");
}

void tst_RidePlots::sameTicksAfterARightClick()
{
    const QStringList opened = bottomLabels(window);
    zoomer(0)->zoom(QRectF(10, 0, 20, 100));
    QVERIFY(bottomLabels(window) != opened);
    QTest::mouseClick(plot(2)->canvas(), Qt::RightButton);
    QCOMPARE(bottomLabels(window), opened);
}

// A zoom over time, then distance: the whole ride over distance on all three
// plots, and a right click stays there.
void tst_RidePlots::modeSwitchShowsTheWholeRide()
{
    auto *chooser = window.findChild<QComboBox *>(QStringLiteral("xAxisComboBox"));
    const double km = window.sessionRecord().space.last();
    zoomer(1)->zoom(QRectF(10, 0, 20, 10));
    chooser->setCurrentIndex(1);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(zoomer(i)->zoomRectIndex(), 0u);
        QCOMPARE(x(i), QwtInterval(0, km));
        QCOMPARE(zoomer(i)->zoomBase().left(), 0.0);
        QCOMPARE(zoomer(i)->zoomBase().right(), km);
    }
    QTest::mouseClick(plot(0)->canvas(), Qt::RightButton);
    QCOMPARE(x(2), QwtInterval(0, km));
    chooser->setCurrentIndex(0);
    QCOMPARE(x(2), QwtInterval(0, 40));
}

// Zoomed, then Options > OK: a tick's label stands over the tick's grid line.
void tst_RidePlots::axisStaysAlignedThroughOptions()
{
    zoomer(0)->zoom(QRectF(3, 0, 31, 100));
    whenModal<OptionsDialog>([](OptionsDialog *dialog) { dialog->accept(); });
    window.findChild<QAction *>(QStringLiteral("actionOptions"))->trigger();
    QwtPlot *bottom = plot(2);
    const QwtScaleWidget *axis = bottom->axisWidget(QwtPlot::xBottom);
    const auto globalX = [](const QWidget *widget, const QwtScaleMap &map, double value) {
        return widget->mapToGlobal(QPoint(qRound(map.transform(value)), 0)).x();
    };
    for (double tick : bottom->axisScaleDiv(QwtPlot::xBottom).ticks(QwtScaleDiv::MajorTick)) {
        const int onAxis = globalX(axis, axis->scaleDraw()->scaleMap(), tick);
        const int onCanvas = globalX(bottom->canvas(), bottom->canvasMap(QwtPlot::xBottom), tick);
        QVERIFY2(qAbs(onAxis - onCanvas) <= 1, qPrintable(QString("%1 %2").arg(onAxis).arg(onCanvas)));
    }
    zoomer(0)->zoom(0);
}

// Enter starts no rectangle, Escape ends one being dragged without asking to
// quit, and a dialog takes the tracker text away.
void tst_RidePlots::noStrayRubberBandOrTracker()
{
    QWidget *canvas = plot(0)->canvas();
    canvas->setFocus();
    QTest::keyClick(canvas, Qt::Key_Return);
    QVERIFY(!zoomer(0)->isActive());
    QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    QTest::mouseMove(canvas, QPoint(80, 60));
    QVERIFY(zoomer(0)->isActive());
    QPointer<QTimer> quit = answerModal<QMessageBox>([](QMessageBox *box) { box->reject(); }, [] {});
    QTest::keyClick(canvas, Qt::Key_Escape);
    QVERIFY(!zoomer(0)->isActive());
    QVERIFY(quit); // no question came
    delete quit;
    QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(80, 60));
    QCOMPARE(zoomer(0)->zoomRectIndex(), 0u);

    QTest::mouseMove(canvas, QPoint(50, 50));
    QVERIFY(zoomer(0)->trackerPosition() != QPoint(-1, -1));
    whenModal<QMessageBox>([](QMessageBox *box) { box->accept(); });
    window.findChild<QAction *>(QStringLiteral("actionAbout_VOK"))->trigger();
    QCOMPARE(zoomer(0)->trackerPosition(), QPoint(-1, -1));
}

// Thirty hours of riding with four auto-pauses: the axis runs forward to the
// last sample, the turns recorded on the second day stand where they were
// recorded, and every curve breaks at the pauses over time, not over distance.
void tst_RidePlots::rideOverADayWithPauses()
{
    RidePlan plan;
    plan.durationSeconds = 30 * 3600.0;
    plan.rateHz = 0.1;
    plan.pauses = 4;
    QTemporaryDir rideDir;
    QVERIFY(openRide(window, RideGenerator(plan).write(rideDir.path())));
    const SessionRecord &session = window.sessionRecord();
    QVERIFY(session.time.last() > 30 * 3600.0);
    QCOMPARE(plot("qwtPlotBottom")->axisScaleDiv(QwtPlot::xBottom).interval(),
             QwtInterval(0.0, session.time.last()));

    QwtPlotCurve *markers = findCurve(window, QStringLiteral("Turns"));
    QVERIFY(markers && int(markers->dataSize()) == session.turns.size());
    for (size_t i = 0; i < markers->dataSize(); ++i) { // each beside the sample it was taken at
        const double x = markers->sample(i).x();
        const auto after = std::lower_bound(session.time.cbegin(), session.time.cend(), x);
        QVERIFY(after != session.time.cend() && *after - x < 10.0 && x - *(after - 1) <= 10.0);
    }
    QVERIFY(markers->sample(markers->dataSize() - 1).x() > 86400.0);

    auto *power = dynamic_cast<DenseCurve *>(findCurve(window, QStringLiteral("Power Tot (W)")));
    auto *chooser = window.findChild<QComboBox *>(QStringLiteral("xAxisComboBox"));
    QVERIFY(power && chooser && power->breaks().size() == 4);
    chooser->setCurrentIndex(1);
    QVERIFY(power->breaks().isEmpty());
}

QTEST_MAIN(tst_RidePlots)
#include "tst_rideplots.moc"
