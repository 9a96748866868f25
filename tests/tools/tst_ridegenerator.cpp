#include "Pauses.h"
#include "RideGenerator.h"
#include "SessionRecord.h"
#include "TestFiles.h"

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

// A seed stands for one ride, byte for byte, and the program's readers take it.
class TestRideGenerator : public QObject
{
    Q_OBJECT

private slots:
    void sameSeedSameBytes_data();
    void sameSeedSameBytes();
    void readerAcceptsWhatItWrites();
    void ridesShapedLikeRealOnes_data();
    void ridesShapedLikeRealOnes();
};

void TestRideGenerator::sameSeedSameBytes_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("md5");
    // Ten seconds with seed 42; turn k at (k + 0.5) x 5 s, truncated: 2 s and 7 s.
    QTest::newRow("session file") << "S_100407_10-30.csv" << "06e2b99f44d66435cbec1992b1195bd7";
    QTest::newRow("first turn") << "T_100407.10-30-17.csv" << "8d97c78836613b1b5aa1ef9d94d3f4a4";
    QTest::newRow("second turn") << "T_100407.10-30-22.csv" << "ebf99de95423ab91f48cc74db4d7f1cf";
}

void TestRideGenerator::sameSeedSameBytes()
{
    QFETCH(QString, file);
    QTemporaryDir dir;
    RidePlan plan;
    plan.durationSeconds = 10.0;
    plan.seed = 42;
    plan.turnFiles = 2;
    plan.photos = 1;
    QVERIFY(!RideGenerator(plan).write(dir.path()).isEmpty());
    const QByteArray bytes = readAll(dir.filePath(file));
    QTEST(QString(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex()), "md5");
    // Hand-checked: sample 5 of 10 carries the photo; 91.7 W + 91.9 W = 183.6 W.
    if (file.startsWith('S'))
        QCOMPARE(bytes.split('\n').value(9), QByteArray("5,0:00:05,11.159181,46.070294,210.3,106.1,"
                 "90.9,25.1,0,183.6,91.7,91.9,3.7,4.0,50.5,48.8,0,0,0.031,IMG_0001.jpg"));
}

void TestRideGenerator::readerAcceptsWhatItWrites()
{
    // An hour at ten samples a second: each whole second repeats ten times.
    QTemporaryDir dir;
    RidePlan plan;
    plan.rateHz = 10.0;
    SessionRecord session;
    QVERIFY(session.read(RideGenerator(plan).write(dir.path())));
    QCOMPARE(session.time.size(), 36000);
    QCOMPARE(session.time.last(), 3599.0);
    QCOMPARE(session.turns.size(), 10);
    QCOMPARE(session.turns.last().angle.size(), 36);
    QCOMPARE(session.photos.size(), 5);
}

void TestRideGenerator::ridesShapedLikeRealOnes_data()
{
    QTest::addColumn<double>("hours"); // of riding
    QTest::addColumn<double>("rateHz");
    QTest::addColumn<double>("longitude");
    QTest::addColumn<double>("latitude");
    QTest::addColumn<int>("pauses");
    QTest::addColumn<int>("runsWithoutFix");

    QTest::newRow("east of 100 E, paused, with stretches without a fix")
        << 2.0 << 1.0 << 121.47 << 31.23 << 12 << 3;
    QTest::newRow("west of 100 W, at 10 Hz") << 0.5 << 10.0 << -105.27 << 40.01 << 2 << 1;
    QTest::newRow("thirty hours, a day and more") << 30.0 << 0.2 << 11.12 << 46.07 << 4 << 0;
}

// What the reader makes of such a ride: pauses as jumps of the clock, samples
// at 0, 0 where the fix was lost, positions around the centre, elapsed times
// past a day and turn files dated on the day they were recorded.
void TestRideGenerator::ridesShapedLikeRealOnes()
{
    QFETCH(double, hours);
    QFETCH(double, rateHz);
    QFETCH(double, longitude);
    QFETCH(double, latitude);
    QFETCH(int, pauses);
    QFETCH(int, runsWithoutFix);
    QTemporaryDir dir;
    RidePlan plan;
    plan.durationSeconds = hours * 3600.0;
    plan.rateHz = rateHz;
    plan.centreLongitude = longitude;
    plan.centreLatitude = latitude;
    plan.coordinateDecimals = 7;
    plan.pauses = pauses;
    plan.runsWithoutFix = runsWithoutFix;
    SessionRecord session;
    QVERIFY(session.read(RideGenerator(plan).write(dir.path())));
    const int samples = qRound(hours * 3600.0 * rateHz);
    QCOMPARE(session.time.size(), samples);

    const Pauses found(session.time);
    QCOMPARE(found.resumptions().size(), pauses);
    double paused = 0.0; // the clock's jumps less the sample interval
    for (int i : found.resumptions())
        paused += session.time[i] - session.time[i - 1] - 1.0 / rateHz;
    QVERIFY(std::is_sorted(session.time.cbegin(), session.time.cend()));
    // Whole seconds in the file: each step is off by less than a second.
    const double last = (samples - 1) / rateHz + paused;
    QVERIFY2(qAbs(session.time.last() - last) < pauses + 1.0,
             qPrintable(QString::number(session.time.last())));

    int withoutFix = 0;
    for (int i = 0; i < samples; ++i) {
        if (session.longitude[i] == 0.0 && session.latitude[i] == 0.0) {
            ++withoutFix;
            continue;
        }
        QVERIFY(qAbs(session.longitude[i] - longitude) < 0.1);
        QVERIFY(qAbs(session.latitude[i] - latitude) < 0.1);
    }
    QCOMPARE(withoutFix > 0, runsWithoutFix > 0);
    QVERIFY(withoutFix <= runsWithoutFix * (240 * rateHz + 1));

    // Each turn lies within the ride, the later ones on the next day.
    QCOMPARE(session.turns.size(), 10);
    double previous = -1.0;
    for (const TurnRecord &turn : session.turns) {
        const double at = double(session.startDateTime.secsTo(turn.timestamp));
        QVERIFY(at > previous && at <= session.time.last());
        previous = at;
    }
    QCOMPARE(previous > 86400.0, hours > 24.0);
}

QTEST_GUILESS_MAIN(TestRideGenerator)
#include "tst_ridegenerator.moc"
