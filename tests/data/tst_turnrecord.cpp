#include "ReferenceReader.h"
#include "TestFiles.h"
#include "TurnRecord.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray tag("VOK_Single_Turn_file ,T_100407.10-31-02.csv\n");
const QDateTime tagTime(QDate(10, 4, 7), QTime(10, 31, 2));
using Values = QVector<double>;

} // namespace

class TestTurnRecord : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void read_data();
    void read();
    void cannotOpen_data();
    void cannotOpen();
    void unreadableFile();
    void arraysSizedExactly();

private:
    QString write(const QByteArray &content);
    void compareWithReference(const TurnRecord &record, bool result, const QString &path);

    QTemporaryDir m_dir;
    int m_files = 0;
};

void TestTurnRecord::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

QString TestTurnRecord::write(const QByteArray &content)
{
    const QString path = m_dir.filePath(QStringLiteral("T_%1.csv").arg(++m_files));
    if (!writeFile(path, content))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestTurnRecord::compareWithReference(const TurnRecord &record, bool result, const QString &path)
{
    TurnRecord reference;
    QCOMPARE(result, ReferenceReader::readTurn(reference, path));
    const QString difference = ReferenceReader::difference(record, reference);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TestTurnRecord::read_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QDateTime>("timestamp");
    QTest::addColumn<Values>("angle");
    QTest::addColumn<Values>("power");
    QTest::addColumn<Values>("forceLeft");
    QTest::addColumn<Values>("forceRight");

    const QByteArray lines("0,0,152.3,210.5,12.1\n1,10,160.0,230.2,10.4\n");
    const Values angle{0, 10}, power{152.3, 160.0}, left{210.5, 230.2}, right{12.1, 10.4};
    QTest::newRow("example file") << tag + lines + "#####\n" << true << tagTime << angle << power
                                  << left << right;
    QTest::newRow("underscore between date and time")
        << "VOK_Single_Turn_file ,T_100407_10-31-02.csv\n" + lines + "#####\n" << true << tagTime
        << angle << power << left << right;
    QTest::newRow("any character before csv")
        << "VOK_Single_Turn_file ,T_100407.10-31-02~csv\n" + lines + "#####\n" << true << tagTime
        << angle << power << left << right;
    QTest::newRow("another date")
        << "VOK_Single_Turn_file ,T_091231.23-59-58.csv\n" + lines + "#####\n" << true
        << QDateTime(QDate(9, 12, 31), QTime(23, 59, 58)) << angle << power << left << right;
    QTest::newRow("line ends with carriage returns")
        << QByteArray(tag + lines + "#####\n").replace("\n", "\r\n") << true << tagTime << angle
        << power << left << right;
    QTest::newRow("separator at the end without a line end")
        << tag + lines + "#####" << true << tagTime << angle << power << left << right;
    QTest::newRow("lines after the separator are ignored")
        << tag + lines + "#####\n2,20,1,2,3\nrubbish\n" << true << tagTime << angle << power << left
        << right;
    QTest::newRow("separator right after the tag") << tag + "#####\n" << true << tagTime << Values()
                                                   << Values() << Values() << Values();
    QTest::newRow("fields that are not numbers yield 0")
        << tag + "0,a,, 1e2 ,-0\n#####\n" << true << tagTime << Values{0} << Values{0}
        << Values{100} << Values{-0.0};
    QTest::newRow("NUL byte and invalid UTF-8 in fields")
        << tag + QByteArray("0,1\0,2\xff,3,4\n#####\n", 18) << true << tagTime << Values{0}
        << Values{0} << Values{3} << Values{4};

    const Values none;
    QTest::newRow("tag line does not match")
        << "VOK_Single_Turn_file,T_100407.10-31-02.csv\n" + lines + "#####\n" << false << QDateTime()
        << none << none << none << none;
    QTest::newRow("tag line in lower case")
        << "vok_single_turn_file ,T_100407.10-31-02.csv\n" + lines + "#####\n" << false
        << QDateTime() << none << none << none << none;
    QTest::newRow("tag line with a blank at the end")
        << "VOK_Single_Turn_file ,T_100407.10-31-02.csv \n" + lines + "#####\n" << false
        << QDateTime() << none << none << none << none;
    QTest::newRow("empty file") << QByteArray() << false << QDateTime() << none << none << none
                                << none;
    QTest::newRow("data line with four fields")
        << tag + "0,0,152.3,210.5,12.1\n1,10,160.0,230.2\n2,20,1,2,3\n#####\n" << false << tagTime
        << Values{0} << Values{152.3} << Values{210.5} << Values{12.1};
    QTest::newRow("data line with six fields")
        << tag + "0,0,152.3,210.5,12.1\n0,0,152.3,210.5,12.1,7\n#####\n" << false << tagTime
        << Values{0} << Values{152.3} << Values{210.5} << Values{12.1};
    QTest::newRow("empty line") << tag + "0,0,152.3,210.5,12.1\n\n#####\n" << false << tagTime
                                << Values{0} << Values{152.3} << Values{210.5} << Values{12.1};
    QTest::newRow("end of the file before the separator")
        << tag + lines << false << tagTime << angle << power << left << right;
    QTest::newRow("separator with a blank")
        << tag + lines + "##### \n" << false << tagTime << angle << power << left << right;
    QTest::newRow("tag line only") << tag << false << tagTime << none << none << none << none;

    QByteArray utf16("\xFF\xFE");
    for (const char c : tag + lines + "#####\n")
        utf16 += QByteArray(1, c) + '\0';
    QTest::newRow("UTF-16 with a byte order mark")
        << utf16 << true << tagTime << angle << power << left << right;
}

void TestTurnRecord::read()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, result);
    QFETCH(QDateTime, timestamp);
    QFETCH(Values, angle);
    QFETCH(Values, power);
    QFETCH(Values, forceLeft);
    QFETCH(Values, forceRight);

    const QString path = write(content);
    TurnRecord record;
    const bool actual = record.read(path);
    QCOMPARE(actual, result);
    QCOMPARE(record.path, path);
    QCOMPARE(record.timestamp, timestamp);
    QCOMPARE(record.timestamp.isNull(), timestamp.isNull());
    QCOMPARE(record.angle, angle);
    QCOMPARE(record.power, power);
    QCOMPARE(record.forceLeft, forceLeft);
    QCOMPARE(record.forceRight, forceRight);
    compareWithReference(record, actual, path);
}

void TestTurnRecord::cannotOpen_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing file") << "missing";
    QTest::newRow("directory") << "directory";
    QTest::newRow("named pipe") << "pipe";
}

// The record is left empty with its path set. A named pipe is not opened at
// all: that would wait for a writer.
void TestTurnRecord::cannotOpen()
{
    QFETCH(QString, kind);

    const QString path = m_dir.filePath(kind + QStringLiteral(".csv"));
    if (kind == QLatin1String("directory"))
        QVERIFY(QDir().mkpath(path));
    else if (kind == QLatin1String("pipe"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);

    TurnRecord record;
    record.angle = {1, 2};
    record.timestamp = tagTime;
    QVERIFY(!record.read(path));
    QCOMPARE(record.path, path);
    QVERIFY(record.timestamp.isNull());
    QVERIFY(record.angle.isEmpty() && record.power.isEmpty() && record.forceLeft.isEmpty()
            && record.forceRight.isEmpty());
    if (kind != QLatin1String("pipe"))
        compareWithReference(record, false, path);
}

// A file without read permission. The tests may run as root, who reads
// anything, so the read then happens as the user nobody.
void TestTurnRecord::unreadableFile()
{
    const QString path = write(tag + "0,0,1,2,3\n#####\n");
    QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
    QVERIFY(QFile::setPermissions(m_dir.path(), QFileDevice::Permissions(0x7755)));
    const bool root = ::geteuid() == 0;
    if (root && ::seteuid(65534) != 0)
        QSKIP("running as root and cannot switch to the user nobody");
    TurnRecord record;
    const bool result = record.read(path);
    if (root)
        QCOMPARE(::seteuid(0), 0);
    QVERIFY(!result);
    QCOMPARE(record.path, path);
    QVERIFY(record.timestamp.isNull());
    QVERIFY(record.angle.isEmpty());
}

// Each array holds exactly its values, with no room to spare.
void TestTurnRecord::arraysSizedExactly()
{
    QByteArray content = tag;
    for (int i = 0; i < 361; ++i)
        content += QByteArray::number(i) + "," + QByteArray::number(i) + ",1.5,2.5,3.5\n";
    const QString path = write(content + "#####\n");
    TurnRecord record;
    QVERIFY(record.read(path));
    QCOMPARE(record.angle.size(), 361);
    QCOMPARE(record.angle.at(360), 360.0);
    QCOMPARE(record.forceRight.at(360), 3.5);
    for (const Values *array : {&record.angle, &record.power, &record.forceLeft, &record.forceRight})
        QCOMPARE(array->capacity(), 361);
}

QTEST_GUILESS_MAIN(TestTurnRecord)
#include "tst_turnrecord.moc"
