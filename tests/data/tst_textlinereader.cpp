#include "TestFiles.h"
#include "TextLineReader.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

namespace {

const QByteArray mark("\xEF\xBB\xBF");
// U+FEFF as a character of the text (QString::fromUtf8 drops a leading one).
const QString markCharacter(QChar(0xFEFF));

QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

QString a(int count)
{
    return QString(count, QLatin1Char('a'));
}

QByteArray bytes(const char *data, int size)
{
    return QByteArray(data, size);
}

} // namespace

class TestTextLineReader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void lines_data();
    void lines();
    void blockBoundaries_data();
    void blockBoundaries();
    void fields_data();
    void fields();
    void lineEquals_data();
    void lineEquals();
    void countRecords_data();
    void countRecords();
    void countThenReadLargeFile();

private:
    QString write(const QByteArray &content);
    QStringList readWithStream(const QString &path);
    QStringList readWithReader(const QString &path, QStringList *fieldTexts = nullptr);
    // The file read by QTextStream, by the reader a line at a time, and by the
    // reader a field at a time (unless the line had to be decoded whole and
    // fieldsAlways is false) all give the expected lines.
    void compareReadings(const QByteArray &content, const QStringList &expected,
                         bool fieldsAlways);

    QTemporaryDir m_dir;
    int m_files = 0;
};

void TestTextLineReader::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

QString TestTextLineReader::write(const QByteArray &content)
{
    const QString path = m_dir.filePath(QStringLiteral("file%1.csv").arg(++m_files));
    if (!writeFile(path, content))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QStringList TestTextLineReader::readWithStream(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QTextStream in(&file);
    QStringList lines;
    while (!in.atEnd())
        lines << in.readLine();
    return lines;
}

void TestTextLineReader::compareReadings(const QByteArray &content,
                                         const QStringList &expected, bool fieldsAlways)
{
    const QString path = write(content);
    QCOMPARE(readWithStream(path), expected);
    QStringList byFields;
    QCOMPARE(readWithReader(path, &byFields), expected);
    if (fieldsAlways || !byFields.isEmpty())
        QCOMPARE(byFields, expected);
}

// The lines as text; with fieldTexts, also each line decoded a field at a
// time and joined again, which must give the same text.
QStringList TestTextLineReader::readWithReader(const QString &path, QStringList *fieldTexts)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    TextLineReader reader(file);
    QStringList lines;
    while (reader.readLine()) {
        lines << reader.lineText();
        if (fieldTexts && !reader.isDecoded()) {
            QStringList fields;
            const char *p = reader.lineBegin();
            for (;;) {
                const char *comma = std::find(p, reader.lineEnd(), ',');
                fields << reader.text(p, comma);
                if (comma == reader.lineEnd())
                    break;
                p = comma + 1;
            }
            *fieldTexts << fields.join(QLatin1Char(','));
        }
    }
    return lines;
}

void TestTextLineReader::lines_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("lines ending in a line feed") << QByteArray("a\nb\n") << QStringList{"a", "b"};
    QTest::newRow("carriage return and line feed") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("lone carriage return stays in the line") << QByteArray("a\rb\n") << QStringList{"a\rb"};
    QTest::newRow("carriage return at the very end dropped") << QByteArray("a\nb\r") << QStringList{"a", "b"};
    QTest::newRow("two carriage returns before a line feed keep one")
        << QByteArray("a\r\r\nb") << QStringList{"a\r", "b"};
    QTest::newRow("last line without a line end") << QByteArray("a\nb") << QStringList{"a", "b"};
    QTest::newRow("empty lines") << QByteArray("\n\na\n\n") << QStringList{"", "", "a", ""};
    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("only a line feed") << QByteArray("\n") << QStringList{""};
    QTest::newRow("only a carriage return") << QByteArray("\r") << QStringList{""};
    QTest::newRow("NUL byte kept") << bytes("x\0y\n", 4) << QStringList{QString::fromLatin1("x\0y", 3)};
    QTest::newRow("byte order mark at the start skipped, later kept")
        << mark + "abc\n" + mark + "d\n" << QStringList{"abc", markCharacter + "d"};
    QTest::newRow("only a byte order mark: one empty line") << mark << QStringList{""};
    QTest::newRow("invalid bytes become replacement characters")
        << QByteArray("a\xff\xfe\n") << QStringList{u("a\uFFFD\uFFFD")};
    QTest::newRow("sequence cut short by the line end: one replacement character per byte")
        << QByteArray("\xE2\x82\nz\n") << QStringList{u("\uFFFD\uFFFD"), "z"};
    QTest::newRow("sequence cut short by the end of the file is dropped")
        << QByteArray("ab\xE2") << QStringList{"ab"};
    QTest::newRow("carriage return before an unfinished sequence at the end")
        << QByteArray("a\r\xE2") << QStringList{"a"};
    QTest::newRow("nothing but an unfinished sequence after the last line")
        << QByteArray("a\n\xF0\x9F\x98") << QStringList{"a"};
    QTest::newRow("unfinished sequence after an invalid one at the end")
        << QByteArray("a\xE2\xF0") << QStringList{u("a\uFFFD")};
    QTest::newRow("overlong and surrogate encodings")
        << QByteArray("\xC0\x80,\xED\xA0\x80\n") << QStringList{u("\uFFFD\uFFFD,\uFFFD\uFFFD\uFFFD")};
    QTest::newRow("characters of two, three and four bytes")
        << QByteArray("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\n") << QStringList{u("é€😀")};
    QTest::newRow("UTF-16 little-endian with byte order mark")
        << bytes("\xFF\xFE" "a\0\n\0b\0", 8) << QStringList{"a", "b"};
    QTest::newRow("UTF-16 big-endian with byte order mark")
        << bytes("\xFE\xFF\0a\0\r\0\n\0b", 10) << QStringList{"a", "b"};
    QTest::newRow("UTF-32 big-endian with byte order mark")
        << bytes("\0\0\xFE\xFF\0\0\0a", 8) << QStringList{"a"};
    QTest::newRow("line longer than the read buffer")
        << QByteArray(3 << 20, 'x') + "\r\ny" << QStringList{QString(3 << 20, QLatin1Char('x')), "y"};
}

void TestTextLineReader::lines()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, expected);

    compareReadings(content, expected, false);
}

// QTextStream decodes 16 KiB at a time; these place bytes right at the
// boundaries.
void TestTextLineReader::blockBoundaries_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("expected");

    auto as = [](int count) { return QByteArray(count, 'a'); };
    QTest::newRow("sequence cut by a block boundary gives one replacement character")
        << as(16382) + "\xE2\x82,x\n" << QStringList{a(16382) + u("\uFFFD,x")};
    QTest::newRow("the same sequence one byte earlier gives one per byte")
        << as(16381) + "\xE2\x82,x\n" << QStringList{a(16381) + u("\uFFFD\uFFFD,x")};
    QTest::newRow("three bytes of four cut by the boundary")
        << as(16381) + "\xF0\x9F\x98,x\n" << QStringList{a(16381) + u("\uFFFD,x")};
    QTest::newRow("two bytes before and one after the boundary")
        << as(16382) + "\xE0\x80\xAF\n" << QStringList{a(16382) + u("\uFFFD\uFFFD")};
    QTest::newRow("lead byte alone before the boundary")
        << as(16383) + "\xE2\x82,x\n" << QStringList{a(16383) + u("\uFFFD\uFFFD,x")};
    QTest::newRow("valid character across the boundary")
        << as(16383) + "\xC3\xA9\n" << QStringList{a(16383) + u("é")};
    QTest::newRow("byte order mark at a boundary after only ASCII is dropped")
        << as(16383) + "\n" + mark + "x\n" << QStringList{a(16383), "x"};
    QTest::newRow("byte order mark at a boundary inside a line is dropped")
        << as(16383) + "," + mark + "5\n" << QStringList{a(16383) + ",5"};
    QTest::newRow("byte order mark at the second boundary is dropped")
        << as(32767) + "\n" + mark + "x\n" << QStringList{a(32767), "x"};
    QTest::newRow("byte order mark cut by a boundary is dropped")
        << as(16382) + "\n" + mark + "x\n" << QStringList{a(16382), "x"};
    QTest::newRow("byte order mark cut after its first byte is dropped")
        << as(16381) + "\n" + mark + "x\n" << QStringList{a(16381), "x"};
    QTest::newRow("byte order mark just before the boundary is kept")
        << as(16380) + "\n" + mark + "x\n" << QStringList{a(16380), markCharacter + "x"};
    QTest::newRow("only the first of two byte order marks is dropped")
        << as(16383) + "\n" + mark + mark + "x\n" << QStringList{a(16383), markCharacter + "x"};
    QTest::newRow("byte order mark at a boundary after another character is kept")
        << "\xC3\xA9" + as(16381) + "\n" + mark + "x\n" << QStringList{u("é") + a(16381), markCharacter + "x"};
    QTest::newRow("byte order mark at a boundary after an invalid byte and ASCII is kept")
        << "\xE2" + as(16382) + "\n" + mark + "x\n" << QStringList{u("\uFFFD") + a(16382), markCharacter + "x"};
    QTest::newRow("byte order mark at a boundary after a cut invalid sequence is dropped")
        << as(16383) + "\xE2" + mark + "x\n" << QStringList{a(16383) + u("\uFFFDx")};
    QTest::newRow("unfinished sequence alone in the next block: one empty line")
        << as(16383) + "\n\xE2" << QStringList{a(16383), ""};
    QTest::newRow("unfinished sequence alone in the same block: no line")
        << as(16382) + "\n\xE2" << QStringList{a(16382)};
    QTest::newRow("byte order mark after the file's own is kept")
        << mark + as(16380) + "\n" + mark + "x\n" << QStringList{a(16380), markCharacter + "x"};
}

void TestTextLineReader::blockBoundaries()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, expected);

    compareReadings(content, expected, true);
}

void TestTextLineReader::fields_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("sequence cut short by a comma")
        << QByteArray("a\xE2\x82,b\n") << QStringList{u("a\uFFFD\uFFFD"), "b"};
    QTest::newRow("byte order mark starting a field is kept")
        << QByteArray("1,\xEF\xBB\xBF" "2\n") << QStringList{"1", markCharacter + "2"};
    QTest::newRow("unfinished sequence ending the line")
        << QByteArray("1,2\xC3\r\n") << QStringList{"1", u("2\uFFFD")};
    QTest::newRow("unfinished sequence ending the file")
        << QByteArray("1,2\xC3") << QStringList{"1", "2"};
    QTest::newRow("characters on both sides of a comma")
        << QByteArray("\xC3\xA9,\xE2\x82\xAC\n") << QStringList{u("é"), u("€")};
}

// Each field decoded on its own reads as the same field of the decoded line.
void TestTextLineReader::fields()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, expected);

    const QString path = write(content);
    QCOMPARE(readWithStream(path).value(0).split(QLatin1Char(',')), expected);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    TextLineReader reader(file);
    QVERIFY(reader.readLine());
    QStringList fields;
    const char *p = reader.lineBegin();
    for (;;) {
        const char *comma = std::find(p, reader.lineEnd(), ',');
        fields << reader.text(p, comma);
        if (comma == reader.lineEnd())
            break;
        p = comma + 1;
    }
    QCOMPARE(fields, expected);
}

void TestTextLineReader::lineEquals_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("separator");

    QTest::newRow("separator") << QByteArray("#####\n") << true;
    QTest::newRow("separator with carriage return") << QByteArray("#####\r\n") << true;
    QTest::newRow("separator at the end of the file") << QByteArray("#####") << true;
    QTest::newRow("separator before an unfinished sequence at the end") << QByteArray("#####\xE2\x82") << true;
    QTest::newRow("four signs") << QByteArray("####\n") << false;
    QTest::newRow("six signs") << QByteArray("######\n") << false;
    QTest::newRow("blank after") << QByteArray("##### \n") << false;
    QTest::newRow("byte order mark before, start of file") << QByteArray("\xEF\xBB\xBF#####\n") << true;
    QTest::newRow("byte order mark after") << QByteArray("#####\xEF\xBB\xBF\n") << false;
    QTest::newRow("byte order mark before, at a block boundary")
        << QByteArray(16383, 'a') + "\n\xEF\xBB\xBF#####\n" << true;
    QTest::newRow("byte order mark before, inside a block")
        << QByteArray(16379, 'a') + "\n\xEF\xBB\xBF#####\n" << false;
}

void TestTextLineReader::lineEquals()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, separator);

    const QString path = write(content);
    QCOMPARE(readWithStream(path).constLast() == QLatin1String("#####"), separator);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    TextLineReader reader(file);
    bool last = false;
    while (reader.readLine())
        last = reader.lineEquals(QLatin1String("#####"));
    QCOMPARE(last, separator);
}

void TestTextLineReader::countRecords_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("skipLines");
    QTest::addColumn<int>("minCommas");
    QTest::addColumn<int>("maxCommas");
    QTest::addColumn<bool>("stopAtOther");
    QTest::addColumn<int>("expected");

    const QByteArray header("tag\nkm\ntime\na,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p,q,r,s,t\n");
    const QByteArray sample(QByteArray(18, ',') + "\n");
    QTest::newRow("sample lines up to the separator")
        << header + sample + sample + sample + "#####\n" + sample << 4 << 18 << INT_MAX << false << 3;
    QTest::newRow("short lines not counted")
        << header + sample + "1,2\n\n" + sample + "#####\n" << 4 << 18 << INT_MAX << false << 2;
    QTest::newRow("separator with carriage return")
        << header + sample + "#####\r\n" + sample << 4 << 18 << INT_MAX << false << 1;
    QTest::newRow("no separator: counted to the end")
        << header + sample + sample << 4 << 18 << INT_MAX << false << 2;
    QTest::newRow("last line without a line end")
        << header + sample + QByteArray(25, ',') << 4 << 18 << INT_MAX << false << 2;
    QTest::newRow("header lines with commas are skipped")
        << sample + sample + sample + sample + sample << 4 << 18 << INT_MAX << false << 1;
    QTest::newRow("angle lines stop at the first other line")
        << QByteArray("tag\n0,1,2,3,4\n1,2,3,4,5\n1,2\n2,3,4,5,6\n#####\n") << 1 << 4 << 4 << true << 2;
    QTest::newRow("angle lines up to the separator")
        << QByteArray("tag\n0,1,2,3,4\r\n1,2,3,4,5\r\n#####\r\n9\n") << 1 << 4 << 4 << true << 2;
    QTest::newRow("empty file") << QByteArray() << 4 << 18 << INT_MAX << false << 0;
    QTest::newRow("UTF-16 is not counted")
        << bytes("\xFF\xFE" "a\0\n\0", 6) << 1 << 4 << 4 << true << -1;
}

void TestTextLineReader::countRecords()
{
    QFETCH(QByteArray, content);
    QFETCH(int, skipLines);
    QFETCH(int, minCommas);
    QFETCH(int, maxCommas);
    QFETCH(bool, stopAtOther);
    QFETCH(int, expected);

    QFile file(write(content));
    QVERIFY(file.open(QIODevice::ReadOnly));
    TextLineReader reader(file);
    QCOMPARE(reader.countRecords(skipLines, minCommas, maxCommas, stopAtOther), qint64(expected));
}

// A file larger than the read buffer is counted to its end and then read
// again from its first line.
void TestTextLineReader::countThenReadLargeFile()
{
    QByteArray content = "\xEF\xBB\xBF" "first\nkm\ntime\ncaption\n";
    const QByteArray sample = "1,0:00:01," + QByteArray(17, ',') + "1.5\n";
    const int samples = 150000;
    for (int i = 0; i < samples; ++i)
        content += sample;
    content += "#####\n";
    QFile file(write(content));
    QVERIFY(content.size() > (2 << 20));
    QVERIFY(file.open(QIODevice::ReadOnly));
    TextLineReader reader(file);
    QCOMPARE(reader.countRecords(4, 18, INT_MAX, false), qint64(samples));
    QVERIFY(reader.readLine());
    QCOMPARE(reader.lineText(), QStringLiteral("first"));
    int lines = 1;
    while (reader.readLine())
        ++lines;
    QCOMPARE(lines, 4 + samples + 1);
}

QTEST_GUILESS_MAIN(TestTextLineReader)
#include "tst_textlinereader.moc"
