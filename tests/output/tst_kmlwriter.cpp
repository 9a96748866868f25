#include "ExternalTools.h"
#include "KmlWriter.h"
#include "SessionRecord.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

enum class Ride { WithoutSamples, WithoutPhotos, WithPhotos, MarkupInNames };

void appendSample(SessionRecord &session, double longitude, double latitude, double height)
{
    session.time.append(session.time.size());
    session.space.append(0.007 * session.space.size());
    session.longitude.append(longitude);
    session.latitude.append(latitude);
    session.height.append(height);
}

// The rides behind the hand-written documents in data/.
void fillRide(SessionRecord &session, Ride ride)
{
    session.reset();
    session.fileName = QStringLiteral("S_100407_10-30.csv");
    session.startDateTime = QDateTime(QDate(2010, 4, 7), QTime(10, 30, 15));
    switch (ride) {
    case Ride::WithoutSamples:
        // As the reader leaves it: the file's two-digit year is the year number.
        session.startDateTime = QDateTime(QDate(10, 4, 7), QTime(10, 30, 15));
        break;
    case Ride::WithPhotos:
        session.fileName = QStringLiteral("S_091231_23-59.csv");
        session.startDateTime = QDateTime(QDate(2009, 12, 31), QTime(23, 59, 59));
        session.photos.insert(2, QStringLiteral("photos/IMG 0002.jpg"));
        session.photos.insert(0, QStringLiteral("IMG_0001.jpg"));
        Q_FALLTHROUGH();
    case Ride::WithoutPhotos:
        appendSample(session, 11.123456, 45.678912, 35.2);
        appendSample(session, 11.12352, 45.67893, 35.3);
        appendSample(session, 11.1236, 45.679, 3.52);
        // A sample line with an empty 20th field leaves an empty reference.
        session.photos.insert(1, QString());
        break;
    case Ride::MarkupInNames:
        session.fileName = QStringLiteral("S_a&b<c>d]]>%2%1.csv");
        appendSample(session, 9.5, 45.0, 0.0);
        session.photos.insert(0, QStringLiteral("x&y<z>]]>%1%2.jpg"));
        break;
    }
    session.setXChannel(SessionRecord::TimeChannel);
}

// The OGC schema lies in shared/ beside the repository (CI) or beside the
// folder of work trees.
QString kmlSchemaPath()
{
    for (const char *relative : {"/../shared/kml-schema/ogckml22.xsd",
                                 "/../../shared/kml-schema/ogckml22.xsd"}) {
        const QString path = QDir::cleanPath(QStringLiteral(VOK_SOURCE_DIR) + QLatin1String(relative));
        if (QFile::exists(path))
            return path;
    }
    return QString();
}

// What an XML parser makes of a written document.
struct ParsedKml {
    QString error;
    QStringList names;        // every <name>, in document order
    QStringList descriptions; // every <description>
};

ParsedKml parseKml(const QByteArray &bytes)
{
    ParsedKml parsed;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("name"))
            parsed.names << xml.readElementText();
        else if (xml.isStartElement() && xml.name() == QLatin1String("description"))
            parsed.descriptions << xml.readElementText();
    }
    if (xml.hasError())
        parsed.error = xml.errorString();
    return parsed;
}

} // namespace

Q_DECLARE_METATYPE(Ride)

class tst_KmlWriter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void writesTheTemplate_data();
    void writesTheTemplate();
    void validatesAgainstTheKmlSchema_data();
    void validatesAgainstTheKmlSchema();
    void readsBackWithGdal_data();
    void readsBackWithGdal();
    void coordinateTuples_data();
    void coordinateTuples();
    void trackFollowsTheXData();
    void photosOutsideTheTrackAreLeftOut();
    void staysWellFormed_data();
    void staysWellFormed();
    void replacesAnExistingFileCompletely();
    void reportsUnwritableTargets_data();
    void reportsUnwritableTargets();
    void failedWriteKeepsTheOldFile_data();
    void failedWriteKeepsTheOldFile();

private:
    void addRides();
    QString writeRide(Ride ride);

    QTemporaryDir dir;
};

void tst_KmlWriter::initTestCase()
{
    QVERIFY(dir.isValid());
}

void tst_KmlWriter::addRides()
{
    QTest::addColumn<Ride>("ride");
    QTest::addColumn<QString>("expectedFile");
    QTest::addColumn<QString>("layerName");
    QTest::addColumn<int>("points");
    QTest::addColumn<QStringList>("photoDescriptions");

    QTest::newRow("ride without samples")
        << Ride::WithoutSamples << "ride_without_samples.kml" << "S_100407_10-30.csv" << 0
        << QStringList();
    QTest::newRow("ride without photo references")
        << Ride::WithoutPhotos << "ride_without_photos.kml" << "S_100407_10-30.csv" << 3
        << QStringList();
    QTest::newRow("ride with two photos")
        << Ride::WithPhotos << "ride_with_photos.kml" << "S_091231_23-59.csv" << 3
        << QStringList{"<img src=\"IMG_0001.jpg\" width=\"240\">",
                       "<img src=\"photos/IMG 0002.jpg\" width=\"240\">"};
    QTest::newRow("markup and markers in the file name and the photo reference")
        << Ride::MarkupInNames << "ride_with_markup_in_names.kml" << "S_a&b<c>d]]>%2%1.csv" << 1
        << QStringList{"<img src=\"x&y<z>]]>%1%2.jpg\" width=\"240\">"};
}

QString tst_KmlWriter::writeRide(Ride ride)
{
    SessionRecord session;
    fillRide(session, ride);
    const QString path = dir.filePath(QStringLiteral("ride%1.kml").arg(int(ride)));
    if (!writeKml(session, path))
        return QString();
    return path;
}

void tst_KmlWriter::writesTheTemplate_data()
{
    addRides();
}

void tst_KmlWriter::writesTheTemplate()
{
    QFETCH(Ride, ride);
    QFETCH(QString, expectedFile);

    const QString path = writeRide(ride);
    QVERIFY(!path.isEmpty());
    const QByteArray expected = readAll(QStringLiteral(VOK_TEST_DATA_DIR "/") + expectedFile);
    QVERIFY(!expected.isEmpty());
    const QByteArray written = readAll(path);
    if (written != expected) {
        // Point at the first line that differs rather than dumping both documents.
        const QList<QByteArray> writtenLines = written.split('\n');
        const QList<QByteArray> expectedLines = expected.split('\n');
        for (int i = 0; i < qMax(writtenLines.size(), expectedLines.size()); ++i) {
            const QByteArray w = writtenLines.value(i), e = expectedLines.value(i);
            if (w != e)
                QFAIL(qPrintable(QStringLiteral("line %1 differs:\n written: %2\nexpected: %3")
                                     .arg(i + 1)
                                     .arg(QString::fromUtf8(w), QString::fromUtf8(e))));
        }
        QFAIL("the documents differ");
    }
}

void tst_KmlWriter::validatesAgainstTheKmlSchema_data()
{
    addRides();
}

void tst_KmlWriter::validatesAgainstTheKmlSchema()
{
    QFETCH(Ride, ride);
    VOK_REQUIRE_TOOL(xmllint, "xmllint");
    const QString schema = kmlSchemaPath();
    if (schema.isEmpty()) {
        if (qEnvironmentVariableIsSet("CI"))
            QFAIL("the OGC KML schema is not in shared/kml-schema beside the repository");
        QSKIP("the OGC KML schema is not in shared/kml-schema beside the repository");
    }

    const QString path = writeRide(ride);
    QVERIFY(!path.isEmpty());
    const ToolRun run = runTool(xmllint, {"--noout", "--nonet", "--schema", schema, path});
    QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
    QVERIFY2(run.errors.contains(QLatin1String("validates")), qPrintable(run.errors));
}

void tst_KmlWriter::readsBackWithGdal_data()
{
    addRides();
}

void tst_KmlWriter::readsBackWithGdal()
{
    QFETCH(Ride, ride);
    QFETCH(QString, layerName);
    QFETCH(int, points);
    QFETCH(QStringList, photoDescriptions);
    VOK_REQUIRE_TOOL(ogrinfo, "ogrinfo");

    const QString path = writeRide(ride);
    QVERIFY(!path.isEmpty());
    const ToolRun run = runTool(ogrinfo, {"-ro", "-al", path});
    QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
    const QString &out = run.output;

    QVERIFY2(out.contains(QStringLiteral("Layer name: ") + layerName + QLatin1Char('\n')),
             qPrintable(out));

    // One line string through every sample.
    const QRegularExpression lineString(QStringLiteral("^  LINESTRING(?: Z)? (EMPTY|\\(([^)]*)\\))$"),
                                        QRegularExpression::MultilineOption);
    QRegularExpressionMatchIterator lines = lineString.globalMatch(out);
    QVERIFY2(lines.hasNext(), qPrintable(out));
    const QRegularExpressionMatch line = lines.next();
    QVERIFY(!lines.hasNext());
    const int linePoints = line.captured(1) == QLatin1String("EMPTY")
        ? 0
        : line.captured(2).split(QLatin1Char(',')).size();
    QCOMPARE(linePoints, points);

    // Then one point per photo, whose balloon shows the reference.
    const QRegularExpression point(QStringLiteral("^  POINT(?: Z)? \\("),
                                   QRegularExpression::MultilineOption);
    QCOMPARE(out.count(point), photoDescriptions.size());
    const QRegularExpression description(QStringLiteral("^  description \\(String\\) = (<img .*)$"),
                                         QRegularExpression::MultilineOption);
    QStringList descriptions;
    for (QRegularExpressionMatchIterator it = description.globalMatch(out); it.hasNext();)
        descriptions << it.next().captured(1);
    QCOMPARE(descriptions, photoDescriptions);
}

void tst_KmlWriter::coordinateTuples_data()
{
    QTest::addColumn<double>("longitude");
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("height"); // tens of metres, as the record keeps it
    QTest::addColumn<QString>("tuple");

    QTest::newRow("six significant digits, height back in metres")
        << 11.123456 << 45.678912 << 35.2 << "11.1235,45.6789,352";
    QTest::newRow("whole numbers without a decimal point") << 9.0 << 45.0 << 0.0 << "9,45,0";
    QTest::newRow("negative zero on the prime meridian") << -0.0 << 51.4779 << 4.6 << "0,51.4779,46";
    QTest::newRow("west and south are negative")
        << -73.985428 << -33.86882 << 1.5 << "-73.9854,-33.8688,15";
    QTest::newRow("height of tenths of tens of metres") << 11.1236 << 45.679 << 3.52 << "11.1236,45.679,35.2";
    QTest::newRow("small values in exponent form")
        << 0.0000123 << 0.5 << 0.00001 << "1.23e-05,0.5,0.0001";
    QTest::newRow("large altitude in exponent form")
        << 179.999999 << 89.9999996 << 123456.7 << "180,90,1.23457e+06";
}

void tst_KmlWriter::coordinateTuples()
{
    QFETCH(double, longitude);
    QFETCH(double, latitude);
    QFETCH(double, height);
    QFETCH(QString, tuple);

    SessionRecord session;
    appendSample(session, longitude, latitude, height);
    session.photos.insert(0, QStringLiteral("p.jpg"));
    session.setXChannel(SessionRecord::TimeChannel);
    const QStringList lines = kmlDocument(session).split(QLatin1Char('\n'));

    QCOMPARE(lines.value(22),
             QStringLiteral("        <coordinates>") + tuple + QStringLiteral("        </coordinates>"));
    // The photo stands where its sample was taken.
    QVERIFY2(lines.value(25).contains(QStringLiteral("<coordinates>") + tuple
                                      + QStringLiteral("</coordinates>")),
             qPrintable(lines.value(25)));
}

void tst_KmlWriter::trackFollowsTheXData()
{
    SessionRecord session;
    fillRide(session, Ride::WithPhotos);

    // Distance as the x axis: still one tuple per sample.
    session.setXChannel(SessionRecord::SpaceChannel);
    QCOMPARE(kmlDocument(session).split(QLatin1Char('\n')).value(22),
             QStringLiteral("        <coordinates>11.1235,45.6789,352 11.1235,45.6789,353 "
                            "11.1236,45.679,35.2        </coordinates>"));

    // Without an x channel the ride counts as empty, photos included.
    session.xData = nullptr;
    const QStringList lines = kmlDocument(session).split(QLatin1Char('\n'));
    QCOMPARE(lines.value(22), QStringLiteral("        <coordinates>        </coordinates>"));
    QCOMPARE(lines.value(25), QStringLiteral("  </Document>"));
}

void tst_KmlWriter::photosOutsideTheTrackAreLeftOut()
{
    SessionRecord session;
    fillRide(session, Ride::WithoutPhotos);
    session.photos.insert(-1, QStringLiteral("before.jpg"));
    session.photos.insert(3, QStringLiteral("after.jpg"));
    session.photos.insert(2, QStringLiteral("last.jpg"));

    const ParsedKml parsed = parseKml(kmlDocument(session).toUtf8());
    QVERIFY2(parsed.error.isEmpty(), qPrintable(parsed.error));
    QCOMPARE(parsed.descriptions.mid(2),
             QStringList{QStringLiteral("<img src=\"last.jpg\" width=\"240\">")});
}

void tst_KmlWriter::staysWellFormed_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("photo");
    QTest::addColumn<QString>("readName");  // what a parser reads back
    QTest::addColumn<QString>("readPhoto");

    const QString replacement(QChar(0xFFFD));
    QTest::newRow("ampersand and angle brackets")
        << "a&b<c>d&amp;.csv" << "p&q<r>s&lt;.jpg" << "a&b<c>d&amp;.csv" << "p&q<r>s&lt;.jpg";
    QTest::newRow("every marker in both texts")
        << "%1%2%3%4%5%99.csv" << "%1%2%3.jpg" << "%1%2%3%4%5%99.csv" << "%1%2%3.jpg";
    QTest::newRow("CDATA ends in the photo reference")
        << "S.csv" << "]]>a]]]>]]>" << "S.csv" << "]]>a]]]>]]>";
    QTest::newRow("quotes and apostrophes")
        << "it's \"mine\".csv" << "it's.jpg" << "it's \"mine\".csv" << "it's.jpg";
    QTest::newRow("tab, line feed and carriage return")
        << "a\tb\nc\rd.csv" << "a\tb\nc.jpg" << "a\tb\nc\rd.csv" << "a\tb\nc.jpg";
    QTest::newRow("control characters")
        << QStringLiteral("S\x01_\x1f\x0b.csv") << QStringLiteral("p\x02\x7f.jpg")
        << "S" + replacement + "_" + replacement + replacement + ".csv"
        << "p" + replacement + "\x7f.jpg";
    QTest::newRow("lone surrogates and non-characters")
        << QString(QChar(0xD800)) + "x" + QChar(0xFFFF) << QString(QChar(0xDC00)) + QChar(0xFFFE)
        << replacement + "x" + replacement << replacement + replacement;
    QTest::newRow("letters beyond ASCII")
        << QStringLiteral("Giro d’Italia – tappa ü 日本 \U0001F6B2.csv") << QStringLiteral("façade.jpg")
        << QStringLiteral("Giro d’Italia – tappa ü 日本 \U0001F6B2.csv") << QStringLiteral("façade.jpg");
}

void tst_KmlWriter::staysWellFormed()
{
    QFETCH(QString, fileName);
    QFETCH(QString, photo);
    QFETCH(QString, readName);
    QFETCH(QString, readPhoto);

    SessionRecord session;
    fillRide(session, Ride::WithoutPhotos);
    session.fileName = fileName;
    session.photos.insert(2, photo);
    const QString path = dir.filePath(QStringLiteral("wellformed.kml"));
    QVERIFY(writeKml(session, path));
    const QByteArray bytes = readAll(path);

    const ParsedKml parsed = parseKml(bytes);
    QVERIFY2(parsed.error.isEmpty(), qPrintable(parsed.error));
    QCOMPARE(parsed.names,
             QStringList({readName, "VOK session path started at " + readName, "Foto n"}));
    QCOMPARE(parsed.descriptions.value(2), "<img src=\"" + readPhoto + "\" width=\"240\">");
    // Written in UTF-8, as the first line declares.
    if (QTest::currentDataTag() == QLatin1String("letters beyond ASCII"))
        QVERIFY(bytes.contains("<name>" + fileName.toUtf8() + "</name>"));

    VOK_REQUIRE_TOOL(xmllint, "xmllint");
    const ToolRun run = runTool(xmllint, {"--noout", "--nonet", path});
    QVERIFY2(run.exitCode == 0 && run.errors.isEmpty(), qPrintable(run.errors));
}

void tst_KmlWriter::replacesAnExistingFileCompletely()
{
    const QString path = dir.filePath(QStringLiteral("existing.kml"));
    QVERIFY(writeFile(path, QByteArray(100000, 'x')));

    SessionRecord session;
    fillRide(session, Ride::WithoutSamples);
    QVERIFY(writeKml(session, path));
    QCOMPARE(readAll(path), readAll(QStringLiteral(VOK_TEST_DATA_DIR "/ride_without_samples.kml")));
}

void tst_KmlWriter::reportsUnwritableTargets_data()
{
    QTest::addColumn<QString>("target"); // relative to a fresh directory

    QTest::newRow("directory that does not exist") << "missing/ride.kml";
    QTest::newRow("parent is a regular file") << "plain.txt/ride.kml";
    QTest::newRow("target is a directory") << "folder.kml";
    QTest::newRow("empty path") << "";
}

void tst_KmlWriter::reportsUnwritableTargets()
{
    QFETCH(QString, target);

    QTemporaryDir base;
    QVERIFY(writeFile(base.filePath("plain.txt"), "plain text\n"));
    QVERIFY(QDir(base.path()).mkdir("folder.kml"));

    SessionRecord session;
    fillRide(session, Ride::WithPhotos);
    QVERIFY(!writeKml(session, target.isEmpty() ? QString() : base.filePath(target)));

    QCOMPARE(readAll(base.filePath("plain.txt")), QByteArray("plain text\n"));
    QVERIFY(QFileInfo(base.filePath("folder.kml")).isDir());
    QCOMPARE(QDir(base.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList({"folder.kml", "plain.txt"}));
}

void tst_KmlWriter::failedWriteKeepsTheOldFile_data()
{
    QTest::addColumn<int>("samples");

    // A short document stays in the file's write buffer until it is closed;
    // a long one goes out while it is written.
    QTest::newRow("short document failing as the file is closed") << 3;
    QTest::newRow("long document failing while it is written") << 5000;
}

void tst_KmlWriter::failedWriteKeepsTheOldFile()
{
    QFETCH(int, samples);
#ifdef Q_OS_UNIX
    QTemporaryDir base;
    const QString path = base.filePath("ride.kml");
    const QByteArray old = "<kml>the previous export</kml>";
    QVERIFY(writeFile(path, old));

    SessionRecord session;
    fillRide(session, Ride::WithPhotos);
    while (session.time.size() < samples)
        appendSample(session, 11.5, 46.0, 35.2);
    session.setXChannel(SessionRecord::TimeChannel);

    // A file size limit makes the write fail half-way, as a full disk would;
    // it stops root as well as anyone else.
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 256;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = writeKml(session, path);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(!written);
    QCOMPARE(readAll(path), old);
    QCOMPARE(QDir(base.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{"ride.kml"});
#else
    QSKIP("needs a file size limit (setrlimit)");
#endif
}

QTEST_GUILESS_MAIN(tst_KmlWriter)
#include "tst_kmlwriter.moc"
