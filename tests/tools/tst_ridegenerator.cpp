// Checks that RideGenerator writes session and single-turn files that follow
// the power meter's formats line by line, and that the ride they describe is
// physically sensible.

#include "RideGenerator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QPair>
#include <QVector>

#include <algorithm>
#include <cmath>

namespace {

const QRegularExpression sessionTagPattern(
    QStringLiteral(R"(^VOK_session_file ,S_(\d{2})(\d{2})(\d{2})_(\d{2})-(\d{2}).csv$)"));
const QRegularExpression startKmPattern(QStringLiteral(R"(^Km @ Start ,(\d+\.\d*)$)"));
const QRegularExpression startTimePattern(QStringLiteral(R"(^Time @ Start ,(\d{2})[-/](\d{2})[-/](\d{2})$)"));
const QRegularExpression turnTagPattern(
    QStringLiteral(R"(^VOK_Single_Turn_file ,T_(\d{2})(\d{2})(\d{2}).(\d{2})-(\d{2})-(\d{2}).csv$)"));
const QRegularExpression photoPattern(QStringLiteral(R"(^IMG_\d{4}\.jpg$)"));

QStringList readLines(const QString &path)
{
    QStringList lines;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    QTextStream in(&file);
    while (!in.atEnd())
        lines << in.readLine();
    return lines;
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList turnFileNames(const QString &directory)
{
    return QDir(directory).entryList(QStringList() << QStringLiteral("T_*.csv"), QDir::Files, QDir::Name);
}

} // namespace

class TestRideGenerator : public QObject
{
    Q_OBJECT

private slots:
    void sessionFileName_data();
    void sessionFileName();
    void headerLines_data();
    void headerLines();
    void sampleLines_data();
    void sampleLines();
    void ridingIsPlausible_data();
    void ridingIsPlausible();
    void turnFiles_data();
    void turnFiles();
    void sameSeedWritesSameBytes();
    void differentSeedWritesDifferentRide();
    void writeFailsWhereNoDirectoryCanBeMade();
};

void TestRideGenerator::sessionFileName_data()
{
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QString>("expected");

    QTest::newRow("a spring morning ride in 2010")
        << QDateTime(QDate(2010, 4, 7), QTime(10, 30, 15)) << QStringLiteral("S_100407_10-30.csv");
    QTest::newRow("a ride started just before midnight on new year's eve 2009")
        << QDateTime(QDate(2009, 12, 31), QTime(23, 59, 59)) << QStringLiteral("S_091231_23-59.csv");
    QTest::newRow("single-digit date and time parts are padded with a zero")
        << QDateTime(QDate(2021, 1, 2), QTime(3, 4, 5)) << QStringLiteral("S_210102_03-04.csv");
    QTest::newRow("the seconds of the start do not appear in the name")
        << QDateTime(QDate(1999, 8, 30), QTime(17, 45, 0)) << QStringLiteral("S_990830_17-45.csv");
}

void TestRideGenerator::sessionFileName()
{
    QFETCH(QDateTime, start);
    QFETCH(QString, expected);

    RideSpec rideSpec;
    rideSpec.start = start;
    QCOMPARE(RideGenerator(rideSpec).sessionFileName(), expected);
}

void TestRideGenerator::headerLines_data()
{
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<double>("startKm");
    QTest::addColumn<QString>("tagLine");
    QTest::addColumn<QString>("kmLine");
    QTest::addColumn<QString>("timeLine");

    QTest::newRow("the default ride")
        << QDateTime(QDate(2010, 4, 7), QTime(10, 30, 15)) << 1523.4
        << QStringLiteral("VOK_session_file ,S_100407_10-30.csv") << QStringLiteral("Km @ Start ,1523.4")
        << QStringLiteral("Time @ Start ,10-30-15");
    QTest::newRow("a new bike whose odometer still reads zero")
        << QDateTime(QDate(2009, 12, 31), QTime(23, 59, 59)) << 0.0
        << QStringLiteral("VOK_session_file ,S_091231_23-59.csv") << QStringLiteral("Km @ Start ,0.0")
        << QStringLiteral("Time @ Start ,23-59-59");
    QTest::newRow("a whole-number odometer reading still carries a decimal point")
        << QDateTime(QDate(2012, 6, 9), QTime(7, 5, 9)) << 800.0
        << QStringLiteral("VOK_session_file ,S_120609_07-05.csv") << QStringLiteral("Km @ Start ,800.0")
        << QStringLiteral("Time @ Start ,07-05-09");
    QTest::newRow("an odometer reading with two decimals is rounded to one")
        << QDateTime(QDate(2010, 4, 7), QTime(0, 0, 0)) << 12.46
        << QStringLiteral("VOK_session_file ,S_100407_00-00.csv") << QStringLiteral("Km @ Start ,12.5")
        << QStringLiteral("Time @ Start ,00-00-00");
}

void TestRideGenerator::headerLines()
{
    QFETCH(QDateTime, start);
    QFETCH(double, startKm);
    QFETCH(QString, tagLine);
    QFETCH(QString, kmLine);
    QFETCH(QString, timeLine);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    RideSpec rideSpec;
    rideSpec.start = start;
    rideSpec.startKm = startKm;
    rideSpec.durationSeconds = 60.0;
    rideSpec.turnFiles = 1;
    const QString path = RideGenerator(rideSpec).write(dir.path());
    QVERIFY(!path.isEmpty());

    const QStringList lines = readLines(path);
    QVERIFY(lines.size() >= 5);
    QCOMPARE(lines.at(0), tagLine);
    QCOMPARE(lines.at(1), kmLine);
    QCOMPARE(lines.at(2), timeLine);
    QVERIFY2(sessionTagPattern.match(lines.at(0)).hasMatch(), qPrintable(lines.at(0)));
    QVERIFY2(startKmPattern.match(lines.at(1)).hasMatch(), qPrintable(lines.at(1)));
    QVERIFY2(startTimePattern.match(lines.at(2)).hasMatch(), qPrintable(lines.at(2)));
}

void TestRideGenerator::sampleLines_data()
{
    QTest::addColumn<double>("durationSeconds");
    QTest::addColumn<double>("rateHz");
    QTest::addColumn<int>("photos");
    QTest::addColumn<int>("expectedSamples");
    QTest::addColumn<int>("expectedPhotos");

    QTest::newRow("one hour at one sample per second with five photos") << 3600.0 << 1.0 << 5 << 3600 << 5;
    QTest::newRow("ten minutes at ten samples per second") << 600.0 << 10.0 << 3 << 6000 << 3;
    QTest::newRow("ten hours at one sample per second") << 36000.0 << 1.0 << 5 << 36000 << 5;
    QTest::newRow("45 seconds at two samples per second without photos") << 45.0 << 2.0 << 0 << 90 << 0;
    QTest::newRow("more photos than samples puts one photo on every sample") << 3.0 << 1.0 << 10 << 3 << 3;
    QTest::newRow("a ride of a day and an hour is cut at 23:59:59") << 90000.0 << 1.0 << 2 << 86400 << 2;
    QTest::newRow("a ride without samples") << 0.0 << 1.0 << 5 << 0 << 0;
}

void TestRideGenerator::sampleLines()
{
    QFETCH(double, durationSeconds);
    QFETCH(double, rateHz);
    QFETCH(int, photos);
    QFETCH(int, expectedSamples);
    QFETCH(int, expectedPhotos);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    RideSpec rideSpec;
    rideSpec.durationSeconds = durationSeconds;
    rideSpec.rateHz = rateHz;
    rideSpec.photos = photos;
    rideSpec.turnFiles = 0;
    const RideGenerator generator(rideSpec);
    const QString path = generator.write(dir.path());
    QCOMPARE(path, QDir(dir.path()).filePath(QStringLiteral("S_100407_10-30.csv")));

    const QStringList lines = readLines(path);
    // Three header lines, the caption, the samples and the separator.
    QCOMPARE(lines.size(), 4 + expectedSamples + 1);
    QVERIFY(sessionTagPattern.match(lines.at(0)).hasMatch());
    QVERIFY(startKmPattern.match(lines.at(1)).hasMatch());
    QVERIFY(startTimePattern.match(lines.at(2)).hasMatch());
    QCOMPARE(lines.last(), QStringLiteral("#####"));

    int photoCount = 0;
    double previousDistance = 0.0;
    double previousSpeed = 0.0;
    double speedIntegralKm = 0.0;
    double lastDistance = 0.0;
    for (int i = 0; i < expectedSamples; ++i) {
        const QString &line = lines.at(4 + i);
        const QStringList f = line.split(QLatin1Char(','), Qt::KeepEmptyParts);
        const QByteArray where = QByteArray("sample ") + QByteArray::number(i) + ": " + line.toLatin1();
        QVERIFY2(f.size() == 19 || f.size() == 20, where.constData());
        QVERIFY2(f.at(0) == QString::number(i), where.constData());

        // Sample i lies i / rate seconds into the ride, written in whole seconds.
        const QTime time = QTime::fromString(f.at(1), QStringLiteral("h:mm:ss"));
        QVERIFY2(time.isValid(), where.constData());
        QCOMPARE(time.msecsSinceStartOfDay() / 1000, static_cast<int>(std::floor(i / rateHz + 1e-9)));

        double v[19] = {};
        for (int k = 2; k <= 18; ++k) {
            bool ok = false;
            v[k] = f.at(k).toDouble(&ok);
            QVERIFY2(ok, (where + " field " + QByteArray::number(k)).constData());
        }
        QCOMPARE(f.at(8), QStringLiteral("0"));
        QCOMPARE(f.at(16), QStringLiteral("0"));
        QCOMPARE(f.at(17), QStringLiteral("0"));

        // GPS: six decimals, within a few km of 46.07 N 11.12 E.
        QVERIFY2(f.at(2).section(QLatin1Char('.'), 1).size() == 6, where.constData());
        QVERIFY2(f.at(3).section(QLatin1Char('.'), 1).size() == 6, where.constData());
        QVERIFY2(v[2] > 11.0 && v[2] < 11.24, where.constData());
        QVERIFY2(v[3] > 45.98 && v[3] < 46.16, where.constData());
        QVERIFY2(v[4] > 100.0 && v[4] < 1500.0, where.constData());  // altitude, m
        QVERIFY2(v[5] >= 100.0 && v[5] <= 180.0, where.constData());  // heart rate
        QVERIFY2(v[6] >= 60.0 && v[6] <= 100.0, where.constData());   // cadence
        QVERIFY2(v[7] > 0.0 && v[7] < 80.0, where.constData());       // speed, km/h
        QVERIFY2(v[9] > 0.0 && v[9] < 1000.0, where.constData());     // total power

        // Left and right add up to the total and stay near an even split.
        QVERIFY2(std::fabs(v[10] + v[11] - v[9]) < 0.051, where.constData());
        QVERIFY2(v[10] > 0.4 * v[9] && v[10] < 0.6 * v[9], where.constData());

        QVERIFY2(v[12] > 0.0 && v[12] < 10.0 && v[13] > 0.0 && v[13] < 10.0, where.constData());
        QVERIFY2(v[14] >= 30.0 && v[14] <= 70.0 && v[15] >= 30.0 && v[15] <= 70.0, where.constData());

        // Distance: three decimals, starting at zero, never going back.
        QVERIFY2(f.at(18).section(QLatin1Char('.'), 1).size() == 3, where.constData());
        if (i == 0)
            QCOMPARE(f.at(18), QStringLiteral("0.000"));
        QVERIFY2(v[18] >= previousDistance, where.constData());
        if (i > 0)
            speedIntegralKm += 0.5 * (previousSpeed + v[7]) / rateHz / 3600.0;
        previousDistance = v[18];
        previousSpeed = v[7];
        lastDistance = v[18];

        if (f.size() == 20) {
            ++photoCount;
            QVERIFY2(photoPattern.match(f.at(19)).hasMatch(), where.constData());
            QCOMPARE(f.at(19), QStringLiteral("IMG_%1.jpg").arg(photoCount, 4, 10, QLatin1Char('0')));
        }
    }
    QCOMPARE(photoCount, expectedPhotos);

    // The distance column is the integral of the speed column.
    QVERIFY2(std::fabs(lastDistance - speedIntegralKm) <= 0.03 * speedIntegralKm + 0.01,
             qPrintable(QStringLiteral("distance %1 km, integral of speed %2 km").arg(lastDistance).arg(speedIntegralKm)));
}

void TestRideGenerator::ridingIsPlausible_data()
{
    QTest::addColumn<quint32>("seed");

    QTest::newRow("the default seed") << quint32(1);
    QTest::newRow("seed seven") << quint32(7);
    QTest::newRow("a large seed") << quint32(4000000000u);
}

void TestRideGenerator::ridingIsPlausible()
{
    QFETCH(quint32, seed);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    RideSpec rideSpec;
    rideSpec.seed = seed;
    rideSpec.turnFiles = 0;
    const QString path = RideGenerator(rideSpec).write(dir.path());
    QVERIFY(!path.isEmpty());
    const QStringList lines = readLines(path);
    QCOMPARE(lines.size(), 4 + 3600 + 1);

    QVector<double> altitude, heart, speed, power;
    for (int i = 4; i < lines.size() - 1; ++i) {
        const QStringList f = lines.at(i).split(QLatin1Char(','));
        altitude << f.at(4).toDouble();
        heart << f.at(5).toDouble();
        speed << f.at(7).toDouble();
        power << f.at(9).toDouble();
    }

    // Over a minute, compare climbing (altitude gain of 6 m or more) with
    // descending (loss of 6 m or more).
    double climbSpeed = 0.0, descentSpeed = 0.0, climbPower = 0.0, descentPower = 0.0;
    int climbs = 0, descents = 0;
    for (int i = 0; i + 60 < altitude.size(); i += 60) {
        double meanSpeed = 0.0, meanPower = 0.0;
        for (int k = i; k < i + 60; ++k) {
            meanSpeed += speed.at(k) / 60.0;
            meanPower += power.at(k) / 60.0;
        }
        const double gain = altitude.at(i + 60) - altitude.at(i);
        if (gain >= 6.0) {
            climbSpeed += meanSpeed;
            climbPower += meanPower;
            ++climbs;
        } else if (gain <= -6.0) {
            descentSpeed += meanSpeed;
            descentPower += meanPower;
            ++descents;
        }
    }
    QVERIFY2(climbs >= 3, "the ride should contain climbs");
    QVERIFY2(descents >= 3, "the ride should contain descents");
    QVERIFY(climbSpeed / climbs < 0.7 * descentSpeed / descents);
    QVERIFY(climbPower / climbs > descentPower / descents);

    // Heart rate follows effort: higher in the hardest minutes than in the easiest.
    QVector<QPair<double, double>> minutes;  // mean power, mean heart rate a minute later
    for (int i = 0; i + 120 <= power.size(); i += 60) {
        double p = 0.0, h = 0.0;
        for (int k = i; k < i + 60; ++k) {
            p += power.at(k) / 60.0;
            h += heart.at(k + 60) / 60.0;
        }
        minutes << qMakePair(p, h);
    }
    std::sort(minutes.begin(), minutes.end());
    const int quarter = minutes.size() / 4;
    double easyHeart = 0.0, hardHeart = 0.0;
    for (int k = 0; k < quarter; ++k) {
        easyHeart += minutes.at(k).second / quarter;
        hardHeart += minutes.at(minutes.size() - 1 - k).second / quarter;
    }
    QVERIFY2(hardHeart > easyHeart + 5.0,
             qPrintable(QStringLiteral("easy %1 bpm, hard %2 bpm").arg(easyHeart).arg(hardHeart)));
}

void TestRideGenerator::turnFiles_data()
{
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<double>("durationSeconds");
    QTest::addColumn<int>("turns");
    QTest::addColumn<QStringList>("expectedNames");

    // Turn k is taken floor((k + 0.5) * duration / turns) seconds after the start.
    QTest::newRow("ten turns spread over an hour started at 10:30:15")
        << QDateTime(QDate(2010, 4, 7), QTime(10, 30, 15)) << 3600.0 << 10
        << (QStringList() << "T_100407.10-33-15.csv" << "T_100407.10-39-15.csv" << "T_100407.10-45-15.csv"
                          << "T_100407.10-51-15.csv" << "T_100407.10-57-15.csv" << "T_100407.11-03-15.csv"
                          << "T_100407.11-09-15.csv" << "T_100407.11-15-15.csv" << "T_100407.11-21-15.csv"
                          << "T_100407.11-27-15.csv");
    QTest::newRow("four turns in a two-hour ride across new year's midnight")
        << QDateTime(QDate(2010, 12, 31), QTime(23, 0, 0)) << 7200.0 << 4
        << (QStringList() << "T_101231.23-15-00.csv" << "T_101231.23-45-00.csv" << "T_110101.00-15-00.csv"
                          << "T_110101.00-45-00.csv");
    QTest::newRow("three turns in a 100-second ride land on whole seconds")
        << QDateTime(QDate(2010, 4, 7), QTime(8, 0, 0)) << 100.0 << 3
        << (QStringList() << "T_100407.08-00-16.csv" << "T_100407.08-00-50.csv" << "T_100407.08-01-23.csv");
    QTest::newRow("more turns than seconds gives one turn per second")
        << QDateTime(QDate(2010, 4, 7), QTime(10, 30, 15)) << 3.0 << 5
        << (QStringList() << "T_100407.10-30-15.csv" << "T_100407.10-30-16.csv" << "T_100407.10-30-17.csv");
    QTest::newRow("no turns asked for") << QDateTime(QDate(2010, 4, 7), QTime(10, 30, 15)) << 600.0 << 0
                                        << QStringList();
}

void TestRideGenerator::turnFiles()
{
    QFETCH(QDateTime, start);
    QFETCH(double, durationSeconds);
    QFETCH(int, turns);
    QFETCH(QStringList, expectedNames);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    RideSpec rideSpec;
    rideSpec.start = start;
    rideSpec.durationSeconds = durationSeconds;
    rideSpec.turnFiles = turns;
    QVERIFY(!RideGenerator(rideSpec).write(dir.path()).isEmpty());

    const QStringList names = turnFileNames(dir.path());
    QCOMPARE(names, expectedNames);

    for (const QString &name : names) {
        const QStringList lines = readLines(QDir(dir.path()).filePath(name));
        const QByteArray file = name.toLatin1();
        QVERIFY2(!lines.isEmpty(), file.constData());
        QCOMPARE(lines.first(), QStringLiteral("VOK_Single_Turn_file ,") + name);
        const QRegularExpressionMatch tag = turnTagPattern.match(lines.first());
        QVERIFY2(tag.hasMatch(), file.constData());

        // The moment in the tag lies within the ride.
        const QDateTime moment(QDate(2000 + tag.captured(1).toInt(), tag.captured(2).toInt(), tag.captured(3).toInt()),
                               QTime(tag.captured(4).toInt(), tag.captured(5).toInt(), tag.captured(6).toInt()));
        QVERIFY2(moment.isValid(), file.constData());
        QVERIFY2(moment >= start && moment <= start.addSecs(static_cast<qint64>(durationSeconds)), file.constData());

        // Tag, 36 angle lines, separator, nothing else.
        QCOMPARE(lines.size(), 1 + 36 + 1);
        QCOMPARE(lines.last(), QStringLiteral("#####"));
        int leftPeak = 0, rightPeak = 0;
        double leftMax = -1e9, rightMax = -1e9, meanPower = 0.0;
        for (int i = 0; i < 36; ++i) {
            const QStringList f = lines.at(1 + i).split(QLatin1Char(','), Qt::KeepEmptyParts);
            const QByteArray where = file + " line " + QByteArray::number(i + 2);
            QVERIFY2(f.size() == 5, where.constData());
            QCOMPARE(f.at(0), QString::number(i));
            QCOMPARE(f.at(1), QString::number(10 * i));
            bool okPower = false, okLeft = false, okRight = false;
            const double power = f.at(2).toDouble(&okPower);
            const double left = f.at(3).toDouble(&okLeft);
            const double right = f.at(4).toDouble(&okRight);
            QVERIFY2(okPower && okLeft && okRight, where.constData());
            meanPower += power / 36.0;
            if (left > leftMax) {
                leftMax = left;
                leftPeak = 10 * i;
            }
            if (right > rightMax) {
                rightMax = right;
                rightPeak = 10 * i;
            }
        }
        // The left pedal pushes hardest near 90 degrees, the right half a turn later.
        QVERIFY2(leftPeak >= 60 && leftPeak <= 120, file.constData());
        QVERIFY2(rightPeak >= 240 && rightPeak <= 300, file.constData());
        QVERIFY2(leftMax > 50.0 && rightMax > 50.0, file.constData());
        QVERIFY2(meanPower > 20.0 && meanPower < 1000.0, file.constData());
    }
}

void TestRideGenerator::sameSeedWritesSameBytes()
{
    QTemporaryDir first, second;
    QVERIFY(first.isValid() && second.isValid());
    RideSpec rideSpec;
    rideSpec.seed = 42;
    rideSpec.durationSeconds = 1800.0;
    rideSpec.rateHz = 2.0;
    rideSpec.turnFiles = 3;
    QVERIFY(!RideGenerator(rideSpec).write(first.path()).isEmpty());
    QVERIFY(!RideGenerator(rideSpec).write(second.path()).isEmpty());

    const QStringList names = QDir(first.path()).entryList(QDir::Files, QDir::Name);
    QCOMPARE(names.size(), 1 + 3);
    QCOMPARE(QDir(second.path()).entryList(QDir::Files, QDir::Name), names);
    for (const QString &name : names) {
        const QByteArray a = readBytes(QDir(first.path()).filePath(name));
        QVERIFY(!a.isEmpty());
        QVERIFY2(a == readBytes(QDir(second.path()).filePath(name)), qPrintable(name));
    }
}

void TestRideGenerator::differentSeedWritesDifferentRide()
{
    QTemporaryDir first, second;
    QVERIFY(first.isValid() && second.isValid());
    RideSpec rideSpec;
    rideSpec.durationSeconds = 600.0;
    rideSpec.turnFiles = 2;
    rideSpec.seed = 1;
    const QString a = RideGenerator(rideSpec).write(first.path());
    rideSpec.seed = 2;
    const QString b = RideGenerator(rideSpec).write(second.path());
    QVERIFY(!a.isEmpty() && !b.isEmpty());

    // Same names (they follow the start time), different contents.
    QCOMPARE(QFileInfo(a).fileName(), QFileInfo(b).fileName());
    QVERIFY(readBytes(a) != readBytes(b));
    const QStringList names = turnFileNames(first.path());
    QCOMPARE(names.size(), 2);
    QCOMPARE(turnFileNames(second.path()), names);
    for (const QString &name : names)
        QVERIFY2(readBytes(QDir(first.path()).filePath(name)) != readBytes(QDir(second.path()).filePath(name)),
                 qPrintable(name));
}

void TestRideGenerator::writeFailsWhereNoDirectoryCanBeMade()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A plain file stands where the directory would have to be.
    const QString blocker = QDir(dir.path()).filePath(QStringLiteral("not_a_directory"));
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("x");
    file.close();

    RideSpec rideSpec;
    rideSpec.durationSeconds = 60.0;
    QVERIFY(RideGenerator(rideSpec).write(blocker).isEmpty());
    QVERIFY(RideGenerator(rideSpec).write(QDir(blocker).filePath(QStringLiteral("ride"))).isEmpty());
    QVERIFY(RideGenerator(rideSpec).write(QString()).isEmpty());
}

QTEST_GUILESS_MAIN(TestRideGenerator)

#include "tst_ridegenerator.moc"
