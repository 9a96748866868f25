#include "SpaceScaleDraw.h"
#include "TimeScaleDraw.h"

#include <QTest>
#include <qwt_text.h>

// The x-axis (and tracker) labels, and the unit texts the x-axis chooser shows.
class TestScaleDraws : public QObject
{
    Q_OBJECT

private slots:
    void timeLabel_data();
    void timeLabel();
    void spaceLabel_data();
    void spaceLabel();
    void unitTexts_data();
    void unitTexts();
};

void TestScaleDraws::timeLabel_data()
{
    QTest::addColumn<QTime>("base"); // midnight when relative, the ride's start otherwise
    QTest::addColumn<quint32>("unit");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("label");

    const QTime midnight(0, 0);
    QTest::newRow("relative, the fraction dropped") << midnight << 0u << 3725.9 << "01:02:05";
    QTest::newRow("a minute after a 10:15 start") << QTime(10, 15) << 0u << 60.0 << "10:16:00";
    QTest::newRow("the same in hours and minutes") << QTime(10, 15) << 1u << 60.0 << "10:16";
    QTest::newRow("mm:ss, hours not carried into minutes") << midnight << 3u << 3725.0 << "02:05";
    QTest::newRow("past midnight, next day's clock") << QTime(23, 30) << 0u << 3600.0 << "00:30:00";
    QTest::newRow("negative fraction, toward zero") << QTime(0, 0, 10) << 0u << -0.9 << "00:00:10";
    QTest::newRow("an unknown unit labels all Error") << QTime(10, 15) << 6u << 60.0 << "Error";
    QTest::newRow("a value beyond any ride stops at the largest int of seconds")
        << midnight << 0u << 1.0e300 << "03:14:07";
    QTest::newRow("not a number is the start") << QTime(8, 0) << 0u << qQNaN() << "08:00:00";
}

void TestScaleDraws::timeLabel()
{
    QFETCH(QTime, base);
    QFETCH(quint32, unit);
    QFETCH(double, value);
    QTEST(TimeScaleDraw(base, TimeScaleDraw::unitFormat(unit)).label(value).text(), "label");
}

void TestScaleDraws::spaceLabel_data()
{
    QTest::addColumn<double>("offset"); // 0 when relative, the start distance otherwise
    QTest::addColumn<quint32>("unit");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("label");

    QTest::newRow("relative distance in meters") << 0.0 << 1u << 1.5 << "1500.000";
    QTest::newRow("from a start at 100 km, in Km") << 100.0 << 0u << 1.5 << "101.500";
    QTest::newRow("relative kilometres, three decimals") << 0.0 << 0u << 12.345 << "12.345";
    QTest::newRow("an unknown unit labels kilometres") << 0.0 << 2u << 1.5 << "1.500";
}

void TestScaleDraws::spaceLabel()
{
    QFETCH(double, offset);
    QFETCH(quint32, unit);
    QFETCH(double, value);
    QTEST(SpaceScaleDraw(offset, SpaceScaleDraw::unitFactor(unit)).label(value).text(), "label");
}

void TestScaleDraws::unitTexts_data()
{
    QTest::addColumn<quint32>("unit");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("space");

    QTest::newRow("first unit") << 0u << "hh:mm:ss" << "Km";
    QTest::newRow("second unit") << 1u << "hh:mm" << "meters";
    QTest::newRow("third unit, past the space units") << 2u << "hh" << "error";
    QTest::newRow("fifth unit") << 4u << "mm" << "error";
    QTest::newRow("sixth unit") << 5u << "ss" << "error";
    QTest::newRow("past the time units") << 6u << "Error" << "error";
    QTest::newRow("largest stored value") << 4294967295u << "Error" << "error";
}

void TestScaleDraws::unitTexts()
{
    QFETCH(quint32, unit);
    QTEST(TimeScaleDraw::unitFormat(unit), "time");
    QTEST(SpaceScaleDraw::unitText(unit), "space");
}

QTEST_MAIN(TestScaleDraws)
#include "tst_scaledraws.moc"
