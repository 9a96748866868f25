#include "ChannelIndex.h"
#include "RideIndex.h"
#include "RideStatistics.h"
#include "SessionRecord.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>
#include <functional>

// The figures of a stretch of a ride, on rides built here whose answers are
// worked out by hand, and the index they come from against plain loops.
class TestRideStatistics : public QObject
{
    Q_OBJECT

private slots:
    void figures_data();
    void figures();
    void normalisedPower();
    void climbingAgainstEverySample();
    void indexAgainstLoops();
    void samplesWithin_data();
    void samplesWithin();
    void nearestSample_data();
    void nearestSample();
};

namespace {

// A ride at 1 Hz of the given length: every channel 0, distance at 36 km/h.
void plainRide(SessionRecord &s, int samples)
{
    s.reset();
    for (int i = 0; i < samples; ++i) {
        for (int number = 0; number < SessionRecord::MeasuredChannelCount; ++number)
            s.channel(number)->append(0.0);
        s.time.append(i);
        s.space.append(0.01 * i);
    }
    s.setXChannel(SessionRecord::TimeChannel);
}

void setPower(SessionRecord &s, int i, double left, double right)
{
    s.powerLeft[i] = left;
    s.powerRight[i] = right;
    s.powerTot[i] = left + right;
}

// The rides of the table, by name.
void buildRide(const QString &name, SessionRecord &s)
{
    plainRide(s, 61);
    if (name == "constant") {
        for (int i = 0; i < 61; ++i) {
            setPower(s, i, 100, 100);
            s.heartRate[i] = 140;
            s.cadence[i] = 90;
            s.speed[i] = 36;
            s.offsetLeft[i] = 4;
            s.offsetRight[i] = 6;
            s.upDownLeft[i] = 50;
            s.upDownRight[i] = 48;
            s.height[i] = 35.2;
        }
    } else if (name == "step") {
        for (int i = 0; i < 61; ++i)
            setPower(s, i, i < 30 ? 50 : 150, i < 30 ? 50 : 150);
    } else if (name == "pause") {
        // 31 samples, then a stop of ten minutes, then 30 more.
        for (int i = 0; i < 61; ++i) {
            setPower(s, i, i <= 30 ? 50 : 150, i <= 30 ? 50 : 150);
            s.speed[i] = i <= 30 ? 36 : 0;
            if (i > 30) {
                s.time[i] += 600;
                s.space[i] = s.space[30] + 0.01 * (i - 30);
            }
        }
    } else if (name == "nan") {
        for (int i = 0; i < 61; ++i)
            setPower(s, i, 100, 100);
        s.powerTot[10] = NAN;
        s.heartRate.fill(120);
        s.heartRate[20] = HUGE_VAL;
        s.heartRate[21] = 238; // one second of 59 counted
    } else if (name == "unequal") {
        for (int i = 0; i < 61; ++i)
            setPower(s, i, 150, 50);
    } else if (name == "cadence") {
        for (int i = 0; i < 61; ++i)
            s.cadence[i] = i % 2 ? 0 : (i < 30 ? 80 : 100);
    } else if (name == "wiggles") {
        const double metres[] = {100, 101.5, 100.2, 101.9, 100.5, 102, 104, 103, 106, 110, 109, 110};
        plainRide(s, 12);
        for (int i = 0; i < 12; ++i)
            s.height[i] = metres[i] / 10.0;
    } else if (name == "only wiggles") {
        plainRide(s, 40);
        for (int i = 0; i < 40; ++i)
            s.height[i] = (i % 2 ? 101.9 : 100.0) / 10.0;
    } else if (name == "hill") {
        // Up 300 m and down 200 m, 5 mm a sample: most groups of samples
        // are skipped on the way.
        plainRide(s, 100001);
        for (int i = 0; i <= 100000; ++i)
            s.height[i] = (i <= 60000 ? 100 + 0.005 * i : 400 - 0.005 * (i - 60000)) / 10.0;
    }
    s.rideIndex.build(s);
}

double figure(const RideStatistics &r, const QString &name)
{
    const QHash<QString, double> figures{
        {"duration", r.duration},     {"moving", r.movingTime},      {"distance", r.distance},
        {"pl", r.powerLeft},          {"pr", r.powerRight},          {"ptot", r.powerTotal},
        {"pmax", r.powerMax},         {"np", r.normalisedPower},     {"work", r.work},
        {"left", r.leftShare},        {"ol", r.offsetLeft},          {"or", r.offsetRight},
        {"udl", r.upDownLeft},        {"udr", r.upDownRight},        {"hr", r.heartRate},
        {"hrmax", r.heartRateMax},    {"cad", r.cadence},            {"cadmax", r.cadenceMax},
        {"speed", r.speed},           {"speedmax", r.speedMax},      {"hmin", r.heightMin},
        {"hmax", r.heightMax},        {"ascent", r.ascent},          {"descent", r.descent},
        {"from", r.fromSeconds},      {"to", r.toSeconds}};
    return figures.value(name, -12345.0);
}

} // namespace

void TestRideStatistics::figures_data()
{
    QTest::addColumn<QString>("ride");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    // name=value pairs; "-" for a figure that cannot be told.
    QTest::addColumn<QString>("expected");

    QTest::newRow("constant power") << "constant" << 0 << 60
        << "duration=60 moving=60 distance=0.6 ptot=200 pl=100 pr=100 pmax=200 np=200 work=12 "
           "left=50 ol=4 or=6 udl=50 udr=48 hr=140 hrmax=140 cad=90 cadmax=90 speed=36 "
           "speedmax=36 hmin=352 hmax=352 ascent=0 descent=0";
    QTest::newRow("a step from 100 W to 300 W at 30 s") << "step" << 0 << 60
        << "ptot=200 pmax=300 work=12 left=50";
    QTest::newRow("after the step") << "step" << 30 << 60 << "ptot=300 work=9 duration=30";
    QTest::newRow("a stop of ten minutes in the middle") << "pause" << 0 << 60
        << "duration=660 moving=59 ptot=198.30508474576271 work=11.7 distance=0.6 "
           "speed=36.610169491525424 speedmax=36";
    QTest::newRow("not finite values are skipped") << "nan" << 0 << 60
        << "ptot=200 pmax=200 work=11.8 hr=122 hrmax=238";
    QTest::newRow("one sample: dashes") << "constant" << 10 << 10
        << "duration=- moving=- ptot=- pmax=- np=- work=- hmin=- ascent=- from=-";
    QTest::newRow("no sample: dashes") << "constant" << 20 << 19 << "ptot=- from=-";
    QTest::newRow("two samples across the stop") << "pause" << 30 << 31
        << "duration=601 moving=0 ptot=- work=- speed=- pmax=300 from=30 to=631";
    QTest::newRow("unequal legs") << "unequal" << 0 << 60 << "left=75 pl=150 pr=50 ptot=200";
    QTest::newRow("cadence while pedalling") << "cadence" << 0 << 60 << "cad=90 cadmax=100";
    QTest::newRow("height wiggles under 2 m do not count")
        << "only wiggles" << 0 << 39 << "ascent=0 descent=0 hmin=100 hmax=101.9";
    QTest::newRow("wiggles, then a climb") << "wiggles" << 0 << 11
        << "ascent=10 descent=0 hmin=100 hmax=110";
    QTest::newRow("up 300 m, down 200 m") << "hill" << 0 << 100000
        << "ascent=300 descent=200 hmin=100 hmax=400";
    QTest::newRow("part of the way down") << "hill" << 50000 << 90000
        << "ascent=50 descent=150 hmin=250 hmax=400";
}

void TestRideStatistics::figures()
{
    QFETCH(QString, ride);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(QString, expected);
    SessionRecord session;
    buildRide(ride, session);
    const RideStatistics r = RideStatistics::of(session, session.rideIndex, first, last);
    for (const QString &pair : expected.split(' ')) {
        const QString name = pair.section('=', 0, 0);
        const QString value = pair.section('=', 1);
        const double actual = figure(r, name);
        if (value == "-") {
            QVERIFY2(std::isnan(actual), qPrintable(name + " is " + QString::number(actual)));
        } else {
            QVERIFY2(std::fabs(actual - value.toDouble()) < 1e-9 * std::max(1.0, value.toDouble()),
                     qPrintable(name + " is " + QString::number(actual, 'g', 12)));
        }
    }
}

// The usual definition at 1 Hz: the average of each 30 s up to a sample,
// to the fourth power, averaged, and its fourth root.
void TestRideStatistics::normalisedPower()
{
    SessionRecord session;
    plainRide(session, 300);
    for (int i = 0; i < 300; ++i)
        session.powerTot[i] = 200 + 100 * std::sin(i / 7.0) + (i > 150 ? 120 : 0);
    session.rideIndex.build(session);

    const auto direct = [&](int first, int last) {
        double sum = 0.0;
        for (int i = first; i < last; ++i) { // the last sample stands for no time
            double window = 0.0;
            const int oldest = std::max(0, i - 29);
            for (int k = oldest; k <= i; ++k)
                window += session.powerTot[k];
            sum += std::pow(window / (i - oldest + 1), 4);
        }
        return std::pow(sum / (last - first), 0.25);
    };
    for (const auto &range : {std::make_pair(0, 299), std::make_pair(100, 250), std::make_pair(40, 41)}) {
        const RideStatistics r =
            RideStatistics::of(session, session.rideIndex, range.first, range.second);
        QCOMPARE(r.normalisedPower, direct(range.first, range.second));
    }
}

// Ascent and descent skip whole blocks and groups that stay within the
// hysteresis or turn by less than it: on a random ride with climbs, dips,
// plateaus, noise and gaps they
// must come out as a walk over every sample gives them.
void TestRideStatistics::climbingAgainstEverySample()
{
    SessionRecord session;
    plainRide(session, 20000);
    QRandomGenerator random(3);
    double metres = 200.0;
    for (int i = 0; i < 20000; ++i) {
        const int stretch = i / 1500 % 4; // climbing, flat, descending, noisy
        metres += stretch == 0 ? 0.05 : stretch == 2 ? -0.04 : 0.0;
        const double noise = stretch == 3 ? random.bounded(3.0) : random.bounded(0.3);
        // Midway through each group of the index, climbs dip and descents
        // rise by more than the hysteresis for a moment.
        const int dip = i % 256 >= 128 && i % 256 < 140 ? i % 256 - 127 : 0;
        const double turn = stretch == 0 ? -0.3 * dip : stretch == 2 ? 0.3 * dip : 0.0;
        session.height[i] = (metres + noise + turn) / 10.0;
    }
    for (int i = 7000; i < 7300; ++i)
        session.height[i] = NAN;
    session.rideIndex.build(session);

    const auto direct = [&](int first, int last, double &ascent, double &descent) {
        ascent = descent = 0.0;
        double turn = NAN, extreme = NAN, low = NAN, high = NAN;
        int direction = 0;
        for (int i = first; i <= last; ++i) {
            const double h = session.height[i] * 10.0;
            if (!std::isfinite(h))
                continue;
            if (std::isnan(turn)) {
                turn = extreme = low = high = h;
            } else if (direction == 0) {
                low = std::min(low, h);
                high = std::max(high, h);
                if (h - low >= 2.0) {
                    direction = 1, turn = low, extreme = h;
                } else if (high - h >= 2.0) {
                    direction = -1, turn = high, extreme = h;
                }
            } else if (direction * (h - extreme) > 0) {
                extreme = h;
            } else if (std::fabs(extreme - h) >= 2.0) {
                (direction > 0 ? ascent : descent) += std::fabs(extreme - turn);
                turn = extreme, extreme = h, direction = -direction;
            }
        }
        (direction > 0 ? ascent : descent) += std::fabs(extreme - turn) * (direction != 0);
    };
    for (int run = 0; run < 300; ++run) {
        const int first = int(random.bounded(20000));
        const int last = std::min(19999, first + 1 + int(random.bounded(run % 2 ? 600 : 20000)));
        double ascent = 0.0, descent = 0.0;
        direct(first, last, ascent, descent);
        const RideStatistics r = RideStatistics::of(session, session.rideIndex, first, last);
        QVERIFY2(std::fabs(r.ascent - ascent) < 1e-6 && std::fabs(r.descent - descent) < 1e-6,
                 qPrintable(QString("%1..%2: %3/%4 against %5/%6")
                                .arg(first).arg(last).arg(r.ascent).arg(r.descent)
                                .arg(ascent).arg(descent)));
    }
}

// The answers of the index for random runs of noisy values with gaps, as
// the plain loops give them: the first of equal extremes, and the sums.
void TestRideStatistics::indexAgainstLoops()
{
    QRandomGenerator random(7);
    QVector<double> values(5000), weights(5000);
    for (int i = 0; i < values.size(); ++i) {
        values[i] = std::round(random.bounded(200.0)) - 50; // repeats, negatives
        weights[i] = random.bounded(3) * 0.5;
    }
    for (int i : {3, 700, 701, 2047, 4999})
        values[i] = NAN;
    values[1500] = HUGE_VAL;
    values[1501] = -HUGE_VAL;
    for (int i = 3000; i < 3600; ++i)
        values[i] = NAN; // whole blocks and groups without a value

    for (bool positiveOnly : {false, true}) {
        ChannelIndex index;
        index.build(values, &weights, positiveOnly);
        for (int run = 0; run < 3000; ++run) {
            int first = int(random.bounded(values.size()));
            int last = first + int(random.bounded(run % 3 ? 40 : values.size()));
            last = std::min(last, values.size() - 1);
            int low = -1, high = -1;
            double sum = 0.0, weight = 0.0;
            for (int i = first; i <= last; ++i) {
                const double v = values[i];
                if (!std::isfinite(v))
                    continue;
                if (low < 0 || v < values[low])
                    low = i;
                if (high < 0 || v > values[high])
                    high = i;
                if (!positiveOnly || v > 0) {
                    sum += v * weights[i];
                    weight += weights[i];
                }
            }
            int indexLow = -2, indexHigh = -2;
            index.extremes(first, last, indexLow, indexHigh);
            QCOMPARE(indexLow, low);
            QCOMPARE(indexHigh, high);
            const ChannelIndex::Sum s = index.sum(first, last);
            QVERIFY(std::fabs(s.weighted - sum) < 1e-6);
            QVERIFY(std::fabs(s.weight - weight) < 1e-9);
        }
    }
}

void TestRideStatistics::samplesWithin_data()
{
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    // The "pause" ride: samples at 0 to 30 s and at 631 to 660 s.
    QTest::newRow("whole ride") << -10.0 << 1000.0 << 0 << 60;
    QTest::newRow("exactly the ends of samples") << 5.0 << 640.0 << 5 << 40;
    QTest::newRow("inside the stop: none") << 100.0 << 600.0 << 31 << 30;
    QTest::newRow("before the ride: none") << -50.0 << -1.0 << 0 << -1;
}

void TestRideStatistics::samplesWithin()
{
    QFETCH(double, low);
    QFETCH(double, high);
    SessionRecord session;
    buildRide("pause", session);
    int first = -7, last = -7;
    session.rideIndex.samplesWithin(session, low, high, first, last);
    QTEST(first, "first");
    QTEST(last, "last");
}

void TestRideStatistics::nearestSample_data()
{
    QTest::addColumn<bool>("space");
    QTest::addColumn<double>("x");
    QTest::addColumn<int>("nearest");
    QTest::newRow("before the start") << false << -100.0 << 0;
    QTest::newRow("after the end") << false << 1e6 << 60;
    QTest::newRow("on a sample") << false << 12.0 << 12;
    QTest::newRow("halfway: the earlier") << false << 12.5 << 12;
    QTest::newRow("early in the stop: the last before it") << false << 200.0 << 30;
    QTest::newRow("late in the stop: the first after it") << false << 500.0 << 31;
    QTest::newRow("over distance, standing still: the first there") << true << 0.30 << 30;
    QTest::newRow("over distance, past the end") << true << 9.0 << 60;
}

void TestRideStatistics::nearestSample()
{
    QFETCH(bool, space);
    QFETCH(double, x);
    SessionRecord session;
    buildRide("pause", session);
    // Over distance the stop is one place: samples 30 and 31 both lie at 0.30 km.
    session.space[31] = session.space[30];
    for (int i = 32; i < 61; ++i)
        session.space[i] = session.space[31] + 0.01 * (i - 31);
    session.setXChannel(space ? SessionRecord::SpaceChannel : SessionRecord::TimeChannel);
    session.rideIndex.build(session);
    QTEST(session.rideIndex.nearestSample(session, x), "nearest");
}

QTEST_GUILESS_MAIN(TestRideStatistics)
#include "tst_ridestatistics.moc"
