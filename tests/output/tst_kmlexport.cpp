#include "DialogDriver.h"
#include "MainWindow.h"
#include "SampleSession.h"
#include "TemporarySettings.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

const QString warningText = QStringLiteral(
    "An un-expected error occured when generating the KML file. Please retry to export again.\n"
    "If the proble persists, contact the support team.");

// The document of the sample session, written out by hand.
QByteArray sampleDocument()
{
    return readAll(QStringLiteral(VOK_TEST_DATA_DIR "/sample_session.kml"));
}

} // namespace

class tst_KmlExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void exportsUnderTheChosenName_data();
    void exportsUnderTheChosenName();
    void cancelledExportDoesNothing();
    void unwritableTargetWarns_data();
    void unwritableTargetWarns();
    void failedExportKeepsTheExistingFile();
    void startsGoogleEarthOnTheDocument();
    void withoutGoogleEarthPathNothingStarts();

private:
    TemporarySettings settings;
    QTemporaryDir dir;
    QString sessionPath;
};

void tst_KmlExport::initTestCase()
{
    QVERIFY(dir.isValid());
    sessionPath = writeSampleSession(dir.filePath(QStringLiteral("ride")));
    QVERIFY(!sessionPath.isEmpty());
    QVERIFY(!sampleDocument().isEmpty());
}

void tst_KmlExport::exportsUnderTheChosenName_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");

    QTest::newRow("name without suffix gets .kml") << "export/ride" << "export/ride.kml";
    QTest::newRow("name with .kml is kept") << "export/ride.kml" << "export/ride.kml";
    QTest::newRow("name with another suffix is kept") << "export/ride.txt" << "export/ride.txt";
    QTest::newRow("suffix in capitals is kept") << "export/RIDE.KML" << "export/RIDE.KML";
}

void tst_KmlExport::exportsUnderTheChosenName()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);

    QTemporaryDir target;
    QVERIFY(QDir(target.path()).mkdir("export"));
    MainWindow window;
    QVERIFY(openSession(window, sessionPath));

    DialogDriver driver;
    driver.fileToChoose = target.filePath(typed);
    window.exportKML();

    QCOMPARE(driver.fileDialogs, QStringList{"Export as KML"});
    QCOMPARE(driver.messages.size(), 1);
    QCOMPARE(driver.messages[0].icon, QMessageBox::Information);
    QCOMPARE(driver.messages[0].title, QStringLiteral("KML generation"));
    QCOMPARE(driver.messages[0].text, "Data successfully exported to: " + target.filePath(written));
    QCOMPARE(readAll(target.filePath(written)), sampleDocument());
    QCOMPARE(QDir(target.filePath("export")).entryList(QDir::Files | QDir::Hidden),
             QStringList{QFileInfo(written).fileName()});
}

void tst_KmlExport::cancelledExportDoesNothing()
{
    MainWindow window;
    QVERIFY(openSession(window, sessionPath));
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    DialogDriver driver; // no file chosen: the dialog is cancelled
    window.exportKML();

    QCOMPARE(driver.fileDialogs.size(), 1);
    QVERIFY(driver.messages.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

void tst_KmlExport::unwritableTargetWarns_data()
{
    QTest::addColumn<QString>("typed");

    QTest::newRow("folder that does not exist") << "missing/ride.kml";
    QTest::newRow("folder that is a plain file") << "plain.txt/ride";
}

void tst_KmlExport::unwritableTargetWarns()
{
    QFETCH(QString, typed);

    QTemporaryDir target;
    QVERIFY(writeFile(target.filePath("plain.txt"), "plain\n"));
    MainWindow window;
    QVERIFY(openSession(window, sessionPath));

    DialogDriver driver;
    driver.fileToChoose = target.filePath(typed);
    window.exportKML();

    QCOMPARE(driver.messages.size(), 1);
    QCOMPARE(driver.messages[0].icon, QMessageBox::Warning);
    QCOMPARE(driver.messages[0].title, QStringLiteral("KML generation"));
    QCOMPARE(driver.messages[0].text, warningText);
    QCOMPARE(QDir(target.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{"plain.txt"});
    QCOMPARE(readAll(target.filePath("plain.txt")), QByteArray("plain\n"));
}

void tst_KmlExport::failedExportKeepsTheExistingFile()
{
#ifdef Q_OS_UNIX
    QTemporaryDir target;
    const QString path = target.filePath("ride.kml");
    const QByteArray old = "<kml>last week's ride</kml>";
    QVERIFY(writeFile(path, old));
    MainWindow window;
    QVERIFY(openSession(window, sessionPath));

    // The write fails half-way, as on a full disk (a file size limit stops
    // root as well as anyone else).
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 200;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    DialogDriver driver;
    driver.fileToChoose = path;
    window.exportKML();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    // The file dialog asked before replacing; then the export failed.
    QCOMPARE(driver.messages.size(), 2);
    QVERIFY(driver.messages[0].text.contains(QLatin1String("already exists")));
    QCOMPARE(driver.messages[1].icon, QMessageBox::Warning);
    QCOMPARE(driver.messages[1].text, warningText);
    QCOMPARE(readAll(path), old);
    QCOMPARE(QDir(target.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{"ride.kml"});
#else
    QSKIP("needs a file size limit (setrlimit)");
#endif
}

void tst_KmlExport::startsGoogleEarthOnTheDocument()
{
    // Installed under a path with blanks, as Google Earth often is.
    QTemporaryDir install;
    QVERIFY(QDir(install.path()).mkdir("Google Earth Pro"));
    const QString program = install.filePath("Google Earth Pro/google earth");
    QVERIFY(QFile::copy(QStringLiteral(VOK_FAKE_GOOGLEEARTH), program));
    QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
    QTemporaryDir record;
    qputenv("VOK_FAKE_GOOGLEEARTH_RECORD", QFile::encodeName(record.path()));

    settings.clear();
    QSettings().setValue("options/googleearth/fullpath", program);
    MainWindow window;
    QCOMPARE(window.optionsRecord().googleEarthPath, program);
    QVERIFY(openSession(window, sessionPath));

    // The cache directory is made when it is missing.
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    QVERIFY(QDir(cache).removeRecursively());
    const QString document = cache + QStringLiteral("/tmp.kml");

    DialogDriver driver;
    window.viewInGoogleEarth();
    QVERIFY(driver.messages.isEmpty());
    QCOMPARE(readAll(document), sampleDocument());

    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record.filePath("done")), 20000);
    QCOMPARE(QString::fromLocal8Bit(readAll(record.filePath("arguments.txt"))), document + "\n");
    QCOMPARE(readAll(record.filePath("document.kml")), sampleDocument());
    settings.clear();
}

void tst_KmlExport::withoutGoogleEarthPathNothingStarts()
{
    QTemporaryDir record;
    qputenv("VOK_FAKE_GOOGLEEARTH_RECORD", QFile::encodeName(record.path()));
    settings.clear();
    MainWindow window;
    QVERIFY(window.optionsRecord().googleEarthPath.isEmpty());
    QVERIFY(openSession(window, sessionPath));
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    QVERIFY(QDir(cache).removeRecursively());

    DialogDriver driver;
    window.viewInGoogleEarth();
    QTest::qWait(300);

    QVERIFY(driver.messages.isEmpty());
    QVERIFY(!QFile::exists(cache + QStringLiteral("/tmp.kml")));
    QVERIFY(QDir(record.path()).isEmpty());
}

QTEST_MAIN(tst_KmlExport)
#include "tst_kmlexport.moc"
