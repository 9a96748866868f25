#include "SpaceScaleDraw.h"
#include "TimeScaleDraw.h"

#include <QTest>
#include <qwt_text.h>

#include <limits>

// The labels of the x axis (and of the zoomers' trackers) in every unit and
// origin the options offer.
class TestScaleDraws : public QObject
{
    Q_OBJECT

private slots:
    void timeLabel_data();
    void timeLabel();
    void timeUnitFormat_data();
    void timeUnitFormat();
    void spaceLabel_data();
    void spaceLabel();
    void spaceUnit_data();
    void spaceUnit();
};

void TestScaleDraws::timeLabel_data()
{
    QTest::addColumn<QTime>("base");
    QTest::addColumn<QString>("format");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("label");

    const QTime midnight(0, 0, 0, 0);
    QTest::newRow("relative time, fraction of a second dropped")
        << midnight << "hh:mm:ss" << 3725.9 << "01:02:05";
    QTest::newRow("relative time at the start") << midnight << "hh:mm:ss" << 0.0 << "00:00:00";
    QTest::newRow("clock time a minute after a 10:15 start")
        << QTime(10, 15) << "hh:mm:ss" << 60.0 << "10:16:00";
    QTest::newRow("clock time in hours and minutes") << QTime(10, 15) << "hh:mm" << 60.0 << "10:16";
    QTest::newRow("minutes and seconds: hours are not carried into minutes")
        << midnight << "mm:ss" << 3725.0 << "02:05";
    QTest::newRow("hours only") << midnight << "hh" << 3725.0 << "01";
    QTest::newRow("minutes only") << midnight << "mm" << 3725.0 << "02";
    QTest::newRow("seconds only") << midnight << "ss" << 3725.0 << "05";
    QTest::newRow("relative time of 25 hours wraps to 01:00:00")
        << midnight << "hh:mm:ss" << 90000.0 << "01:00:00";
    QTest::newRow("clock time after midnight shows the next day's clock")
        << QTime(23, 30) << "hh:mm:ss" << 3600.0 << "00:30:00";
    QTest::newRow("a negative fraction truncates toward zero")
        << QTime(0, 0, 10) << "hh:mm:ss" << -0.9 << "00:00:10";
    QTest::newRow("a negative value counts back") << QTime(0, 0, 10) << "hh:mm:ss" << -1.5
                                                  << "00:00:09";
    QTest::newRow("an unknown unit labels everything Error")
        << QTime(10, 15) << "Error" << 60.0 << "Error";
    QTest::newRow("a value far beyond any ride does not overflow")
        << midnight << "hh:mm:ss" << 1.0e300 << "03:14:07";
    QTest::newRow("not a number is the start")
        << QTime(8, 0) << "hh:mm:ss" << std::numeric_limits<double>::quiet_NaN() << "08:00:00";
}

void TestScaleDraws::timeLabel()
{
    QFETCH(QTime, base);
    QFETCH(QString, format);
    QFETCH(double, value);
    QFETCH(QString, label);

    const TimeScaleDraw draw(base, format);
    QCOMPARE(draw.label(value).text(), label);
}

void TestScaleDraws::timeUnitFormat_data()
{
    QTest::addColumn<quint32>("unit");
    QTest::addColumn<QString>("format");

    QTest::newRow("hours, minutes and seconds") << 0u << "hh:mm:ss";
    QTest::newRow("hours and minutes") << 1u << "hh:mm";
    QTest::newRow("hours") << 2u << "hh";
    QTest::newRow("minutes and seconds") << 3u << "mm:ss";
    QTest::newRow("minutes") << 4u << "mm";
    QTest::newRow("seconds") << 5u << "ss";
    QTest::newRow("one past the list") << 6u << "Error";
    QTest::newRow("largest stored value") << 4294967295u << "Error";
}

void TestScaleDraws::timeUnitFormat()
{
    QFETCH(quint32, unit);
    QFETCH(QString, format);

    QCOMPARE(TimeScaleDraw::unitFormat(unit), format);
}

void TestScaleDraws::spaceLabel_data()
{
    QTest::addColumn<double>("offset");
    QTest::addColumn<quint32>("unit");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("label");

    QTest::newRow("relative distance in meters") << 0.0 << 1u << 1.5 << "1500.000";
    QTest::newRow("absolute distance from 100 km in Km") << 100.0 << 0u << 1.5 << "101.500";
    QTest::newRow("relative kilometres keep three decimals") << 0.0 << 0u << 12.345 << "12.345";
    QTest::newRow("absolute distance in meters") << 1523.4 << 1u << 1.5 << "1524900.000";
    QTest::newRow("whole kilometres get three zeros") << 0.0 << 0u << 7.0 << "7.000";
    QTest::newRow("rounded to the metre") << 0.0 << 0u << 0.0004 << "0.000";
    QTest::newRow("an unknown unit labels kilometres") << 0.0 << 2u << 1.5 << "1.500";
}

void TestScaleDraws::spaceLabel()
{
    QFETCH(double, offset);
    QFETCH(quint32, unit);
    QFETCH(double, value);
    QFETCH(QString, label);

    const SpaceScaleDraw draw(offset, SpaceScaleDraw::unitFactor(unit));
    QCOMPARE(draw.label(value).text(), label);
}

void TestScaleDraws::spaceUnit_data()
{
    QTest::addColumn<quint32>("unit");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("factor");

    QTest::newRow("kilometres") << 0u << "Km" << 1.0;
    QTest::newRow("meters") << 1u << "meters" << 1000.0;
    QTest::newRow("one past the list") << 2u << "error" << 1.0;
    QTest::newRow("largest stored value") << 4294967295u << "error" << 1.0;
}

void TestScaleDraws::spaceUnit()
{
    QFETCH(quint32, unit);
    QFETCH(QString, text);
    QFETCH(double, factor);

    QCOMPARE(SpaceScaleDraw::unitText(unit), text);
    QCOMPARE(SpaceScaleDraw::unitFactor(unit), factor);
}

QTEST_MAIN(TestScaleDraws)
#include "tst_scaledraws.moc"
