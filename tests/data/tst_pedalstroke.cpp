#include "PedalStroke.h"
#include "TurnRecord.h"

#include <QTest>

#include <cmath>

// The metrics of one revolution, and forces resampled to whole degrees.
class TestPedalStroke : public QObject
{
    Q_OBJECT

private slots:
    void metrics_data();
    void metrics();
    void resampled();
};

namespace {

// Forces at the given angles from a function of the angle in degrees.
QVector<double> forces(const QVector<double> &angles, double (*force)(double))
{
    QVector<double> values;
    for (double angle : angles)
        values << force(angle);
    return values;
}

QVector<double> everyTenDegrees(double first = 0.0)
{
    QVector<double> angles;
    for (int i = 0; i < 36; ++i)
        angles << first + 10.0 * i;
    return angles;
}

double sine(double a) { return 100.0 * std::sin(a * M_PI / 180.0); }
double push(double a) { return std::max(0.0, sine(a)); }
double halfPush(double a) { return push(a) / 2.0; }

} // namespace

void TestPedalStroke::metrics_data()
{
    using Values = QVector<double>;
    QTest::addColumn<Values>("angles");
    QTest::addColumn<Values>("left");
    QTest::addColumn<Values>("right");
    QTest::addColumn<Values>("expected"); // left peak, its angle, mean, minimum, smoothness; share

    const Values tens = everyTenDegrees();
    // The mean over the turn of a half sine sampled every ten degrees from 0 and
    // joined by straight lines: 100 cot(5 degrees) / 36; sampled from 5 degrees,
    // 100 / (36 sin(5 degrees)).
    const double halfSineMean = 31.75;
    const double offsetMean = 31.87;
    QTest::newRow("a push peaking at 90 degrees, the same on both legs")
        << tens << forces(tens, push) << forces(tens, push)
        << Values{100, 90, halfSineMean, 0, halfSineMean / 100, 0.5};
    QTest::newRow("pulling back on the upstroke")
        << tens << forces(tens, sine) << forces(tens, push) << Values{100, 90, 0, -100, 0, 0};
    QTest::newRow("the right leg half as strong")
        << tens << forces(tens, push) << forces(tens, halfPush)
        << Values{100, 90, halfSineMean, 0, halfSineMean / 100, 2.0 / 3.0};
    QTest::newRow("one angle twice: the mean of its forces")
        << Values{0, 90, 90, 180, 270} << Values{0, 80, 120, 0, 0} << Values{0, 0, 0, 0, 0}
        << Values{120, 90, 25, 0, 25.0 / 120, 1};
    QTest::newRow("angles from 45 round to 395: taken modulo 360")
        << everyTenDegrees(45) << forces(everyTenDegrees(45), push) << Values(36, 0.0)
        << Values{99.62, 85, offsetMean, 0, offsetMean / 99.62, 1};
    QTest::newRow("no samples at all") << Values() << Values() << Values()
                                       << Values{qQNaN(), qQNaN(), qQNaN(), qQNaN(), qQNaN(), qQNaN()};
}

void TestPedalStroke::metrics()
{
    QFETCH(QVector<double>, angles);
    QFETCH(QVector<double>, expected);
    TurnRecord turn;
    turn.angle = angles;
    QFETCH(QVector<double>, left);
    QFETCH(QVector<double>, right);
    turn.forceLeft = left;
    turn.forceRight = right;
    const PedalStroke stroke = PedalStroke::of(turn);
    const double actual[] = {stroke.left.peak, stroke.left.peakAngle, stroke.left.mean,
                             stroke.left.minimum, stroke.left.smoothness, stroke.leftShare};
    for (int i = 0; i < expected.size(); ++i) {
        const bool same = std::isnan(expected[i]) ? std::isnan(actual[i])
                                                  : std::fabs(actual[i] - expected[i]) < 0.01;
        QVERIFY2(same, qPrintable(QString("value %1: %2").arg(i).arg(actual[i])));
    }
}

// Two angle grids, one of them wrapping past 360 degrees.
void TestPedalStroke::resampled()
{
    const QVector<double> first = PedalStroke::resampled({0, 180}, {0, 180});
    const QVector<double> second = PedalStroke::resampled({90, 270, 450}, {100, 300, 100});
    QCOMPARE(first.size(), 360);
    QCOMPARE(first[90], 90.0);
    QCOMPARE(first[270], 90.0); // from 180 back down to 0 at 360
    QCOMPARE(second[0], 200.0); // 270 to 450 (= 90) passes 360 half-way
    QCOMPARE(second[180], 200.0);
    QVERIFY(std::isnan(PedalStroke::resampled({}, {}).at(0)));
}

QTEST_GUILESS_MAIN(TestPedalStroke)
#include "tst_pedalstroke.moc"
