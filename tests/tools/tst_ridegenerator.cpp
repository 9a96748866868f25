#include "RideGenerator.h"
#include "SessionRecord.h"
#include "TestFiles.h"

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QTest>

// A seed stands for one ride, byte for byte, and the program's readers take it.
class TestRideGenerator : public QObject
{
    Q_OBJECT

private slots:
    void sameSeedSameBytes_data();
    void sameSeedSameBytes();
    void readerAcceptsWhatItWrites();
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

QTEST_GUILESS_MAIN(TestRideGenerator)
#include "tst_ridegenerator.moc"
