// File > "Open...": a ride the reader rejects brings the "Read error" box, and
// the window shows what the reader left, as after a good ride.
#include "GuiDriver.h"

namespace {

const QStringList channelTitles = {"Power Left (W)",    "Power Right (W)",   "Power Tot (W)",
                                   "Offset Left (mm)",  "Offset Right (mm)", "Up/Down Left (%)",
                                   "Up/Down Right (%)", "Height (x 10m)",    "Speed (Km/h)",
                                   "Heart Rate (PPM)",  "Cadenza (ped/min)"};

// The channel curves that do not draw the record's samples: more points than
// the channel holds, or other values.
QStringList staleCurves(MainWindow &window)
{
    QStringList stale;
    for (int channel = 0; channel < channelTitles.size(); ++channel) {
        const QwtPlotCurve *curve = findCurve(window, channelTitles[channel]);
        const QVector<double> &values = *window.sessionRecord().channel(channel);
        const int size = int(curve->dataSize());
        bool same = size <= values.size();
        for (int i = 0; same && i < size; ++i)
            same = curve->sample(i).y() == values[i];
        if (!same)
            stale << channelTitles[channel];
    }
    return stale;
}

} // namespace

class TestFileOpening : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }
    void rejectedRide_data();
    void rejectedRide();

private:
    TemporarySettings settings;
    QTemporaryDir files;
};

void TestFileOpening::rejectedRide_data()
{
    QTest::addColumn<bool>("goodFirst");
    QTest::addColumn<int>("samples"); // of the rejected ride, which has no separator line

    QTest::newRow("a ride without samples in a new window") << false << 0;
    QTest::newRow("a shorter ride after a good one") << true << 3;
    // Growing the arrays past the good ride's capacity moves them: the good
    // ride's storage is freed while the curves may still point into it.
    QTest::newRow("a longer ride after a good one") << true << 5000;
}

// While the box is up, the plots repaint; they must find their curves
// drawing what the record holds now.
void TestFileOpening::rejectedRide()
{
    QFETCH(bool, goodFirst);
    QFETCH(int, samples);
    const QString good = files.filePath("good.csv"), bad = files.filePath("bad.csv");
    QVERIFY(writeRide(good, 200) && writeRide(bad, samples, false));
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    if (goodFirst) {
        QPointer<QTimer> noBox = answerModal<QMessageBox>([](QMessageBox *box) {
            box->close();
            QFAIL("a good ride brought a message box");
        });
        QVERIFY(openRide(window, good));
        delete noBox;
        QCOMPARE(findCurve(window, "Speed (Km/h)")->dataSize(), size_t(200));
    }

    QString message;
    QStringList staleWhileShown;
    whenModal<QMessageBox>([&](QMessageBox *box) {
        message = box->windowTitle() + ": " + box->text();
        staleWhileShown = staleCurves(window);
        for (QwtPlot *plot : window.findChildren<QwtPlot *>()) {
            plot->replot();
            plot->grab();
        }
        box->button(QMessageBox::Ok)->click();
    });
    QVERIFY(openRide(window, bad));
    QCOMPARE(message,
             "Read error: The selected dataset could not be loaded:\n--> unknown file format");
    QCOMPARE(staleWhileShown, QStringList());
    QCOMPARE(staleCurves(window), QStringList());
    QCOMPARE(findCurve(window, "Speed (Km/h)")->dataSize(), size_t(samples));
    QCOMPARE(window.windowTitle(), "VOK - " + bad);
    for (const char *name : {"xAxisComboBox", "actionExport_as_KML", "actionView_in_GoogleEarth",
                             "actionPrint", "actionPrint_preview", "actionPrint_as_pdf"})
        QVERIFY2(window.findChild<QObject *>(name)->property("enabled").toBool(), name);
}

QTEST_MAIN(TestFileOpening)
#include "tst_fileopening.moc"
