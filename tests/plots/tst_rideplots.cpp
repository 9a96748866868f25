// The session plots in the main window, on a ride opened through File > Open...
#include "DenseCurve.h"
#include "GuiDriver.h"
#include "RideGenerator.h"
#include "TurnDialog.h"

#include <QComboBox>

class tst_RidePlots : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void doubleClickedMarkerOpensItsTurn();
    void rideOverADayWithPauses();

private:
    QwtPlot *plot(const char *name) { return window.findChild<QwtPlot *>(QLatin1String(name)); }

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
