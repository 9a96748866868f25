#include "ExternalTools.h"
#include "KmlWriter.h"
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
    // The OGC schema lies in shared/ beside the repository, or beside the folder of work trees.
    QString schema = VOK_SOURCE_DIR "/../shared/kml-schema/ogckml22.xsd";
    if (!QFile::exists(schema))
        schema = VOK_SOURCE_DIR "/../../shared/kml-schema/ogckml22.xsd";
    VOK_REQUIRE(QFile::exists(schema), "the OGC KML schema is not in shared/kml-schema");
    const QString path = writeRowSession();

    const ToolRun lint = runTool(xmllint, {"--noout", "--nonet", "--schema", schema, path});
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
