#include "ReferenceReader.h"
#include "SessionRecord.h"
#include "TestFiles.h"

#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <cstring>
#include <random>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray tagLine("VOK_session_file ,S_100407_10-30.csv\n");
const QByteArray kmLine("Km @ Start ,1523.4\n");
const QByteArray timeLine("Time @ Start ,10-30-15\n");
const QByteArray caption("Nr,Time,Longitude,Latitude,Altitude,Heart,Cadence,Speed,Slope,PTot,"
                         "PLeft,PRight,OffLeft,OffRight,UDLeft,UDRight,Res1,Res2,Km,Photo\n");
const QByteArray header = tagLine + kmLine + timeLine + caption;
const QByteArray sample0("0,0:00:00,11.12345,45.67891,352,118,84,24.6,0,212,104,108,3.5,4.0,51,49,0,0,0.000\n");
const QByteArray sample1("1,0:00:01,11.12352,45.67893,352,120,85,24.9,0,220,108,112,3.4,4.1,52,48,0,0,0.007,IMG_0001.jpg\n");
const QByteArray turnTag("VOK_Single_Turn_file ,T_100407.10-31-02.csv\n");
const QByteArray turnLines("0,0,152.3,210.5,12.1\n1,10,160.0,230.2,10.4\n");

using Values = QVector<double>;
using Photos = QMap<int, QString>;

QString valuesText(const Values &values)
{
    QStringList texts;
    for (double v : values)
        texts << QString::number(v, 'g', 17);
    return texts.join(QLatin1Char(' '));
}

// Bit for bit: a NaN equals a NaN, -0 differs from +0.
bool sameValues(const Values &actual, const Values &expected)
{
    if (actual.size() != expected.size())
        return false;
    for (int i = 0; i < actual.size(); ++i) {
        const bool bothNan = std::isnan(actual[i]) && std::isnan(expected[i]);
        if (!bothNan && std::memcmp(&actual[i], &expected[i], sizeof(double)) != 0)
            return false;
    }
    return true;
}

#define COMPARE_VALUES(actual, expected)                                                           \
    QVERIFY2(sameValues(actual, expected),                                                          \
             qPrintable(QStringLiteral(#actual ": %1, expected %2")                                 \
                            .arg(valuesText(actual), valuesText(expected))))

} // namespace

class TestSessionRecord : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void workedExample();
    void headerLines_data();
    void headerLines();
    void sampleLines_data();
    void sampleLines();
    void fieldConversion();
    void fileNameAsOpened();
    void cannotOpen_data();
    void cannotOpen();
    void turnFilesInNameOrder();
    void turnFileFailing();
    void turnFileFilterIgnoresCase_data();
    void turnFileFilterIgnoresCase();
    void turnFilesOfAnotherRide();
    void noTurnFilesWhenSessionNotAccepted();
    void entriesThatAreNotTurnFiles();
    void unreadableTurnFile();
    void thousandsOfTurnFiles();
    void badInput_data();
    void badInput();
    void lineOf100MBWithoutLineBreak();
    void longFieldsAgreeWithReference();
    void byteOrderMarkAtBlockBoundary();
    void arraysSizedExactly();
    void rereadLeavesNothingBehind();
    void sampleRide();
    void agreesWithReferenceOnEveryFixture_data();
    void agreesWithReferenceOnEveryFixture();

private:
    QString writeSession(const QByteArray &content, const QString &name = QStringLiteral("S_100407_10-30.csv"));
    QString writeFile(const QString &name, const QByteArray &content);
    bool readBoth(SessionRecord &record, const QString &path);

    std::unique_ptr<QTemporaryDir> m_dir;
};

// Every test function starts with an empty directory of its own.
void TestSessionRecord::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
}

QString TestSessionRecord::writeFile(const QString &name, const QByteArray &content)
{
    const QString path = m_dir->filePath(name);
    if (!::writeFile(path, content))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QString TestSessionRecord::writeSession(const QByteArray &content, const QString &name)
{
    return writeFile(name, content);
}

// Reads with the real reader into record and with the reference reader into
// another record; the test fails unless both agree. Returns the real result.
bool TestSessionRecord::readBoth(SessionRecord &record, const QString &path)
{
    const bool result = record.read(path);
    SessionRecord reference;
    const bool referenceResult = ReferenceReader::readSession(reference, path);
    const QString difference = ReferenceReader::difference(record, reference);
    if (result != referenceResult)
        QTest::qFail("the reference reader gives another result", __FILE__, __LINE__);
    else if (!difference.isEmpty())
        QTest::qFail(qPrintable(QStringLiteral("differs from the reference reader: ") + difference),
                     __FILE__, __LINE__);
    return result;
}

void TestSessionRecord::workedExample()
{
    const QString path = writeSession(header + sample0 + sample1 + "#####\n");
    SessionRecord record;
    QVERIFY(readBoth(record, path));
    QCOMPARE(record.fileName, QStringLiteral("S_100407_10-30.csv"));
    QCOMPARE(record.startDateTime.date(), QDate(10, 4, 7));
    QCOMPARE(record.startDateTime.time(), QTime(10, 30, 15));
    QCOMPARE(record.startDateTime.timeSpec(), Qt::LocalTime);
    QCOMPARE(record.startKm, 1523.4);
    COMPARE_VALUES(record.time, Values({0, 1}));
    COMPARE_VALUES(record.longitude, Values({11.12345, 11.12352}));
    COMPARE_VALUES(record.latitude, Values({45.67891, 45.67893}));
    COMPARE_VALUES(record.height, Values({35.2, 35.2}));
    COMPARE_VALUES(record.heartRate, Values({118, 120}));
    COMPARE_VALUES(record.cadence, Values({84, 85}));
    COMPARE_VALUES(record.speed, Values({24.6, 24.9}));
    COMPARE_VALUES(record.powerTot, Values({212, 220}));
    COMPARE_VALUES(record.powerLeft, Values({104, 108}));
    COMPARE_VALUES(record.powerRight, Values({108, 112}));
    COMPARE_VALUES(record.offsetLeft, Values({3.5, 3.4}));
    COMPARE_VALUES(record.offsetRight, Values({4.0, 4.1}));
    COMPARE_VALUES(record.upDownLeft, Values({51, 52}));
    COMPARE_VALUES(record.upDownRight, Values({49, 48}));
    COMPARE_VALUES(record.space, Values({0.0, 0.007}));
    QCOMPARE(record.photos, Photos({{1, QStringLiteral("IMG_0001.jpg")}}));
    QVERIFY(record.turns.isEmpty());
    QCOMPARE(record.xData, nullptr);
    QCOMPARE(record.xChannel, int(SessionRecord::TimeChannel));
}

void TestSessionRecord::headerLines_data()
{
    QTest::addColumn<QByteArray>("tag");
    QTest::addColumn<QByteArray>("km");
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<double>("startKm");

    const QByteArray tag = tagLine.trimmed(), km = kmLine.trimmed(), start = timeLine.trimmed();
    QTest::newRow("the three lines as written") << tag << km << start << true << QDate(10, 4, 7)
                                                << QTime(10, 30, 15) << 1523.4;
    QTest::newRow("last day of year 9")
        << QByteArray("VOK_session_file ,S_091231_23-59.csv") << km
        << QByteArray("Time @ Start ,23-59-30") << true << QDate(9, 12, 31) << QTime(23, 59, 30)
        << 1523.4;
    QTest::newRow("start time with slashes replaces hour and minute")
        << tag << km << QByteArray("Time @ Start ,08/05/59") << true << QDate(10, 4, 7)
        << QTime(8, 5, 59) << 1523.4;
    QTest::newRow("start time with mixed separators")
        << tag << km << QByteArray("Time @ Start ,08-05/59") << true << QDate(10, 4, 7)
        << QTime(8, 5, 59) << 1523.4;
    QTest::newRow("any character before csv in the tag")
        << QByteArray("VOK_session_file ,S_100407_10-30_csv") << km << start << true
        << QDate(10, 4, 7) << QTime(10, 30, 15) << 1523.4;
    QTest::newRow("start distance ending in its point")
        << tag << QByteArray("Km @ Start ,1523.") << start << true << QDate(10, 4, 7)
        << QTime(10, 30, 15) << 1523.0;
    QTest::newRow("start distance with many digits")
        << tag << QByteArray("Km @ Start ,000123456789012345678901234.5") << start << true
        << QDate(10, 4, 7) << QTime(10, 30, 15) << 123456789012345678901234.5;
    QTest::newRow("tag naming a month 13 matches, with no valid date")
        << QByteArray("VOK_session_file ,S_101307_10-30.csv") << km << start << true << QDate()
        << QTime(10, 30, 15) << 1523.4;
    QTest::newRow("tag line without the blank before the comma")
        << QByteArray("VOK_session_file,S_100407_10-30.csv") << km << start << false << QDate()
        << QTime(10, 30, 15) << 1523.4;
    QTest::newRow("tag line with a blank at the end")
        << QByteArray("VOK_session_file ,S_100407_10-30.csv ") << km << start << false << QDate()
        << QTime(10, 30, 15) << 1523.4;
    QTest::newRow("start distance without a point")
        << tag << QByteArray("Km @ Start ,12") << start << false << QDate(10, 4, 7)
        << QTime(10, 30, 15) << 0.0;
    QTest::newRow("start distance with a sign")
        << tag << QByteArray("Km @ Start ,-1.5") << start << false << QDate(10, 4, 7)
        << QTime(10, 30, 15) << 0.0;
    QTest::newRow("start distance with an exponent")
        << tag << QByteArray("Km @ Start ,1.5e3") << start << false << QDate(10, 4, 7)
        << QTime(10, 30, 15) << 0.0;
    QTest::newRow("start distance in Arabic-Indic digits")
        << tag << QByteArray("Km @ Start ,\xd9\xa1\xd9\xa2.\xd9\xa5") << start << false
        << QDate(10, 4, 7) << QTime(10, 30, 15) << 0.0;
    QTest::newRow("start time with a one-digit hour: time from the tag")
        << tag << km << QByteArray("Time @ Start ,8-05-59") << false << QDate(10, 4, 7)
        << QTime(10, 30, 0) << 1523.4;
    QTest::newRow("start time with dots") << tag << km << QByteArray("Time @ Start ,08.05.59")
                                          << false << QDate(10, 4, 7) << QTime(10, 30, 0) << 1523.4;
    QTest::newRow("all three header lines wrong")
        << QByteArray("VOK_session_file") << QByteArray("Km") << QByteArray("Time") << false
        << QDate() << QTime() << 0.0;
}

void TestSessionRecord::headerLines()
{
    QFETCH(QByteArray, tag);
    QFETCH(QByteArray, km);
    QFETCH(QByteArray, start);
    QFETCH(bool, result);
    QFETCH(QDate, date);
    QFETCH(QTime, time);
    QFETCH(double, startKm);

    writeFile(QStringLiteral("T_100407.10-31-02.csv"), turnTag + turnLines + "#####\n");
    const QString path =
        writeSession(tag + "\n" + km + "\n" + start + "\n" + caption + sample0 + sample1 + "#####\n");
    SessionRecord record;
    QCOMPARE(readBoth(record, path), result);
    QCOMPARE(record.startDateTime.date(), date);
    QCOMPARE(record.startDateTime.time(), time);
    QCOMPARE(record.startKm, startKm);
    // Whatever the header, every sample line is read; single-turn files only
    // when the file was accepted.
    COMPARE_VALUES(record.time, Values({0, 1}));
    QCOMPARE(record.turns.size(), result ? 1 : 0);
}

void TestSessionRecord::sampleLines_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("result");
    QTest::addColumn<Values>("space");
    QTest::addColumn<Photos>("photos");

    const QByteArray s0 = sample0, s1 = sample1;
    const QByteArray s0NoEnd = sample0.chopped(1);
    const Photos photo1{{1, QStringLiteral("IMG_0001.jpg")}};
    QTest::newRow("no sample lines") << QByteArray("#####\n") << true << Values() << Photos();
    QTest::newRow("exactly 19 fields: a sample without photo")
        << s0 + "#####\n" << true << Values{0.0} << Photos();
    QTest::newRow("20 fields: a photo reference") << s0 + s1 + "#####\n" << true
                                                  << Values{0.0, 0.007} << photo1;
    QTest::newRow("ending in a comma: an empty photo reference")
        << s0NoEnd + ",\n#####\n" << true << Values{0.0} << Photos{{0, QString()}};
    QTest::newRow("25 fields read like 20")
        << s0 + s1.chopped(1) + ",a,b,c,d,e\n#####\n" << true << Values{0.0, 0.007} << photo1;
    QTest::newRow("photo reference taken unchanged")
        << s0NoEnd + ", B\xc3\xb6hl & Co <1>.jpg \n#####\n" << true << Values{0.0}
        << Photos{{0, QString::fromUtf8(" B\xc3\xb6hl & Co <1>.jpg ")}};
    QTest::newRow("lone carriage return stays in the photo reference")
        << s0NoEnd + ",IMG\rX.jpg\n#####\n" << true << Values{0.0}
        << Photos{{0, QStringLiteral("IMG\rX.jpg")}};
    QTest::newRow("carriage return and line feed at the line ends")
        << QByteArray(s0 + s1 + "#####\n").replace("\n", "\r\n") << true << Values{0.0, 0.007}
        << photo1;
    QTest::newRow("separator at the end without a line end")
        << s0 + s1 + "#####" << true << Values{0.0, 0.007} << photo1;
    QTest::newRow("lines after the separator are ignored")
        << s0 + "#####\n" + s1 + "rubbish\n" << true << Values{0.0} << Photos();
    QTest::newRow("18 fields: the line is skipped")
        << "0,0:00:00," + QByteArray(15, ',') + "\n" + s1 + "#####\n" << false << Values{0.007}
        << Photos{{0, QStringLiteral("IMG_0001.jpg")}};
    QTest::newRow("empty line among samples")
        << s0 + "\n" + s1 + "#####\n" << false << Values{0.0, 0.007} << photo1;
    QTest::newRow("short line among valid lines: the lines after it are read")
        << s0 + "1,2,3\n" + s1 + s0 + "#####\n" << false << Values{0.0, 0.007, 0.0} << photo1;
    QTest::newRow("no separator line") << s0 + s1 << false << Values{0.0, 0.007} << photo1;
    QTest::newRow("no separator line, last line without its line end")
        << s0 + s1.chopped(1) << false << Values{0.0, 0.007} << photo1;
    QTest::newRow("separator with a blank is a short line")
        << s0 + "##### \n" << false << Values{0.0} << Photos();
    QTest::newRow("file ending after the caption line")
        << QByteArray() << false << Values() << Photos();
}

void TestSessionRecord::sampleLines()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, result);
    QFETCH(Values, space);
    QFETCH(Photos, photos);

    writeFile(QStringLiteral("T_100407.10-31-02.csv"), turnTag + turnLines + "#####\n");
    const QString path = writeSession(header + body);
    SessionRecord record;
    QCOMPARE(readBoth(record, path), result);
    COMPARE_VALUES(record.space, space);
    QCOMPARE(record.photos, photos);
    for (int number = 0; number < SessionRecord::ChannelCount; ++number)
        QCOMPARE(record.channel(number)->size(), space.size());
    QCOMPARE(record.longitude.size(), space.size());
    QCOMPARE(record.latitude.size(), space.size());
    QCOMPARE(record.turns.size(), result ? 1 : 0);
}

// Fields that are not plain numbers, each as QString::toDouble and
// QTime::fromString(..., "h:mm:ss") read them.
void TestSessionRecord::fieldConversion()
{
    const QString path = QStringLiteral(VOK_TEST_DATA_DIR "/odd_fields/S_100407_10-30.csv");
    SessionRecord record;
    QVERIFY(readBoth(record, path));
    const double inf = HUGE_VAL;
    COMPARE_VALUES(record.time, Values({0, 0, 3723, 0}));
    COMPARE_VALUES(record.longitude, Values({10, 0.0015, 11, 11}));
    COMPARE_VALUES(record.latitude, Values({2.5, -4, 45, 45}));
    COMPARE_VALUES(record.height, Values({0, 0.7, 35.2, 35.2}));
    COMPARE_VALUES(record.heartRate, Values({0, 0, 118, 118}));
    COMPARE_VALUES(record.cadence, Values({-0.0, 0, 84, 84}));
    COMPARE_VALUES(record.speed, Values({std::nan(""), 0, 24.6, 24.6}));
    COMPARE_VALUES(record.powerTot, Values({inf, 99999999999999999999999.0, 212, 212}));
    COMPARE_VALUES(record.powerLeft, Values({-inf, 0.1234567890123456789012345, 104, 104}));
    COMPARE_VALUES(record.powerRight, Values({0, 0, 108, 108}));
    COMPARE_VALUES(record.offsetLeft, Values({1, inf, 3.5, 3.5}));
    COMPARE_VALUES(record.offsetRight, Values({0.5, 12.5, 4.0, 4.0}));
    COMPARE_VALUES(record.upDownLeft, Values({2, 0, 51, 51}));
    COMPARE_VALUES(record.upDownRight, Values({0, 0, 49, 49}));
    COMPARE_VALUES(record.space, Values({0, 4, 0.014, 0.021}));
    QCOMPARE(record.photos, Photos({{1, QString::fromUtf8("B\xc3\xb6hl & Co <1>.jpg")},
                                    {2, QString()},
                                    {3, QStringLiteral("IMG\rX.jpg")}}));
}

// The tag line names the file as the device wrote it; the record keeps the
// name under which it was opened.
void TestSessionRecord::fileNameAsOpened()
{
    const QString path = writeSession(header + sample0 + "#####\n", QStringLiteral("my ride.csv"));
    SessionRecord record;
    QVERIFY(readBoth(record, path));
    QCOMPARE(record.fileName, QStringLiteral("my ride.csv"));
    QCOMPARE(record.startDateTime.date(), QDate(10, 4, 7));
}

void TestSessionRecord::cannotOpen_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing file") << "missing";
    QTest::newRow("directory where the session file should be") << "directory";
    QTest::newRow("named pipe where the session file should be") << "pipe";
}

// A reset record with the file name set. A named pipe is not opened: that
// would wait for a writer.
void TestSessionRecord::cannotOpen()
{
    QFETCH(QString, kind);

    const QString path = m_dir->filePath(QStringLiteral("S_100407_10-30.csv"));
    if (kind == QLatin1String("directory"))
        QVERIFY(QDir().mkpath(path));
    else if (kind == QLatin1String("pipe"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);

    SessionRecord record;
    record.time = {1, 2};
    record.photos.insert(0, QStringLiteral("x.jpg"));
    record.startKm = 7;
    record.setXChannel(SessionRecord::SpaceChannel);
    QVERIFY(!record.read(path));
    QCOMPARE(record.fileName, QStringLiteral("S_100407_10-30.csv"));
    QVERIFY(record.time.isEmpty());
    QVERIFY(record.photos.isEmpty());
    QCOMPARE(record.startKm, 0.0);
    QVERIFY(record.startDateTime.isNull());
    QCOMPARE(record.xData, nullptr);
    QCOMPARE(record.xChannel, int(SessionRecord::SpaceChannel));
    if (kind != QLatin1String("pipe")) {
        SessionRecord again;
        QVERIFY(!readBoth(again, path));
    }
}

void TestSessionRecord::turnFilesInNameOrder()
{
    const QString path = QStringLiteral(VOK_TEST_DATA_DIR "/two_samples_and_two_turns/S_100407_10-30.csv");
    SessionRecord record;
    QVERIFY(readBoth(record, path));
    QCOMPARE(record.turns.size(), 2);
    const QString dir = QFileInfo(path).absolutePath();
    QCOMPARE(record.turns[0].path, dir + QStringLiteral("/T_100407.10-31-02.csv"));
    QCOMPARE(record.turns[0].timestamp, QDateTime(QDate(10, 4, 7), QTime(10, 31, 2)));
    COMPARE_VALUES(record.turns[0].angle, Values({0, 10, 20}));
    COMPARE_VALUES(record.turns[0].power, Values({152.3, 160.0, 171.5}));
    COMPARE_VALUES(record.turns[0].forceLeft, Values({210.5, 230.2, 240.0}));
    COMPARE_VALUES(record.turns[0].forceRight, Values({12.1, 10.4, 9.8}));
    QCOMPARE(record.turns[1].path, dir + QStringLiteral("/T_100407.10-31-15.csv"));
    QCOMPARE(record.turns[1].timestamp, QDateTime(QDate(10, 4, 7), QTime(10, 31, 15)));
    COMPARE_VALUES(record.turns[1].angle, Values({0, 10}));
}

void TestSessionRecord::turnFileFailing()
{
    const QString path = QStringLiteral(VOK_TEST_DATA_DIR "/second_turn_without_separator/S_100407_10-30.csv");
    SessionRecord record;
    QVERIFY(!readBoth(record, path));
    // The session itself is read completely, and both turns are listed.
    COMPARE_VALUES(record.time, Values({0, 1}));
    QCOMPARE(record.photos.size(), 1);
    QCOMPARE(record.turns.size(), 2);
    COMPARE_VALUES(record.turns[0].angle, Values({0, 10, 20}));
    QVERIFY(record.turns[1].path.endsWith(QLatin1String("T_100407.10-31-15.csv")));
    COMPARE_VALUES(record.turns[1].angle, Values({0, 10}));
    COMPARE_VALUES(record.turns[1].forceRight, Values({15.2, 13.0}));
}

void TestSessionRecord::turnFileFilterIgnoresCase_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("angles");

    QTest::newRow("without a tag line it fails the session") << QByteArray("extra\n") << false << 0;
    QTest::newRow("with a tag line it is read")
        << QByteArray("VOK_Single_Turn_file ,T_100407.10-40-00.csv\n0,5,1,2,3\n#####\n") << true << 1;
}

void TestSessionRecord::turnFileFilterIgnoresCase()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, result);
    QFETCH(int, angles);

    writeFile(QStringLiteral("T_100407.10-31-02.csv"), turnTag + turnLines + "#####\n");
    writeFile(QStringLiteral("t_extra.CSV"), content);
    const QString path = writeSession(header + sample0 + "#####\n");
    SessionRecord record;
    QCOMPARE(readBoth(record, path), result);
    QCOMPARE(record.turns.size(), 2);
    QVERIFY(record.turns[1].path.endsWith(QLatin1String("/t_extra.CSV")));
    QCOMPARE(record.turns[1].angle.size(), angles);
    COMPARE_VALUES(record.turns[0].angle, Values({0, 10}));
}

// Single-turn files of another ride in the same directory are read as well,
// in name order.
void TestSessionRecord::turnFilesOfAnotherRide()
{
    writeFile(QStringLiteral("T_100407.10-31-02.csv"), turnTag + turnLines + "#####\n");
    writeFile(QStringLiteral("T_090101.08-00-00.csv"),
              "VOK_Single_Turn_file ,T_090101.08-00-00.csv\n0,0,1,2,3\n#####\n");
    writeFile(QStringLiteral("S_090101_07-55.csv"), "another session\n");
    const QString path = writeSession(header + sample0 + "#####\n");
    SessionRecord record;
    QVERIFY(readBoth(record, path));
    QCOMPARE(record.turns.size(), 2);
    QCOMPARE(record.turns[0].timestamp, QDateTime(QDate(9, 1, 1), QTime(8, 0, 0)));
    QCOMPARE(record.turns[1].timestamp, QDateTime(QDate(10, 4, 7), QTime(10, 31, 2)));
}

void TestSessionRecord::noTurnFilesWhenSessionNotAccepted()
{
    writeFile(QStringLiteral("T_100407.10-31-02.csv"), turnTag + turnLines + "#####\n");
    const QString path = writeSession(header + sample0 + "\n#####\n");
    SessionRecord record;
    QVERIFY(!readBoth(record, path));
    QVERIFY(record.turns.isEmpty());
    QCOMPARE(record.time.size(), 1);
}

// Only plain files are listed: a directory, a dangling link and a named pipe
// whose names match are passed over, so they neither fail the session nor
// hold it up; a link to a plain file is read.
void TestSessionRecord::entriesThatAreNotTurnFiles()
{
    const QString turn = writeFile(QStringLiteral("T_100407.10-31-02.csv"), turnTag + turnLines + "#####\n");
    QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("T_100407.10-31-03.csv"))));
    QVERIFY(QFile::link(m_dir->filePath(QStringLiteral("missing")),
                        m_dir->filePath(QStringLiteral("T_100407.10-31-04.csv"))));
    QCOMPARE(::mkfifo(QFile::encodeName(m_dir->filePath(QStringLiteral("T_100407.10-31-05.csv"))).constData(), 0600), 0);
    QVERIFY(QFile::link(turn, m_dir->filePath(QStringLiteral("T_100407.10-31-06.csv"))));
    writeFile(QStringLiteral(".T_100407.10-31-07.csv"), "hidden\n");
    const QString path = writeSession(header + sample0 + "#####\n");
    SessionRecord record;
    QVERIFY(readBoth(record, path));
    QCOMPARE(record.turns.size(), 2);
    QVERIFY(record.turns[0].path.endsWith(QLatin1String("/T_100407.10-31-02.csv")));
    QVERIFY(record.turns[1].path.endsWith(QLatin1String("/T_100407.10-31-06.csv")));
    QCOMPARE(record.turns[1].angle, record.turns[0].angle);
}

// A listed file that cannot be opened stays in the list, empty, and fails
// the session. The tests may run as root, who reads anything, so the read
// then happens as the user nobody.
void TestSessionRecord::unreadableTurnFile()
{
    writeFile(QStringLiteral("T_100407.10-31-02.csv"), turnTag + turnLines + "#####\n");
    const QString locked = writeFile(QStringLiteral("T_100407.10-31-15.csv"), turnTag + turnLines + "#####\n");
    const QString path = writeSession(header + sample0 + "#####\n");
    QVERIFY(QFile::setPermissions(locked, QFileDevice::Permissions()));
    QVERIFY(QFile::setPermissions(m_dir->path(), QFileDevice::Permissions(0x7755)));
    const bool root = ::geteuid() == 0;
    if (root && ::seteuid(65534) != 0)
        QSKIP("running as root and cannot switch to the user nobody");
    SessionRecord record;
    const bool result = record.read(path);
    if (root)
        QCOMPARE(::seteuid(0), 0);
    QVERIFY(!result);
    QCOMPARE(record.turns.size(), 2);
    COMPARE_VALUES(record.turns[0].angle, Values({0, 10}));
    QCOMPARE(record.turns[1].path, QDir(m_dir->path()).absolutePath() + QStringLiteral("/T_100407.10-31-15.csv"));
    QVERIFY(record.turns[1].timestamp.isNull());
    QVERIFY(record.turns[1].angle.isEmpty());
}

void TestSessionRecord::thousandsOfTurnFiles()
{
    const int count = 3000;
    for (int i = 0; i < count; ++i) {
        const QTime at = QTime(10, 0).addSecs(i);
        const QByteArray name = "T_100407." + at.toString(QStringLiteral("HH-mm-ss")).toLatin1() + ".csv";
        writeFile(QString::fromLatin1(name),
                  "VOK_Single_Turn_file ," + name + "\n0,0,1,2,3\n1,10,4,5," + QByteArray::number(i) + "\n#####\n");
    }
    const QString path = writeSession(header + sample0 + "#####\n");
    SessionRecord record;
    QVERIFY(record.read(path));
    QCOMPARE(record.turns.size(), count);
    for (int i = 0; i < count; ++i) {
        QCOMPARE(record.turns[i].timestamp.time(), QTime(10, 0).addSecs(i));
        QCOMPARE(record.turns[i].forceRight.value(1), double(i));
    }
}

void TestSessionRecord::badInput_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("samples");

    QTest::newRow("empty file") << QByteArray() << false << 0;
    std::mt19937 random(7);
    QByteArray binary(1 << 16, '\0');
    for (char &c : binary)
        c = char(random() % 4 ? random() : 0);
    QTest::newRow("binary data with NUL bytes") << binary << false << 0;
    QTest::newRow("NUL bytes in sample lines")
        << header + QByteArray(sample0).replace("352", QByteArray("3\0" "52", 4)) + "#####\n" << true << 1;
    QTest::newRow("invalid UTF-8 in the header and sample lines")
        << QByteArray(header).replace("S_", "S\xff") + QByteArray(sample1).replace("IMG", "\xe2\x82IMG\xc0")
               + "\xed\xa0\x80\n#####\n" << false << 1;
    QTest::newRow("a line of 100,000 commas: one sample of zeros")
        << header + QByteArray(100000, ',') + "\n#####\n" << true << 1;
    QTest::newRow("only line feeds") << QByteArray(100000, '\n') << false << 0;
    QTest::newRow("only carriage returns") << QByteArray(100000, '\r') << false << 0;
}

void TestSessionRecord::badInput()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, result);
    QFETCH(int, samples);

    const QString path = writeSession(content);
    SessionRecord record;
    QCOMPARE(readBoth(record, path), result);
    QCOMPARE(record.time.size(), samples);
    QCOMPARE(record.latitude.size(), samples);
}

// One line of 100 MB without a line break: a session file that is nothing
// else, and one whose sample line carries 100 MB of digits in a field.
void TestSessionRecord::lineOf100MBWithoutLineBreak()
{
    const int size = 100 << 20;
    {
        QFile file(m_dir->filePath(QStringLiteral("S_100407_10-30.csv")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray block(1 << 20, 'x');
        for (int i = 0; i < size / block.size(); ++i)
            file.write(block);
    }
    SessionRecord record;
    QVERIFY(!record.read(m_dir->filePath(QStringLiteral("S_100407_10-30.csv"))));
    QVERIFY(record.startDateTime.isNull());
    QVERIFY(record.time.isEmpty());

    {
        QFile file(m_dir->filePath(QStringLiteral("S_100407_10-30.csv")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(header + sample0.left(sample0.lastIndexOf(',') + 1));
        const QByteArray block(1 << 20, '7');
        for (int i = 0; i < size / block.size(); ++i)
            file.write(block);
        file.write(".5,IMG_0001.jpg\n#####\n");
    }
    QVERIFY(record.read(m_dir->filePath(QStringLiteral("S_100407_10-30.csv"))));
    COMPARE_VALUES(record.space, Values({HUGE_VAL}));
    COMPARE_VALUES(record.height, Values({35.2}));
    QCOMPARE(record.photos, Photos({{0, QStringLiteral("IMG_0001.jpg")}}));
}

// The same shapes, long enough to span the reader's buffers, checked against
// the reference reader.
void TestSessionRecord::longFieldsAgreeWithReference()
{
    const QByteArray digits(3 << 20, '7');
    const QList<QByteArray> bodies = {
        QByteArray(3 << 20, 'x'),
        header + sample0.left(sample0.lastIndexOf(',') + 1) + digits + ".5,IMG\n#####\n",
        header + sample0.left(sample0.lastIndexOf(',') + 1) + "0." + digits + ",IMG\n#####\n",
        header + sample0.chopped(1) + "," + digits + "\n#####\n",
        QByteArray("VOK_session_file ,S_100407_10-30.csv\nKm @ Start ,") + digits + "." + digits
            + "\n" + timeLine + caption + sample0 + "#####\n",
        QByteArray("VOK_session_file ,S_100407_10-30.csv\nKm @ Start ,") + digits + "x\n" + timeLine
            + caption + sample0 + "#####\n",
        header + QByteArray(1 << 20, ' ') + "5" + QByteArray(18, ',') + "\n#####\n",
    };
    for (const QByteArray &body : bodies) {
        const QString path = writeSession(body);
        SessionRecord record;
        readBoth(record, path);
        if (QTest::currentTestFailed())
            return;
    }
}

// QTextStream decodes 16 KiB at a time and drops a byte order mark that
// starts a block while it has met no other non-ASCII character; the readers
// see the text without it, in a header line as in a field.
void TestSessionRecord::byteOrderMarkAtBlockBoundary()
{
    const QByteArray mark("\xEF\xBB\xBF");
    const QByteArray kmStart = tagLine + "Km @ Start ,";
    const QString path = writeSession(kmStart + QByteArray(16384 - kmStart.size(), '1') + mark
                                      + "5.5\n" + timeLine + caption + sample0 + "#####\n");
    SessionRecord record;
    QVERIFY(readBoth(record, path));
    QCOMPARE(record.startKm, HUGE_VAL);

    const QByteArray start = header + sample0.chopped(1) + ",";
    QVERIFY(readBoth(record, writeSession(start + QByteArray(16384 - start.size(), 'x') + mark
                                          + "IMG.jpg\n#####\n")));
    QCOMPARE(record.photos.value(0), QString(16384 - start.size(), QLatin1Char('x')) + "IMG.jpg");
}

// The arrays hold exactly the samples read, even after a longer ride.
void TestSessionRecord::arraysSizedExactly()
{
    QByteArray longRide = header;
    for (int i = 0; i < 5000; ++i)
        longRide += sample0;
    SessionRecord record;
    QVERIFY(record.read(writeSession(longRide + "#####\n")));
    QCOMPARE(record.time.size(), 5000);
    QVERIFY(record.read(writeSession(header + sample0 + sample1 + "#####\n", QStringLiteral("short.csv"))));
    for (int number = 0; number < SessionRecord::ChannelCount; ++number) {
        QCOMPARE(record.channel(number)->size(), 2);
        QCOMPARE(record.channel(number)->capacity(), 2);
    }
    QCOMPARE(record.longitude.capacity(), 2);
    QCOMPARE(record.latitude.capacity(), 2);
}

// A new read starts from scratch: nothing of the last ride remains, and the
// x data are to be chosen again.
void TestSessionRecord::rereadLeavesNothingBehind()
{
    SessionRecord record;
    QVERIFY(record.read(writeSession(header + sample0 + sample1 + "#####\n")));
    record.setXChannel(SessionRecord::SpaceChannel);
    QCOMPARE(record.photos.size(), 1);
    QVERIFY(record.read(writeSession(header + sample0 + "#####\n", QStringLiteral("other.csv"))));
    QVERIFY(record.photos.isEmpty());
    QCOMPARE(record.time.size(), 1);
    QCOMPARE(record.xData, nullptr);
    QCOMPARE(record.xChannel, int(SessionRecord::SpaceChannel));
    QCOMPARE(record.fileName, QStringLiteral("other.csv"));
}

void TestSessionRecord::sampleRide()
{
    const QDir examples(QStringLiteral(VOK_SOURCE_DIR "/examples"));
    const QStringList sessions = examples.entryList(QStringList(QStringLiteral("S_*.csv")), QDir::Files);
    if (sessions.isEmpty())
        QSKIP("no sample ride in examples/");
    for (const QString &name : sessions) {
        SessionRecord record;
        QVERIFY2(readBoth(record, examples.filePath(name)), qPrintable(name));
        QVERIFY(!record.time.isEmpty());
        QVERIFY(!record.turns.isEmpty());
    }
}

void TestSessionRecord::agreesWithReferenceOnEveryFixture_data()
{
    QTest::addColumn<QString>("path");
    QDirIterator files(QStringLiteral(VOK_TEST_DATA_DIR), QStringList(QStringLiteral("*.csv")),
                       QDir::Files, QDirIterator::Subdirectories);
    QStringList paths;
    while (files.hasNext())
        paths << files.next();
    paths.sort();
    QVERIFY(paths.size() >= 10);
    for (const QString &path : paths)
        QTest::newRow(qPrintable(path.mid(int(qstrlen(VOK_TEST_DATA_DIR)) + 1))) << path;
}

// Every fixture, read as a session file and as a single-turn file.
void TestSessionRecord::agreesWithReferenceOnEveryFixture()
{
    QFETCH(QString, path);
    SessionRecord record;
    readBoth(record, path);
    TurnRecord turn;
    TurnRecord reference;
    QCOMPARE(turn.read(path), ReferenceReader::readTurn(reference, path));
    const QString difference = ReferenceReader::difference(turn, reference);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

QTEST_GUILESS_MAIN(TestSessionRecord)
#include "tst_sessionrecord.moc"
