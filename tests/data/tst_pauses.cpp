#include "Pauses.h"

#include <QTest>

#include <cmath>

// Which steps in elapsed time are pauses.
class TestPauses : public QObject
{
    Q_OBJECT

private slots:
    void pauses_data();
    void pauses();
};

void TestPauses::pauses_data()
{
    QTest::addColumn<QVector<double>>("time");
    QTest::addColumn<double>("threshold");
    QTest::addColumn<QVector<int>>("resumptions");

    const double nan = std::nan("");
    QTest::newRow("no samples") << QVector<double>() << 10.0 << QVector<int>();
    QTest::newRow("one sample") << QVector<double>{5.0} << 10.0 << QVector<int>();
    QTest::newRow("1 Hz, a step of exactly the threshold is no pause")
        << QVector<double>{0, 1, 2, 3, 13, 14} << 10.0 << QVector<int>();
    QTest::newRow("1 Hz, a step just over the threshold is one")
        << QVector<double>{0, 1, 2, 3, 13.5, 14.5} << 10.0 << QVector<int>{4};
    QTest::newRow("10 Hz: still at least 10 s")
        << QVector<double>{0, 0.1, 0.2, 0.3, 5.3, 5.4, 15.5} << 10.0 << QVector<int>{6};
    QTest::newRow("whole seconds at 10 Hz: median step 0, threshold 10 s")
        << QVector<double>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 12} << 10.0 << QVector<int>{12};
    QTest::newRow("one sample in 10 s: threshold 100 s")
        << QVector<double>{0, 10, 20, 120, 221, 231} << 100.0 << QVector<int>{4};
    QTest::newRow("two pauses, one at the very start")
        << QVector<double>{0, 2520, 2521, 2522, 2523, 2524, 2600} << 10.0 << QVector<int>{1, 6};
    QTest::newRow("steps that are not finite neither pause nor count")
        << QVector<double>{0, nan, 2, 3, HUGE_VAL, 5, 6, 7, 18} << 10.0 << QVector<int>{8};
    QTest::newRow("time running backwards is no pause")
        << QVector<double>{100, 101, 102, 0, 1, 2} << 10.0 << QVector<int>();
}

void TestPauses::pauses()
{
    QFETCH(QVector<double>, time);
    const Pauses pauses(time);
    QTEST(pauses.threshold(), "threshold");
    QTEST(pauses.resumptions(), "resumptions");
}

QTEST_GUILESS_MAIN(TestPauses)
#include "tst_pauses.moc"
