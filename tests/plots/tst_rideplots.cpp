// The session plots in the main window, on a ride opened through File > Open...
#include "GuiDriver.h"
#include "TurnDialog.h"

class tst_RidePlots : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void doubleClickedMarkerOpensItsTurn();

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

QTEST_MAIN(tst_RidePlots)
#include "tst_rideplots.moc"
