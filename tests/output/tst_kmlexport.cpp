// File > "Export as KML" and "View in GoogleEarth" on a ride opened through
// File > Open..., with a stand-in for Google Earth that records its arguments.
#include "GuiDriver.h"

namespace {

// The document of the ride names it.
const QByteArray named = "<name>S_100407_10-30.csv</name>";

} // namespace

class tst_KmlExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(writeRide(ride, 3)); }
    void exportAs_data();
    void exportAs();
    void viewInGoogleEarth_data();
    void viewInGoogleEarth();

private:
    TemporarySettings settings;
    QTemporaryDir dir;
    const QString ride = dir.filePath(QStringLiteral("S_100407_10-30.csv"));
};

void tst_KmlExport::exportAs_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written"); // empty: nothing is
    QTest::addColumn<QString>("message");

    const QString exported = QStringLiteral("Information, KML generation: "
                                            "Data successfully exported to: %1");
    QTest::newRow("a name without suffix gets .kml") << "ride" << "ride.kml" << exported;
    QTest::newRow("a name with another suffix is kept") << "ride.txt" << "ride.txt" << exported;
    QTest::newRow("a folder that does not exist")
        << "missing/ride.kml" << ""
        << "Warning, KML generation: An un-expected error occured when generating the KML file. "
           "Please retry to export again.\nIf the proble persists, contact the support team.";
}

void tst_KmlExport::exportAs()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QFETCH(QString, message);

    QTemporaryDir target;
    MainWindow window;
    QVERIFY(openRide(window, ride));
    whenModal<QFileDialog>([&](QFileDialog *files) { choose(files, target.filePath(typed)); });
    QString shown;
    whenModal<QMessageBox>([&shown](QMessageBox *box) {
        shown = QMetaEnum::fromType<QMessageBox::Icon>().valueToKey(box->icon())
            + QStringLiteral(", %1: %2").arg(box->windowTitle(), box->text());
        box->button(QMessageBox::Ok)->click();
    });
    window.findChild<QAction *>(QStringLiteral("actionExport_as_KML"))->trigger();

    QCOMPARE(shown, written.isEmpty() ? message : message.arg(target.filePath(written)));
    QCOMPARE(QDir(target.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             written.isEmpty() ? QStringList() : QStringList(written));
    QVERIFY(written.isEmpty() || readAll(target.filePath(written)).contains(named));
}

void tst_KmlExport::viewInGoogleEarth_data()
{
    QTest::addColumn<bool>("chosen");

    QTest::newRow("Google Earth chosen in the options") << true;
    QTest::newRow("no Google Earth chosen") << false;
}

void tst_KmlExport::viewInGoogleEarth()
{
    QFETCH(bool, chosen);

    // Installed under a name with a blank, as Google Earth often is.
    QTemporaryDir install;
    const QString program = install.filePath(QStringLiteral("google earth"));
    QVERIFY(QFile::copy(QStringLiteral(VOK_FAKE_GOOGLEEARTH), program));
    const QString record = install.filePath(QStringLiteral("arguments"));
    qputenv("VOK_FAKE_GOOGLEEARTH_RECORD", QFile::encodeName(record));
    store(QStringLiteral("options/googleearth/fullpath"), chosen ? program : QString());
    MainWindow window;
    QVERIFY(openRide(window, ride));
    // The cache directory is made again when it is missing.
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    QVERIFY(QDir(cache).removeRecursively());

    window.findChild<QAction *>(QStringLiteral("actionView_in_GoogleEarth"))->trigger();
    if (!chosen) {
        QTest::qWait(500);
        QVERIFY(!QFile::exists(record));
        QVERIFY(QDir(cache).isEmpty());
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), 20000);
    const QStringList arguments = QString::fromLocal8Bit(readAll(record)).split(QLatin1Char('\n'));
    QCOMPARE(arguments.size(), 2); // the document's path, then nothing after the line end
    QCOMPARE(QFileInfo(arguments[0]).absolutePath(), QDir(cache).absolutePath());
    QVERIFY(readAll(arguments[0]).contains(named));
}

QTEST_MAIN(tst_KmlExport)
#include "tst_kmlexport.moc"
