#include "ReferenceReader.h"
#include "TextLineReader.h"

#include <QBuffer>
#include <QTemporaryFile>
#include <QTextCodec>
#include <QtTest>

#include <algorithm>

namespace {

// The text with one byte order mark of the encoding in front.
QByteArray encoded(const char *codec, const QString &text)
{
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    const QString marked = QChar(0xFEFF) + text;
    return QTextCodec::codecForName(codec)->fromUnicode(marked.constData(), marked.size(), &state);
}

} // namespace

// The line rules of the ride files, as the reader and the reference reader
// apply them; the reader reads in pieces of several sizes, down to one byte.
class TestTextLineReader : public QObject
{
    Q_OBJECT

private slots:
    void lines_data();
    void lines();
};

void TestTextLineReader::lines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("records"); // lines with a comma before the first "#####" line

    const QString mark(QChar(0xFEFF)), bad(QChar::ReplacementCharacter);
    const QString text = QString::fromUtf8("tag\r\nB\xc3\xb6hl,\xe2\x82\xac\n#####\n,");
    const QStringList lines{"tag", QString::fromUtf8("B\xc3\xb6hl,\xe2\x82\xac"), "#####", ","};
    QTest::newRow("line feeds") << QByteArray("a\nb,c\n") << QStringList{"a", "b,c"} << 1;
    QTest::newRow("carriage return and line feed")
        << QByteArray("a,\r\n#####\r\nb,\r\n") << QStringList{"a,", "#####", "b,"} << 1;
    QTest::newRow("one carriage return at the end of a line is dropped")
        << QByteArray("a\r\r\n#####\r") << QStringList{"a\r", "#####"} << 0;
    QTest::newRow("a carriage return elsewhere stays")
        << QByteArray("a\rb\r\n\r") << QStringList{"a\rb", ""} << 0;
    QTest::newRow("a last line without a line end counts")
        << QByteArray("a,\nb,") << QStringList{"a,", "b,"} << 2;
    QTest::newRow("empty lines") << QByteArray("\n\n") << QStringList{"", ""} << 0;
    QTest::newRow("empty file") << QByteArray() << QStringList() << 0;
    QTest::newRow("UTF-8 byte order mark skipped")
        << QByteArray("\xef\xbb\xbf" ",\n") << QStringList{","} << 1;
    QTest::newRow("nothing but a byte order mark") << QByteArray("\xef\xbb\xbf") << QStringList()
                                                   << 0;
    QTest::newRow("byte order marks after the first are text")
        << QByteArray("\xef\xbb\xbf\xef\xbb\xbf" "a,\xef\xbb\xbf\xef\xbb\xbf" "b\n\xef\xbb\xbf")
        << QStringList{mark + "a," + mark + mark + "b", mark} << 1;
    QTest::newRow("UTF-8 text") << text.toUtf8() << lines << 1;
    QTest::newRow("invalid UTF-8 replaced byte by byte")
        << QByteArray("\xe2\x82,\xff\xed\xa0\x80\n\xc3")
        << QStringList{bad + bad + "," + bad + bad + bad + bad, bad} << 1;
    QTest::newRow("NUL bytes stay")
        << QByteArray("a\0,", 3) << QStringList{QString("a") + QChar(0) + ","} << 1;
    QTest::newRow("UTF-16 little-endian") << encoded("UTF-16LE", text) << lines << 1;
    QTest::newRow("UTF-16 big-endian") << encoded("UTF-16BE", text) << lines << 1;
    QTest::newRow("UTF-32 little-endian") << encoded("UTF-32LE", text) << lines << 1;
    QTest::newRow("UTF-32 big-endian") << encoded("UTF-32BE", text) << lines << 1;
    QTest::newRow("UTF-16 with a second byte order mark, skipped as in UTF-8")
        << encoded("UTF-16LE", mark + "a\nb") << QStringList{"a", "b"} << 0;
    QTest::newRow("UTF-16 with an unpaired surrogate, which becomes a question mark")
        << QByteArray("\xff\xfe" "a\0\0\xd8,\0", 8) << QStringList{"a?,"} << 1;
    // Lines of every kind, the separator in the later half or missing (-2:
    // and the last line without its line end).
    for (const int separatorAt : {250, -1, -2}) {
        QByteArray bytes;
        QStringList lines;
        int records = 0;
        for (int i = 0; i < 300; ++i) {
            const QByteArray line =
                i == separatorAt ? "#####" : QByteArray(i % 7, ',') + QByteArray::number(i);
            bytes += line + (i % 3 ? "\n" : "\r\n");
            lines << QString::fromLatin1(line);
            records += (separatorAt < 0 || i < separatorAt) && i % 7;
        }
        if (separatorAt == -2)
            bytes.chop(1);
        QTest::addRow("300 lines, separator line at %d", separatorAt) << bytes << lines << records;
    }
    QTest::newRow("a line longer than the default buffer")
        << QByteArray(3 << 19, ',') + "\ny" << QStringList{QString(3 << 19, ','), "y"} << 1;
}

void TestTextLineReader::lines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    QFETCH(int, records);

    QCOMPARE(ReferenceReader::lines(bytes), expected);
    for (const qint64 chunk : {qint64(1), qint64(5), TextLineReader::DefaultChunkSize}) {
        QBuffer device(&bytes);
        QVERIFY(device.open(QIODevice::ReadOnly));
        TextLineReader reader(device, chunk);
        QCOMPARE(reader.countRecords(0, 1), qint64(records));
        QStringList lines;
        while (reader.readLine()) {
            lines << reader.lineText();
            // Decoded field by field, the line reads the same.
            QStringList fields;
            for (const char *p = reader.lineBegin();; ++p) {
                const char *end = std::find(p, reader.lineEnd(), ',');
                fields << TextLineReader::text(p, end);
                if ((p = end) == reader.lineEnd())
                    break;
            }
            QCOMPARE(fields.join(','), lines.last());
        }
        QCOMPARE(lines, expected);

        // The same lines in runs, after some read one by one.
        for (int oneByOne = 0; oneByOne <= 2; ++oneByOne) {
            QBuffer again(&bytes);
            QVERIFY(again.open(QIODevice::ReadOnly));
            TextLineReader runs(again, chunk);
            QStringList read;
            for (int i = 0; i < oneByOne && runs.readLine(); ++i)
                read << runs.lineText();
            while (runs.readLines()) {
                const char *end = runs.lineEnd();
                QVERIFY(runs.lineBegin() != end);
                for (const char *p = runs.lineBegin(); p != end;) {
                    const char *lineEnd;
                    const char *next = TextLineReader::nextLine(p, end, lineEnd);
                    read << TextLineReader::text(p, lineEnd);
                    p = next;
                }
            }
            QCOMPARE(read, expected);
        }
    }

    // Counted in a file, whose later half is scanned apart from a few
    // chunks on, wherever that half begins; the reading still starts at
    // the first line.
    QTemporaryFile file;
    QVERIFY(file.open() && file.write(bytes) == bytes.size() && file.flush());
    auto recordsAfter = [&expected](int skip) {
        int count = 0;
        for (int i = skip; i < expected.size() && expected[i] != QLatin1String("#####"); ++i)
            count += expected[i].contains(',');
        return count;
    };
    QCOMPARE(recordsAfter(0), records);
    const qint64 chunks[] = {1, 5, 16, TextLineReader::DefaultChunkSize};
    for (const qint64 chunk : chunks) {
        for (const int skip : {0, 1, 3}) {
            QFile device(file.fileName());
            QVERIFY(device.open(QIODevice::ReadOnly));
            TextLineReader reader(device, chunk);
            QCOMPARE(reader.countRecords(skip, 1), qint64(recordsAfter(skip)));
            QCOMPARE(reader.readLine(), !expected.isEmpty());
            QCOMPARE(expected.isEmpty() ? QString() : reader.lineText(), expected.value(0));
        }
    }
}

QTEST_GUILESS_MAIN(TestTextLineReader)
#include "tst_textlinereader.moc"
