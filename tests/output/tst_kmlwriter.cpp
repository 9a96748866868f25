#include "ExternalTools.h"
#include "KmlWriter.h"
#include "RideGenerator.h"
#include "SessionRecord.h"
#include "TestFiles.h"

#include <QtTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

// track: longitude, latitude, height (tens of metres) per sample; photos: one per sample.
void fillSession(SessionRecord &session, const QString &fileName, const QDateTime &start,
                 const QVector<double> &track, const QStringList &photos)
{
    session.fileName = fileName;
    session.startDateTime = start;
    for (int i = 0; i + 2 < track.size(); i += 3) {
        session.time.append(i / 3);
        session.longitude.append(track[i]);
        session.latitude.append(track[i + 1]);
        session.height.append(track[i + 2]);
    }
    for (int i = 0; i < photos.size(); ++i)
        session.photos.insert(i, photos[i]);
    session.setXChannel(SessionRecord::TimeChannel);
}

// The OGC schema lies in shared/ beside the repository, or beside the folder of work trees.
QString schemaPath()
{
    const QString schema = VOK_SOURCE_DIR "/../shared/kml-schema/ogckml22.xsd";
    return QFile::exists(schema) ? schema : VOK_SOURCE_DIR "/../../shared/kml-schema/ogckml22.xsd";
}

// The first group of each match of pattern in the document.
QStringList captures(const QString &document, const QString &pattern)
{
    QStringList found;
    const QRegularExpression expression(pattern, QRegularExpression::DotMatchesEverythingOption);
    for (auto it = expression.globalMatch(document); it.hasNext();)
        found << it.next().captured(1);
    return found;
}

QStringList trackTuples(const QString &document)
{
    return captures(document, "<LineString>.*?<coordinates>([^<]*)<")
        .value(0)
        .split(' ', Qt::SkipEmptyParts);
}

QStringList photoTuples(const QString &document)
{
    return captures(document, "<Point>\\s*<coordinates>([^<]*)<");
}

// An element of the LookAt; not a number without one.
double lookAt(const QString &document, const QString &name)
{
    return captures(document, "<LookAt>.*<" + name + ">([^<]*)<").value(0, "nan").toDouble();
}

constexpr double metresPerDegree = 111195.0;

} // namespace

// The KML document: its bytes, what other programs read in it, failed writes.
class tst_KmlWriter : public QObject
{
    Q_OBJECT

private slots:
    void document_data() { addRides(); }
    void document();
    void readByOtherPrograms_data() { addRides(); }
    void readByOtherPrograms();
    void numbers_data();
    void numbers();
    void samplesWithoutFix();
    void generatedRideToTheCentimetre();
    void markupInTexts_data();
    void markupInTexts();
    void failedWriteKeepsTheOldFile_data();
    void failedWriteKeepsTheOldFile();

private:
    void addRides();
    QString writeRowSession();

    QTemporaryDir dir;
};

void tst_KmlWriter::addRides()
{
    QTest::addColumn<QString>("expectedFile"); // in data/, written by hand from the template
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QVector<double>>("track");
    QTest::addColumn<QStringList>("photos");

    const QVector<double> track{11.123456, 45.678912, 35.2, 11.12352, 45.67893, 35.3,
                                11.1236, 45.679, 3.52};
    QTest::newRow("ride without samples, from a file with the two-digit year 10")
        << "ride_without_samples.kml" << "S_100407_10-30.csv"
        << QDateTime(QDate(10, 4, 7), QTime(10, 30, 15)) << QVector<double>() << QStringList();
    QTest::newRow("ride with photos on the first and the last sample")
        << "ride_with_photos.kml" << "S_091231_23-59.csv"
        << QDateTime(QDate(2009, 12, 31), QTime(23, 59, 59)) << track
        << QStringList{"IMG_0001.jpg", "", "photos/IMG 0002.jpg"};
    QTest::newRow("markup and markers in the file name and the photo reference")
        << "ride_with_markup_in_names.kml" << "S_a&b<c>d]]>%2%1.csv"
        << QDateTime(QDate(2010, 4, 7), QTime(10, 30, 15))
        << QVector<double>{9.5, 45.0, 0.0} << QStringList{"x&y<z>]]>%1%2.jpg"};
}

QString tst_KmlWriter::writeRowSession()
{
    QFETCH(QString, fileName);
    QFETCH(QDateTime, start);
    QFETCH(QVector<double>, track);
    QFETCH(QStringList, photos);
    SessionRecord session;
    fillSession(session, fileName, start, track, photos);
    const QString path = dir.filePath(QTest::currentDataTag() + QStringLiteral(".kml"));
    return writeKml(session, path) ? path : QString();
}

void tst_KmlWriter::document()
{
    QFETCH(QString, expectedFile);
    const QByteArray expected = readAll(QStringLiteral(VOK_TEST_DATA_DIR "/") + expectedFile);
    QCOMPARE(QString::fromUtf8(readAll(writeRowSession())).split('\n'),
             QString::fromUtf8(expected).split('\n'));
}

void tst_KmlWriter::readByOtherPrograms()
{
    QFETCH(QString, fileName);
    QFETCH(QVector<double>, track);
    QFETCH(QStringList, photos);
    VOK_REQUIRE_TOOL(xmllint, "xmllint");
    VOK_REQUIRE_TOOL(ogrinfo, "ogrinfo");
    VOK_REQUIRE(QFile::exists(schemaPath()), "the OGC KML schema is not in shared/kml-schema");
    const QString path = writeRowSession();

    const ToolRun lint = runTool(xmllint, {"--noout", "--nonet", "--schema", schemaPath(), path});
    QVERIFY2(lint.exitCode == 0 && lint.errors.contains("validates"), qPrintable(lint.errors));

    // GDAL finds the name, a line through all samples, a point and balloon per photo.
    const ToolRun gdal = runTool(ogrinfo, {"-ro", "-al", path});
    const QString &out = gdal.output;
    QVERIFY2(gdal.exitCode == 0 && out.contains("Layer name: " + fileName + '\n'),
             qPrintable(out));
    const QRegularExpression line("^  LINESTRING(?: Z)? (EMPTY|\\(([^)]*)\\))$",
                                  QRegularExpression::MultilineOption);
    QCOMPARE(out.count(line), 1);
    QCOMPARE(line.match(out).captured(2).split(',', Qt::SkipEmptyParts).size(), track.size() / 3);
    for (const QString &photo : photos)
        QCOMPARE(out.count("<img src=\"" + photo + "\" width=\"240\">\n"), int(!photo.isEmpty()));
    const QRegularExpression point("^  POINT(?: Z)? \\(", QRegularExpression::MultilineOption);
    QCOMPARE(out.count(point), photos.size() - photos.count(QString()));
}

void tst_KmlWriter::numbers_data()
{
    using Sample = QVector<double>; // longitude, latitude, height in tens of metres
    QTest::addColumn<Sample>("sample");
    QTest::addColumn<QString>("tuple");

    QTest::newRow("six digits, as ever") << Sample{11.1235, 45.6789, 35.2} << "11.1235,45.6789,352";
    QTest::newRow("trailing zeros and point dropped") << Sample{11.5, 46.0, 0.0} << "11.5,46,0";
    QTest::newRow("east of 100 E: seven decimals")
        << Sample{121.4737019, 31.2304567, 0.43} << "121.4737019,31.2304567,4.3";
    QTest::newRow("rounded at the eighth decimal")
        << Sample{121.47370194, 31.23045676, 1.0} << "121.4737019,31.2304568,10";
    QTest::newRow("west and south are negative")
        << Sample{-122.4194155, -33.8688197, 1.5} << "-122.4194155,-33.8688197,15";
    QTest::newRow("altitude to a decimetre") << Sample{9.5, 45.0, 35.23} << "9.5,45,352.3";
    QTest::newRow("below the sea") << Sample{9.5, 45.0, -0.25} << "9.5,45,-2.5";
    QTest::newRow("a hair from zero: 0, not -0 or 1e-09") << Sample{1e-9, 45.0, -1e-9} << "0,45,0";
    QTest::newRow("large, without an exponent") << Sample{11.0, 45.0, 123456.7} << "11,45,1234567";
    QTest::newRow("on the equator") << Sample{11.5, 0.0, 0.0} << "11.5,0,0";
    QTest::newRow("on the prime meridian") << Sample{0.0, 51.4779, 0.0} << "0,51.4779,0";
}

void tst_KmlWriter::numbers()
{
    QFETCH(QVector<double>, sample);
    QFETCH(QString, tuple);
    SessionRecord session;
    fillSession(session, "S.csv", QDateTime(), sample, {"p.jpg"});
    const QString document = kmlDocument(session);
    QCOMPARE(trackTuples(document), QStringList(tuple));
    QCOMPARE(photoTuples(document), QStringList(tuple));
}

// A sample at longitude 0 and latitude 0 was recorded without a fix.
void tst_KmlWriter::samplesWithoutFix()
{
    SessionRecord session;
    fillSession(session, "S.csv", QDateTime(QDate(2010, 4, 7), QTime(10, 30)),
                {11.5, 46.0, 20.0, 0.0, 0.0, 21.0, 11.6, 46.1, 22.0, 0.0, 0.0, 23.0},
                {"", "lost.jpg", "found.jpg", "lost too.jpg"});
    const QString document = kmlDocument(session);
    QCOMPARE(trackTuples(document), QStringList({"11.5,46,200", "11.6,46.1,220"}));
    QCOMPARE(photoTuples(document), QStringList({"11.6,46.1,220"}));
    QCOMPARE(lookAt(document, "longitude"), 11.55);
    QCOMPARE(lookAt(document, "latitude"), 46.05);

    // Without any fix, the document of a ride without samples.
    SessionRecord lost, empty;
    fillSession(lost, "S.csv", session.startDateTime, {0.0, 0.0, 20.0, 0.0, 0.0, 21.0},
                {"a.jpg"});
    fillSession(empty, "S.csv", session.startDateTime, {}, {});
    QCOMPARE(kmlDocument(lost), kmlDocument(empty));
    QVERIFY(qIsNaN(lookAt(kmlDocument(empty), "range")));
}

// A ride near Shanghai as the power meter records it, with pauses and
// stretches without a fix: every position comes back to the centimetre, the
// view looks straight down on the middle of the track from far enough to see
// all of it, and the document's other readers find every point.
void tst_KmlWriter::generatedRideToTheCentimetre()
{
    RidePlan plan;
    plan.durationSeconds = 2 * 3600.0;
    plan.centreLongitude = 121.47;
    plan.centreLatitude = 31.23;
    plan.coordinateDecimals = 7;
    plan.pauses = 6;
    plan.runsWithoutFix = 3;
    plan.photos = 40;
    QTemporaryDir rideDir;
    SessionRecord session;
    QVERIFY(session.read(RideGenerator(plan).write(rideDir.path())));
    session.setXChannel(SessionRecord::TimeChannel); // as the window does after a read
    const QString path = dir.filePath("shanghai.kml");
    QVERIFY(writeKml(session, path));
    const QString document = QString::fromUtf8(readAll(path));

    const QStringList tuples = trackTuples(document);
    int next = 0;
    double largest = 0.0;
    QRectF box; // longitude across, latitude down
    for (int i = 0; i < session.sampleCount(); ++i) {
        if (session.longitude[i] == 0.0 && session.latitude[i] == 0.0)
            continue;
        box |= QRectF(session.longitude[i], session.latitude[i], 1e-12, 1e-12);
        QVERIFY(next < tuples.size());
        const QStringList values = tuples[next++].split(',');
        QCOMPARE(values.size(), 3);
        const double north = (values[1].toDouble() - session.latitude[i]) * metresPerDegree;
        const double east = (values[0].toDouble() - session.longitude[i]) * metresPerDegree
                            * std::cos(qDegreesToRadians(session.latitude[i]));
        largest = std::max({largest, std::hypot(north, east),
                            qAbs(values[2].toDouble() - 10.0 * session.height[i])});
    }
    QCOMPARE(next, tuples.size());
    QVERIFY(tuples.size() < session.sampleCount());
    qInfo("%d of %d samples have a position; the largest error is %.4f m", int(tuples.size()),
          session.sampleCount(), largest);
    QVERIFY(largest <= 0.01);

    QVERIFY(qAbs(lookAt(document, "longitude") - box.center().x()) <= 1e-7);
    QVERIFY(qAbs(lookAt(document, "latitude") - box.center().y()) <= 1e-7);
    QCOMPARE(lookAt(document, "tilt"), 0.0);
    const double extent = metresPerDegree * std::max(box.height(), box.width()
                                                     * std::cos(qDegreesToRadians(31.23)));
    const double range = lookAt(document, "range");
    QVERIFY2(range >= 1.5 * extent && range <= 2.0 * extent, qPrintable(QString::number(range)));

    VOK_REQUIRE_TOOL(xmllint, "xmllint");
    VOK_REQUIRE_TOOL(ogrinfo, "ogrinfo");
    VOK_REQUIRE_TOOL(gpsbabel, "gpsbabel");
    VOK_REQUIRE(QFile::exists(schemaPath()), "the OGC KML schema is not in shared/kml-schema");
    const ToolRun lint = runTool(xmllint, {"--noout", "--nonet", "--schema", schemaPath(), path});
    QVERIFY2(lint.exitCode == 0 && lint.errors.contains("validates"), qPrintable(lint.errors));
    const ToolRun gdal = runTool(ogrinfo, {"-ro", "-al", path});
    const QRegularExpression line("^  LINESTRING(?: Z)? \\(([^)]*)\\)$",
                                  QRegularExpression::MultilineOption);
    QCOMPARE(gdal.output.count(line), 1);
    QCOMPARE(line.match(gdal.output).captured(1).count(',') + 1, tuples.size());
    const ToolRun babel = runTool(gpsbabel, {"-t", "-i", "kml", "-f", path, "-o", "unicsv", "-F", "-"});
    QCOMPARE(babel.exitCode, 0);
    QCOMPARE(babel.output.split('\n', Qt::SkipEmptyParts).size() - 1, tuples.size()); // a header
}

void tst_KmlWriter::markupInTexts_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("photo");
    QTest::addColumn<QString>("readName"); // what an XML parser reads back
    QTest::addColumn<QString>("readPhoto");

    const QString bad(QChar(0xFFFD));
    QTest::newRow("ampersand, angle brackets, a carriage return, something like a reference")
        << "a&b<c>\rd&amp;.csv" << "p&q<r>s&lt;.jpg" << "a&b<c>\rd&amp;.csv" << "p&q<r>s&lt;.jpg";
    QTest::newRow("CDATA ends in the photo reference")
        << "S.csv" << "]]>a]]]>]]>" << "S.csv" << "]]>a]]]>]]>";
    QTest::newRow("what XML cannot hold: control characters, lone surrogates, non-characters")
        << QStringLiteral("S\x01_\x1f.csv") + QChar(0xD800)
        << QString(QChar(0xDC00)) + QChar(0xFFFE) << "S" + bad + "_" + bad + ".csv" + bad
        << bad + bad;
    QTest::newRow("letters beyond ASCII, in UTF-8")
        << QStringLiteral("Giro d’Italia ü 日本 \U0001F6B2.csv") << QStringLiteral("façade.jpg")
        << QStringLiteral("Giro d’Italia ü 日本 \U0001F6B2.csv") << QStringLiteral("façade.jpg");
}

void tst_KmlWriter::markupInTexts()
{
    QFETCH(QString, fileName);
    QFETCH(QString, photo);
    QFETCH(QString, readName);
    QFETCH(QString, readPhoto);
    SessionRecord session;
    fillSession(session, fileName, QDateTime(), {9.5, 45.0, 0.0}, {photo});
    const QString path = dir.filePath(QStringLiteral("markup.kml"));
    QVERIFY(writeKml(session, path));

    QStringList names, descriptions;
    QXmlStreamReader xml(readAll(path));
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("name"))
            names << xml.readElementText();
        else if (xml.isStartElement() && xml.name() == QLatin1String("description"))
            descriptions << xml.readElementText();
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(names, QStringList({readName, "VOK session path started at " + readName, "Foto n"}));
    QCOMPARE(descriptions.value(2), "<img src=\"" + readPhoto + "\" width=\"240\">");
}

void tst_KmlWriter::failedWriteKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("target"); // beside old.kml and a directory folder.kml
    QTest::addColumn<int>("fileSizeLimit"); // bytes, as a full disk would stop; 0: none
    QTest::addColumn<int>("samples");
    QTest::addColumn<bool>("written");

    QTest::newRow("a longer old file is replaced completely") << "old.kml" << 0 << 3 << true;
    QTest::newRow("a target that is a directory") << "folder.kml" << 0 << 3 << false;
    // A short document stays in the write buffer until the file is closed.
    QTest::newRow("a short document failing as the file is closed")
        << "old.kml" << 256 << 3 << false;
    QTest::newRow("a long document failing as it is written") << "old.kml" << 256 << 5000 << false;
}

void tst_KmlWriter::failedWriteKeepsTheOldFile()
{
    QFETCH(QString, target);
    QFETCH(int, fileSizeLimit);
    QFETCH(int, samples);
    QFETCH(bool, written);
    QTemporaryDir base;
    const QByteArray old(10000, 'x');
    QVERIFY(writeFile(base.filePath("old.kml"), old) && QDir(base.path()).mkdir("folder.kml"));
    SessionRecord session;
    fillSession(session, "S.csv", QDateTime(), QVector<double>(3 * samples, 11.5), {"p.jpg"});
#ifndef Q_OS_UNIX
    QSKIP("needs a file size limit (setrlimit)");
#else
    // The limit stops root as well as anyone else.
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limited = saved;
    limited.rlim_cur = fileSizeLimit > 0 ? rlim_t(fileSizeLimit) : saved.rlim_cur;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool result = writeKml(session, base.filePath(target));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    QCOMPARE(result, written);
    QCOMPARE(readAll(base.filePath("old.kml")), written ? kmlDocument(session).toUtf8() : old);
    QCOMPARE(QDir(base.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList({"folder.kml", "old.kml"}));
#endif
}

QTEST_GUILESS_MAIN(tst_KmlWriter)
#include "tst_kmlwriter.moc"
