#include "FieldConverter.h"
#include "TextLineReader.h"

#include <QTemporaryFile>
#include <QtTest>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>

namespace {

// A field written to a file as one line and read back, so that it reaches
// the converter as the readers hand it over.
class FieldLine
{
public:
    explicit FieldLine(const QByteArray &bytes)
    {
        m_file.open();
        m_file.write(bytes + '\n');
        m_file.flush();
        m_file.seek(0);
        m_reader.reset(new TextLineReader(m_file));
        m_reader->readLine();
    }
    const TextLineReader &reader() const { return *m_reader; }
    const char *begin() const { return m_reader->lineBegin(); }
    const char *end() const { return m_reader->lineEnd(); }

private:
    QTemporaryFile m_file;
    std::unique_ptr<TextLineReader> m_reader;
};

bool sameDouble(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

QByteArray nines(int count)
{
    return QByteArray(count, '9');
}

} // namespace

class TestFieldConverter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void number_data();
    void number();
    void numberEndsAtComma_data();
    void numberEndsAtComma();
    void seconds_data();
    void seconds();
    void plainDecimalsRoundCorrectly();
};

void TestFieldConverter::initTestCase()
{
    // strtod is the independent witness below; it must read "." as the point.
    std::setlocale(LC_NUMERIC, "C");
}

void TestFieldConverter::number_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<double>("expected");

    const double inf = HUGE_VAL;
    const double nan = std::nan("");
    QTest::newRow("whole number") << QByteArray("352") << 352.0;
    QTest::newRow("negative decimal") << QByteArray("-12.345") << -12.345;
    QTest::newRow("small decimal") << QByteArray("0.007") << 0.007;
    QTest::newRow("coordinate") << QByteArray("45.67891") << 45.67891;
    QTest::newRow("leading zeros") << QByteArray("007") << 7.0;
    QTest::newRow("point without decimals") << QByteArray("1.") << 1.0;
    QTest::newRow("point first") << QByteArray(".5") << 0.5;
    QTest::newRow("minus and point first") << QByteArray("-.5") << -0.5;
    QTest::newRow("negative zero") << QByteArray("-0") << -0.0;
    QTest::newRow("negative zero with decimals") << QByteArray("-0.000") << -0.0;
    QTest::newRow("plus sign") << QByteArray("+1") << 1.0;
    QTest::newRow("blank before") << QByteArray(" 1") << 1.0;
    QTest::newRow("blank after") << QByteArray("1 ") << 1.0;
    QTest::newRow("tab before, carriage return after") << QByteArray("\t1\r") << 1.0;
    QTest::newRow("no-break space before") << QByteArray("\xc2\xa0" "1") << 1.0;
    QTest::newRow("em space after") << QByteArray("1\xe2\x80\x83") << 1.0;
    QTest::newRow("blank inside") << QByteArray("1 2") << 0.0;
    QTest::newRow("exponent") << QByteArray("1e5") << 1e5;
    QTest::newRow("capital exponent") << QByteArray("1E5") << 1e5;
    QTest::newRow("negative exponent") << QByteArray("1e-5") << 1e-5;
    QTest::newRow("point then exponent") << QByteArray("1.e5") << 1e5;
    QTest::newRow("exponent without digits") << QByteArray("1e") << 0.0;
    QTest::newRow("exponent of many digits") << QByteArray("1e0000000000000000005") << 1e5;
    QTest::newRow("hexadecimal") << QByteArray("0x10") << 0.0;
    QTest::newRow("nan") << QByteArray("nan") << nan;
    QTest::newRow("NaN") << QByteArray("NaN") << nan;
    QTest::newRow("signed nan") << QByteArray("-nan") << 0.0;
    QTest::newRow("inf") << QByteArray("inf") << inf;
    QTest::newRow("negative inf") << QByteArray("-inf") << -inf;
    QTest::newRow("Inf") << QByteArray("Inf") << inf;
    QTest::newRow("infinity spelled out") << QByteArray("infinity") << 0.0;
    QTest::newRow("empty field") << QByteArray("") << 0.0;
    QTest::newRow("blank field") << QByteArray(" ") << 0.0;
    QTest::newRow("minus alone") << QByteArray("-") << 0.0;
    QTest::newRow("point alone") << QByteArray(".") << 0.0;
    QTest::newRow("two points") << QByteArray("1..2") << 0.0;
    QTest::newRow("two minus signs") << QByteArray("--1") << 0.0;
    QTest::newRow("letters after digits") << QByteArray("12abc") << 0.0;
    QTest::newRow("NUL byte after digits") << QByteArray("1\0", 2) << 0.0;
    QTest::newRow("minus sign character") << QByteArray("\xe2\x88\x92" "1") << -1.0;
    QTest::newRow("Arabic-Indic digit") << QByteArray("\xd9\xa1") << 0.0;
    QTest::newRow("fullwidth digit") << QByteArray("\xef\xbc\x91") << 0.0;
    QTest::newRow("invalid UTF-8") << QByteArray("1\xff") << 0.0;
    QTest::newRow("too large") << QByteArray("1e400") << inf;
    QTest::newRow("too large, negative") << QByteArray("-1e400") << -inf;
    QTest::newRow("too small") << QByteArray("1e-400") << 0.0;
    QTest::newRow("too small, negative, gives +0") << QByteArray("-1e-400") << 0.0;
    QTest::newRow("smallest denormal") << QByteArray("4.9e-324") << 4.9e-324;
    QTest::newRow("largest double") << QByteArray("1.7976931348623157e308") << 1.7976931348623157e308;
    QTest::newRow("19 digits") << QByteArray("1234567890123456789") << 1234567890123456789.0;
    QTest::newRow("beyond 2^53") << QByteArray("9007199254740993") << 9007199254740992.0;
    QTest::newRow("30 digits") << QByteArray("123456789012345678901234567890")
                               << 123456789012345678901234567890.0;
    QTest::newRow("25 decimals") << QByteArray("0.1234567890123456789012345")
                                 << 0.1234567890123456789012345;
    QTest::newRow("halfway case rounds to even") << QByteArray("9007199254740993.0")
                                                 << 9007199254740992.0;
    QTest::newRow("310 digits") << nines(310) << inf;
    QTest::newRow("310 digits, negative, with point") << "-" + nines(310) + "." << -inf;
    QTest::newRow("400 zeros after the point") << "0." + QByteArray(400, '0') + "1" << 0.0;
    QTest::newRow("400 zeros after the point, negative") << "-0." + QByteArray(400, '0') + "1" << 0.0;
    QTest::newRow("1000 digits of a small number") << "0.5" + QByteArray(997, '0') << 0.5;
    QTest::newRow("1000 leading zeros") << QByteArray(1000, '0') + "42.25" << 42.25;
}

void TestFieldConverter::number()
{
    QFETCH(QByteArray, field);
    QFETCH(double, expected);

    // What Qt itself makes of the field: the expectation is that value.
    const QString text = QString::fromUtf8(field.constData(), field.size());
    QVERIFY2(sameDouble(text.toDouble(), expected), qPrintable(QString::number(text.toDouble(), 'g', 17)));

    const FieldLine line(field);
    double value = 42;
    const char *end = FieldConverter::number(line.begin(), line.end(), value, line.reader());
    QCOMPARE(end - line.begin(), line.end() - line.begin());
    QVERIFY2(sameDouble(value, expected), qPrintable(QString::number(value, 'g', 17)));

    const auto *units = reinterpret_cast<const ushort *>(text.utf16());
    value = 42;
    const ushort *unitsEnd = FieldConverter::number(units, units + text.size(), value, line.reader());
    QCOMPARE(unitsEnd, units + text.size());
    QVERIFY2(sameDouble(value, expected), qPrintable(QString::number(value, 'g', 17)));
}

void TestFieldConverter::numberEndsAtComma_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("fieldLength");
    QTest::addColumn<double>("expected");

    QTest::newRow("plain number") << QByteArray("12.5,7") << 4 << 12.5;
    QTest::newRow("number with blanks") << QByteArray(" 12.5 ,7") << 6 << 12.5;
    QTest::newRow("empty field") << QByteArray(",7") << 0 << 0.0;
    QTest::newRow("not a number") << QByteArray("x1,7") << 2 << 0.0;
    QTest::newRow("exponent") << QByteArray("2e3,7,8") << 3 << 2000.0;
}

void TestFieldConverter::numberEndsAtComma()
{
    QFETCH(QByteArray, line);
    QFETCH(int, fieldLength);
    QFETCH(double, expected);

    const FieldLine file(line);
    double value = 42;
    const char *end = FieldConverter::number(file.begin(), file.end(), value, file.reader());
    QCOMPARE(int(end - file.begin()), fieldLength);
    QCOMPARE(*end, ',');
    QCOMPARE(value, expected);
}

void TestFieldConverter::seconds_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<double>("expected");

    QTest::newRow("start") << QByteArray("0:00:00") << 0.0;
    QTest::newRow("hour with one digit") << QByteArray("1:02:03") << 3723.0;
    QTest::newRow("hour with two digits") << QByteArray("01:02:03") << 3723.0;
    QTest::newRow("afternoon") << QByteArray("12:34:56") << 45296.0;
    QTest::newRow("last second of the day") << QByteArray("23:59:59") << 86399.0;
    QTest::newRow("hour 24") << QByteArray("24:00:00") << 0.0;
    QTest::newRow("minute 60") << QByteArray("1:60:00") << 0.0;
    QTest::newRow("second 60") << QByteArray("1:00:60") << 0.0;
    QTest::newRow("minute with one digit") << QByteArray("1:2:03") << 0.0;
    QTest::newRow("second with one digit") << QByteArray("1:02:3") << 0.0;
    QTest::newRow("hour with three digits") << QByteArray("001:02:03") << 0.0;
    QTest::newRow("blank before") << QByteArray(" 1:02:03") << 0.0;
    QTest::newRow("blank after") << QByteArray("1:02:03 ") << 0.0;
    QTest::newRow("plus sign") << QByteArray("+1:02:03") << 3723.0;
    QTest::newRow("minus sign") << QByteArray("-1:02:03") << 0.0;
    QTest::newRow("no seconds") << QByteArray("1:02") << 0.0;
    QTest::newRow("milliseconds too") << QByteArray("1:02:03:04") << 0.0;
    QTest::newRow("seconds as a decimal") << QByteArray("1:02:03.5") << 0.0;
    QTest::newRow("empty") << QByteArray("") << 0.0;
    QTest::newRow("carriage return after") << QByteArray("1:02:03\r") << 0.0;
    QTest::newRow("Arabic-Indic digits") << QByteArray("\xd9\xa1:\xd9\xa0\xd9\xa2:\xd9\xa0\xd9\xa3") << 0.0;
    QTest::newRow("seconds of a day and more") << QByteArray("99:99:99") << 0.0;
}

void TestFieldConverter::seconds()
{
    QFETCH(QByteArray, field);
    QFETCH(double, expected);

    const QString text = QString::fromUtf8(field.constData(), field.size());
    QCOMPARE(FieldConverter::timeSeconds(text), expected);

    const FieldLine line(field + ",9");
    double value = 42;
    const char *end = FieldConverter::seconds(line.begin(), line.end(), value, line.reader());
    QCOMPARE(int(end - line.begin()), field.size());
    QCOMPARE(value, expected);

    const auto *units = reinterpret_cast<const ushort *>(text.utf16());
    value = 42;
    FieldConverter::seconds(units, units + text.size(), value, line.reader());
    QCOMPARE(value, expected);
}

// Random numbers in the plain form of the files, of every length around the
// limits of the quick conversion, against strtod and QString::toDouble.
void TestFieldConverter::plainDecimalsRoundCorrectly()
{
    std::mt19937_64 random(20100407);
    const FieldLine anyLine("0");
    for (int i = 0; i < 200000; ++i) {
        QByteArray field;
        if (random() % 3 == 0)
            field += '-';
        const int whole = 1 + int(random() % 22);
        const int fraction = int(random() % 24) - 1; // -1: no point
        for (int d = 0; d < whole; ++d)
            field += char('0' + (d == 0 && random() % 4 ? 1 + random() % 9 : random() % 10));
        if (fraction >= 0) {
            field += '.';
            for (int d = 0; d < fraction; ++d)
                field += char('0' + random() % 10);
        }
        const double witness = std::strtod(field.constData(), nullptr);
        double value = 0;
        FieldConverter::number(field.constData(), field.constData() + field.size(), value, anyLine.reader());
        QVERIFY2(sameDouble(value, witness), field.constData());
        QVERIFY2(sameDouble(QString::fromLatin1(field).toDouble(), witness), field.constData());
    }
}

QTEST_GUILESS_MAIN(TestFieldConverter)
#include "tst_fieldconverter.moc"
