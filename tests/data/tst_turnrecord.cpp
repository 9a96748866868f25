#include "ReferenceReader.h"
#include "TurnRecord.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

const QByteArray tag("VOK_Single_Turn_file ,T_100407.10-31-02.csv\n");
const QByteArray lines("0,0,152.3,210.5,12.1\n1,10,160.0,230.2,10.4\n");
const QDateTime tagTime(QDate(10, 4, 7), QTime(10, 31, 2));
using Values = QVector<double>;

} // namespace

// Reading a single-turn file, held to the reference reader on every file.
class TestTurnRecord : public QObject
{
    Q_OBJECT

private slots:
    void read_data();
    void read();

private:
    QTemporaryDir m_dir;
};

void TestTurnRecord::read_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QDateTime>("timestamp");
    QTest::addColumn<Values>("angle");
    QTest::addColumn<Values>("forceRight");

    const Values angle{0, 10}, right{12.1, 10.4}, none;
    QByteArray utf16("\xff\xfe");
    for (const char c : tag + lines + "#####\n")
        utf16 += QByteArray(1, c) + '\0';
    QTest::newRow("example file") << tag + lines + "#####\n" << true << tagTime << angle << right;
    QTest::newRow("underscore between date and time")
        << "VOK_Single_Turn_file ,T_100407_10-31-02.csv\n" + lines + "#####\n" << true << tagTime
        << angle << right;
    QTest::newRow("another date, any character before csv")
        << "VOK_Single_Turn_file ,T_091231.23-59-58~csv\n" + lines + "#####" << true
        << QDateTime(QDate(9, 12, 31), QTime(23, 59, 58)) << angle << right;
    QTest::newRow("carriage returns, lines after the separator ignored")
        << QByteArray(tag + lines + "#####\n2,20,1,2,3\nrubbish\n").replace("\n", "\r\n") << true
        << tagTime << angle << right;
    QTest::newRow("UTF-16 with a byte order mark") << utf16 << true << tagTime << angle << right;
    QTest::newRow("separator right after the tag") << tag + "#####\n" << true << tagTime << none
                                                   << none;
    QTest::newRow("fields that are not numbers yield 0")
        << tag + QByteArray("0,a,,\0x, 1e2 \n#####\n", 19) << true << tagTime << Values{0}
        << Values{100};
    QTest::newRow("tag line without the blank")
        << "VOK_Single_Turn_file,T_100407.10-31-02.csv\n" + lines + "#####\n" << false
        << QDateTime() << none << none;
    QTest::newRow("empty file") << QByteArray() << false << QDateTime() << none << none;
    QTest::newRow("data line with four fields: the lines before it are kept")
        << tag + "0,0,152.3,210.5,12.1\n1,10,160.0,230.2\n2,20,1,2,3\n#####\n" << false << tagTime
        << Values{0} << Values{12.1};
    QTest::newRow("data line with six fields")
        << tag + "0,0,1,2,3,4\n#####\n" << false << tagTime << none << none;
    QTest::newRow("empty line") << tag + "\n#####\n" << false << tagTime << none << none;
    QTest::newRow("end of the file before the separator")
        << tag + lines << false << tagTime << angle << right;
    QTest::newRow("missing file") << QByteArray("<missing>") << false << QDateTime() << none
                                  << none;
    QTest::newRow("directory") << QByteArray("<directory>") << false << QDateTime() << none
                               << none;
    QTest::newRow("named pipe, not opened: that would wait for a writer")
        << QByteArray("<pipe>") << false << QDateTime() << none << none;
}

void TestTurnRecord::read()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, result);
    QFETCH(QDateTime, timestamp);
    QFETCH(Values, angle);
    QFETCH(Values, forceRight);

    const QString path = m_dir.filePath(QTest::currentDataTag());
    QFile file(path);
    if (content == "<directory>")
        QVERIFY(QDir().mkpath(path));
    else if (content == "<pipe>")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (content != "<missing>")
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    file.close();
    TurnRecord record;
    const bool actual = record.read(path);
    QCOMPARE(actual, result);
    QCOMPARE(record.path, path);
    QCOMPARE(record.timestamp, timestamp);
    QCOMPARE(record.angle, angle);
    QCOMPARE(record.forceRight, forceRight);
    // Each array holds exactly its values, with no room to spare.
    for (const Values *array : {&record.angle, &record.power, &record.forceLeft,
                                &record.forceRight})
        QCOMPARE(array->capacity(), array->size());
    TurnRecord reference;
    if (content == "<pipe>")
        return;
    QCOMPARE(ReferenceReader::readTurn(reference, path), actual);
    const QString difference = ReferenceReader::difference(record, reference);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

QTEST_GUILESS_MAIN(TestTurnRecord)
#include "tst_turnrecord.moc"
