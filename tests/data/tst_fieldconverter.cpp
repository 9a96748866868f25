#include "FieldConverter.h"
#include "TextLineReader.h"

#include <QtTest>

#include <cmath>
#include <cstring>
#include <random>

// The quick conversions of numbers and times: each field is the first of a
// line, converted up to its comma, and must give what Qt's own conversion of
// the field's text gives.
class TestFieldConverter : public QObject
{
    Q_OBJECT

private slots:
    void convert_data();
    void convert();
    void plainDecimalsAgreeWithQt();

private:
    static bool same(double a, double b)
    {
        return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
    }
};

void TestFieldConverter::convert_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<bool>("time"); // an "h:mm:ss" time, in seconds
    QTest::addColumn<double>("expected");

    const QByteArray nines(310, '9');
    QTest::newRow("whole number") << QByteArray("352") << false << 352.0;
    QTest::newRow("negative decimal") << QByteArray("-12.345") << false << -12.345;
    QTest::newRow("point without decimals") << QByteArray("1.") << false << 1.0;
    QTest::newRow("point first") << QByteArray(".5") << false << 0.5;
    QTest::newRow("negative zero") << QByteArray("-0.000") << false << -0.0;
    QTest::newRow("empty field") << QByteArray("") << false << 0.0;
    QTest::newRow("19 digits") << QByteArray("1234567890123456789") << false
                               << 1234567890123456789.0;
    QTest::newRow("2^53 + 1 rounds to even") << QByteArray("9007199254740993") << false
                                             << 9007199254740992.0;
    QTest::newRow("25 decimals") << QByteArray("0.1234567890123456789012345") << false
                                 << 0.1234567890123456789012345;
    QTest::newRow("310 digits: infinity") << nines << false << HUGE_VAL;
    QTest::newRow("310 digits, negative, with point") << "-" + nines + "." << false << -HUGE_VAL;
    QTest::newRow("400 zeros after the point, negative: +0")
        << "-0." + QByteArray(400, '0') + "1" << false << 0.0;
    QTest::newRow("1000 leading zeros") << QByteArray(1000, '0') + "42.25" << false << 42.25;
    QTest::newRow("exponent") << QByteArray("1.5e3") << false << 1500.0;
    QTest::newRow("blanks around") << QByteArray(" 1 ") << false << 1.0;
    QTest::newRow("no-break space before") << QByteArray("\xc2\xa0" "1") << false << 1.0;
    QTest::newRow("byte order mark before, not a blank") << QByteArray("\xef\xbb\xbf" "1") << false
                                                         << 0.0;
    QTest::newRow("nan") << QByteArray("nan") << false << std::nan("");
    QTest::newRow("letters after digits") << QByteArray("12abc") << false << 0.0;
    QTest::newRow("invalid UTF-8") << QByteArray("1\xff") << false << 0.0;
    QTest::newRow("start of the ride") << QByteArray("0:00:00") << true << 0.0;
    QTest::newRow("hour with one digit") << QByteArray("1:02:03") << true << 3723.0;
    QTest::newRow("hour with two digits") << QByteArray("01:02:03") << true << 3723.0;
    QTest::newRow("last second of the day") << QByteArray("23:59:59") << true << 86399.0;
    QTest::newRow("a whole day") << QByteArray("24:00:00") << true << 86400.0;
    QTest::newRow("a day and a second") << QByteArray("24:00:01") << true << 86401.0;
    QTest::newRow("largest with two hour digits") << QByteArray("99:59:59") << true << 359999.0;
    QTest::newRow("three hour digits") << QByteArray("123:00:00") << true << 442800.0;
    QTest::newRow("hour with leading zeros") << QByteArray("001:02:03") << true << 3723.0;
    QTest::newRow("fifteen hour digits")
        << QByteArray("999999999999999:59:59") << true << 999999999999999.0 * 3600.0 + 3599.0;
    QTest::newRow("twenty hour digits") << QByteArray("12345678901234567890:00:01") << true
                                        << 12345678901234567890.0 * 3600.0 + 1.0;
    QTest::newRow("minute 60") << QByteArray("1:60:00") << true << 0.0;
    QTest::newRow("minute 60 past a day") << QByteArray("25:60:00") << true << 0.0;
    QTest::newRow("no seconds") << QByteArray("24:00") << true << 0.0;
    QTest::newRow("minute with one digit") << QByteArray("1:2:03") << true << 0.0;
    QTest::newRow("negative hours") << QByteArray("-25:00:00") << true << 0.0;
    QTest::newRow("plus sign") << QByteArray("+1:02:03") << true << 3723.0;
    QTest::newRow("blank before") << QByteArray(" 1:02:03") << true << 0.0;
    QTest::newRow("seconds as a decimal") << QByteArray("1:02:03.5") << true << 0.0;
    QTest::newRow("empty time") << QByteArray("") << true << 0.0;
}

void TestFieldConverter::convert()
{
    QFETCH(QByteArray, field);
    QFETCH(bool, time);
    QFETCH(double, expected);

    const QByteArray line = field + ",7";
    const char *begin = line.constData();
    double value = 42;
    const char *end = time ? FieldConverter::seconds(begin, begin + line.size(), value)
                           : FieldConverter::number(begin, begin + line.size(), value);
    QCOMPARE(end, begin + field.size());
    QVERIFY2(same(value, expected), qPrintable(QString::number(value, 'g', 17)));
    const QString text = TextLineReader::text(begin, end);
    const double qt = time ? FieldConverter::timeSeconds(text) : text.toDouble();
    QVERIFY2(same(value, qt), qPrintable(QString::number(qt, 'g', 17)));
}

// Random numbers in the plain form of the files, of every length around the
// limits of the quick conversion.
void TestFieldConverter::plainDecimalsAgreeWithQt()
{
    std::mt19937_64 random(20100407);
    for (int i = 0; i < 200000; ++i) {
        QByteArray field = random() % 3 ? "" : "-";
        for (int digits = 1 + int(random() % 22); digits > 0; --digits)
            field += char('0' + random() % 10);
        if (random() % 24)
            field += '.' + QByteArray::number(qulonglong(random())).left(int(random() % 23));
        double value = 0;
        FieldConverter::number(field.constData(), field.constData() + field.size(), value);
        QVERIFY2(same(value, QString::fromLatin1(field).toDouble()), field.constData());
    }
}

QTEST_GUILESS_MAIN(TestFieldConverter)
#include "tst_fieldconverter.moc"
