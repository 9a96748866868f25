#include "SessionRecord.h"

#include <QTest>

// The in-memory session record: channel numbering, the x-axis selection and
// what reset keeps and clears.
class tst_SessionRecordModel : public QObject
{
    Q_OBJECT

private slots:
    void freshRecord();
    void channelNumbers_data();
    void channelNumbers();
    void setXChannel_data();
    void setXChannel();
    void resetKeepsOnlyTheXChannel();
    void turnRecordIsAValue();
};

void tst_SessionRecordModel::freshRecord()
{
    const SessionRecord session;
    QCOMPARE(session.xChannel, 11);
    QVERIFY(session.xData == nullptr);
    QCOMPARE(session.sampleCount(), 0);
    QVERIFY(session.startDateTime.isNull());
    QCOMPARE(session.startKm, 0.0);
    QVERIFY(session.fileName.isEmpty());
    QVERIFY(session.photos.isEmpty());
    QVERIFY(session.turns.isEmpty());
}

void tst_SessionRecordModel::channelNumbers_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("array");

    QTest::newRow("0 power left") << 0 << "powerLeft";
    QTest::newRow("1 power right") << 1 << "powerRight";
    QTest::newRow("2 power total") << 2 << "powerTot";
    QTest::newRow("3 offset left") << 3 << "offsetLeft";
    QTest::newRow("4 offset right") << 4 << "offsetRight";
    QTest::newRow("5 up/down left") << 5 << "upDownLeft";
    QTest::newRow("6 up/down right") << 6 << "upDownRight";
    QTest::newRow("7 height") << 7 << "height";
    QTest::newRow("8 speed") << 8 << "speed";
    QTest::newRow("9 heart rate") << 9 << "heartRate";
    QTest::newRow("10 cadence") << 10 << "cadence";
    QTest::newRow("11 time") << 11 << "time";
    QTest::newRow("12 space") << 12 << "space";
    QTest::newRow("13 is no channel") << 13 << "";
    QTest::newRow("-1 is no channel") << -1 << "";
}

void tst_SessionRecordModel::channelNumbers()
{
    QFETCH(int, number);
    QFETCH(QString, array);

    SessionRecord session;
    const QMap<QString, const QVector<double> *> arrays = {
        {"powerLeft", &session.powerLeft},     {"powerRight", &session.powerRight},
        {"powerTot", &session.powerTot},       {"offsetLeft", &session.offsetLeft},
        {"offsetRight", &session.offsetRight}, {"upDownLeft", &session.upDownLeft},
        {"upDownRight", &session.upDownRight}, {"height", &session.height},
        {"speed", &session.speed},             {"heartRate", &session.heartRate},
        {"cadence", &session.cadence},         {"time", &session.time},
        {"space", &session.space}};
    QCOMPARE(session.channel(number), arrays.value(array, nullptr));
}

void tst_SessionRecordModel::setXChannel_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<QString>("xData");

    QTest::newRow("time") << 11 << 11 << "time";
    QTest::newRow("space") << 11 << 12 << "space";
    QTest::newRow("back to time") << 12 << 11 << "time";
    QTest::newRow("13 keeps the array") << 12 << 13 << "space";
    QTest::newRow("-1 keeps the array") << 11 << -1 << "time";
    QTest::newRow("a measured channel") << 11 << 2 << "powerTot";
}

void tst_SessionRecordModel::setXChannel()
{
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(QString, xData);

    SessionRecord session;
    session.time = {0, 1, 2};
    session.space = {0.0, 0.01};
    session.powerTot = {200};
    session.setXChannel(first);
    session.setXChannel(second);

    QCOMPARE(session.xChannel, second);
    const QMap<QString, const QVector<double> *> arrays = {
        {"time", &session.time}, {"space", &session.space}, {"powerTot", &session.powerTot}};
    QCOMPARE(session.xData, arrays.value(xData));
    QCOMPARE(session.sampleCount(), arrays.value(xData)->size());
}

void tst_SessionRecordModel::resetKeepsOnlyTheXChannel()
{
    SessionRecord session;
    for (int number = 0; number < SessionRecord::ChannelCount; ++number)
        *session.channel(number) = {1.0, 2.0};
    session.longitude = {11.1, 11.2};
    session.latitude = {46.0, 46.1};
    session.photos.insert(1, QStringLiteral("IMG_0001.jpg"));
    session.startDateTime = QDateTime(QDate(10, 4, 7), QTime(10, 30, 15));
    session.startKm = 1523.4;
    session.turns.append(TurnRecord());
    session.fileName = QStringLiteral("S_100407_10-30.csv");
    session.setXChannel(12);

    session.reset();

    for (int number = 0; number < SessionRecord::ChannelCount; ++number)
        QVERIFY2(session.channel(number)->isEmpty(), qPrintable(QString::number(number)));
    QVERIFY(session.longitude.isEmpty());
    QVERIFY(session.latitude.isEmpty());
    QVERIFY(session.photos.isEmpty());
    QVERIFY(session.turns.isEmpty());
    QVERIFY(session.startDateTime.isNull());
    QCOMPARE(session.startKm, 0.0);
    QVERIFY(session.fileName.isEmpty());
    QVERIFY(session.xData == nullptr);
    QCOMPARE(session.xChannel, 12);
}

void tst_SessionRecordModel::turnRecordIsAValue()
{
    TurnRecord turn;
    turn.angle = {0, 10};
    turn.power = {150, 160};
    turn.forceLeft = {210, 230};
    turn.forceRight = {12, 10};
    turn.timestamp = QDateTime(QDate(10, 4, 7), QTime(10, 31, 2));
    turn.path = QStringLiteral("/rides/T_100407.10-31-02.csv");

    TurnRecord copy = turn;
    QCOMPARE(copy, turn);
    copy.power[0] = 0;
    QCOMPARE(turn.power.at(0), 150.0);
    QVERIFY(copy != turn);

    copy.reset();
    QVERIFY(copy.angle.isEmpty() && copy.power.isEmpty() && copy.forceLeft.isEmpty()
            && copy.forceRight.isEmpty());
    QVERIFY(copy.timestamp.isNull());
    QVERIFY(copy.path.isEmpty());
}

QTEST_GUILESS_MAIN(tst_SessionRecordModel)
#include "tst_sessionrecordmodel.moc"
