// The ride as TCX and GPX: the documents, what other programs read in them,
// the moments written, failed writes.
#include "ExternalTools.h"
#include "GpxWriter.h"
#include "RideExport.h"
#include "RideGenerator.h"
#include "RideTime.h"
#include "SessionRecord.h"
#include "TcxWriter.h"
#include "TestFiles.h"

#include <cmath>

Q_DECLARE_METATYPE(RideExport::Format)

class tst_ExchangeFormats : public QObject
{
    Q_OBJECT

private slots:
    void moments_data();
    void moments();
    void document_data();
    void document();
    void readByOtherPrograms_data();
    void readByOtherPrograms();
    void failedWriteKeepsTheOldFile_data() { formats(); }
    void failedWriteKeepsTheOldFile();

private:
    static void formats();
    QTemporaryDir dir;
};

void tst_ExchangeFormats::formats()
{
    QTest::addColumn<RideExport::Format>("format");
    QTest::newRow("TCX") << RideExport::Tcx;
    QTest::newRow("GPX") << RideExport::Gpx;
}

// The tests run in central European time (CMakeLists.txt).
void tst_ExchangeFormats::moments_data()
{
    QTest::addColumn<QDateTime>("start"); // as the session file gives it
    QTest::addColumn<double>("elapsed");
    QTest::addColumn<QString>("moment");

    const QDateTime april10(QDate(10, 4, 7), QTime(10, 30, 15));
    QTest::newRow("year 10 is 2010, in summer time")
        << april10 << 0.0 << "2010-04-07T10:30:15+02:00";
    QTest::newRow("past a day") << april10 << 95400.0 << "2010-04-08T13:00:15+02:00";
    QTest::newRow("in winter time")
        << QDateTime(QDate(99, 1, 2), QTime(8, 0)) << 61.0 << "2099-01-02T08:01:01+01:00";
    QTest::newRow("through the change to summer time")
        << QDateTime(QDate(10, 3, 28), QTime(1, 30)) << 3600.0 << "2010-03-28T03:30:00+02:00";
    QTest::newRow("a four-digit year stays") << QDateTime(QDate(2021, 7, 1), QTime(6, 0)) << 0.5
                                             << "2021-07-01T06:00:00.500+02:00";
    QTest::newRow("not a number of seconds is the start") << april10 << double(NAN)
                                                          << "2010-04-07T10:30:15+02:00";
    QTest::newRow("no start time") << QDateTime() << 60.0 << "1970-01-01T00:01:00Z";
}

void tst_ExchangeFormats::moments()
{
    QFETCH(QDateTime, start);
    QFETCH(double, elapsed);
    QTEST(RideTime(start).textAt(elapsed), "moment");
}

void tst_ExchangeFormats::document_data()
{
    formats();
}

// Four samples: one without a fix and without heart rate, then a pause of
// five minutes and a sample whose cadence and power the formats cannot hold.
void tst_ExchangeFormats::document()
{
    QFETCH(RideExport::Format, format);
    SessionRecord session;
    session.fileName = QStringLiteral("S_100407_10-30 & more.csv");
    session.startDateTime = QDateTime(QDate(10, 4, 7), QTime(10, 30, 15));
    session.time = {0, 1, 2, 300};
    session.longitude = {11.1234567, 0, 11.1234612, 11.13};
    session.latitude = {46.0712345, 0, 46.0712401, 46.08};
    session.height = {35.2, 35.3, 35.25, 36};
    session.space = {0, 0.007, 0.014, 2.1};
    session.heartRate = {118, NAN, 120, 95.5};
    session.cadence = {84, 85, 0, 255};
    session.powerTot = {212.4, 220.6, 0, -3};
    const QString path = dir.filePath(QStringLiteral("small"));
    QVERIFY(RideExport::write(session, format, path));
    const QString expected = format == RideExport::Tcx ? "small_ride.tcx" : "small_ride.gpx";
    QCOMPARE(QString::fromUtf8(readAll(path)).split('\n'),
             QString::fromUtf8(readAll(VOK_TEST_DATA_DIR "/" + expected)).split('\n'));
}

void tst_ExchangeFormats::readByOtherPrograms_data()
{
    formats();
}

// Two hours with pauses and stretches without a fix: gpsbabel reads every
// point that has a position, with its time; GDAL reads the GPX track points
// with their times and elevations.
void tst_ExchangeFormats::readByOtherPrograms()
{
    QFETCH(RideExport::Format, format);
    VOK_REQUIRE_TOOL(xmllint, "xmllint");
    VOK_REQUIRE_TOOL(gpsbabel, "gpsbabel");
    VOK_REQUIRE_TOOL(ogrinfo, "ogrinfo");
    RidePlan plan;
    plan.durationSeconds = 2 * 3600.0;
    plan.pauses = 3;
    plan.runsWithoutFix = 2;
    QTemporaryDir rideDir;
    SessionRecord session;
    QVERIFY(session.read(RideGenerator(plan).write(rideDir.path())));
    int positions = 0;
    for (int i = 0; i < session.time.size(); ++i)
        positions += session.hasPosition(i);
    QVERIFY(positions < session.time.size());
    const QString path = dir.filePath(format == RideExport::Tcx ? "ride.tcx" : "ride.gpx");
    QVERIFY(RideExport::write(session, format, path));

    const ToolRun lint = runTool(xmllint, {"--noout", path});
    QVERIFY2(lint.exitCode == 0, qPrintable(lint.errors));
    QCOMPARE(readAll(path).count(format == RideExport::Tcx ? "<Trackpoint>" : "<trkpt "),
             format == RideExport::Tcx ? session.time.size() : positions);

    const char *input = format == RideExport::Tcx ? "gtrnctr" : "gpx";
    const ToolRun babel = runTool(gpsbabel, {"-t", "-i", input, "-f", path, "-o", "unicsv", "-F", "-"});
    QVERIFY2(babel.exitCode == 0, qPrintable(babel.errors));
    QStringList rows = QString(babel.output).remove('\r').split('\n', Qt::SkipEmptyParts);
    QVERIFY(rows.value(0).endsWith(",Date,Time"));
    rows.removeFirst();
    QCOMPARE(rows.size(), positions);
    QCOMPARE(rows.first().section(',', -2), QStringLiteral("2010/04/07,10:30:15"));
    QVERIFY(rows.filter(QRegularExpression(",\\d{4}/\\d\\d/\\d\\d,\\d\\d:\\d\\d:\\d\\d$")).size()
            == positions);

    if (format == RideExport::Gpx) {
        const ToolRun gdal = runTool(ogrinfo, {"-ro", path, "-sql",
                                               "SELECT COUNT(*) FROM track_points "
                                               "WHERE time IS NOT NULL AND ele IS NOT NULL"});
        QVERIFY2(gdal.output.contains(QStringLiteral("= %1\n").arg(positions)),
                 qPrintable(gdal.output + gdal.errors));
    }
}

// A directory in the way: nothing written, nothing left behind.
void tst_ExchangeFormats::failedWriteKeepsTheOldFile()
{
    QFETCH(RideExport::Format, format);
    QTemporaryDir base;
    QVERIFY(QDir(base.path()).mkdir("ride"));
    QVERIFY(!RideExport::write(SessionRecord(), format, base.filePath("ride")));
    QCOMPARE(QDir(base.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList("ride"));
}

QTEST_GUILESS_MAIN(tst_ExchangeFormats)
#include "tst_exchangeformats.moc"
