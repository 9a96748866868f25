#include "SpaceScaleDraw.h"
#include "TimeScaleDraw.h"

#include <QTest>
#include <qwt_text.h>

Q_DECLARE_METATYPE(TimeScaleDraw::Reading)

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
    QTest::addColumn<TimeScaleDraw::Reading>("reading");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("label");

    const QTime midnight(0, 0);
    const auto clock = TimeScaleDraw::TimeOfDay;
    const auto elapsed = TimeScaleDraw::Elapsed;
    QTest::newRow("relative, the fraction dropped") << midnight << 0u << clock << 3725.9 << "01:02:05";
    QTest::newRow("a minute after a 10:15 start") << QTime(10, 15) << 0u << clock << 60.0 << "10:16:00";
    QTest::newRow("the same in hours and minutes") << QTime(10, 15) << 1u << clock << 60.0 << "10:16";
    QTest::newRow("mm:ss, hours not carried into minutes") << midnight << 3u << clock << 3725.0 << "02:05";
    QTest::newRow("past midnight, next day's clock") << QTime(23, 30) << 0u << clock << 3600.0 << "00:30:00";
    QTest::newRow("negative fraction, toward zero") << QTime(0, 0, 10) << 0u << clock << -0.9 << "00:00:10";
    QTest::newRow("an unknown unit labels all Error") << QTime(10, 15) << 6u << clock << 60.0 << "Error";
    QTest::newRow("a value beyond any ride stops at the largest int of seconds")
        << midnight << 0u << clock << 1.0e300 << "03:14:07";
    QTest::newRow("elapsed, a whole day") << midnight << 0u << elapsed << 86400.0 << "24:00:00";
    QTest::newRow("elapsed, hours past a day") << midnight << 0u << elapsed << 95400.0 << "26:30:00";
    QTest::newRow("elapsed, minutes and seconds past a day")
        << midnight << 3u << elapsed << 95405.0 << "30:05";
    QTest::newRow("elapsed, three hour digits") << midnight << 2u << elapsed << 360000.0 << "100";
    QTest::newRow("clock, the same moment on the next day")
        << QTime(10, 30) << 0u << clock << 95400.0 << "13:00:00";
    QTest::newRow("elapsed, before the start, the clock of the day before")
        << QTime(0, 0, 10) << 0u << elapsed << -20.0 << "23:59:50";
    QTest::newRow("elapsed, far beyond any ride") << midnight << 0u << elapsed << 1.0e300
                                                  << "596523:14:07";
    QTest::newRow("not a number is the start") << QTime(8, 0) << 0u << clock << qQNaN() << "08:00:00";
}

void TestScaleDraws::timeLabel()
{
    QFETCH(QTime, base);
    QFETCH(quint32, unit);
    QFETCH(TimeScaleDraw::Reading, reading);
    QFETCH(double, value);
    QTEST(TimeScaleDraw(base, TimeScaleDraw::unitFormat(unit), reading).label(value).text(),
          "label");
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
