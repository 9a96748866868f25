#include "WorkSharer.h"

#include <QTest>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

// Work handed to the second thread: it runs while the caller goes on, and
// once finish() returns it has stopped and touches nothing any more.
class TestWorkSharer : public QObject
{
    Q_OBJECT

private slots:
    void runsAheadUntilFinished();
    void finishStopsBetweenItems();
    void nextWorkWaitsForTheLast();
};

namespace {

void pause(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace

void TestWorkSharer::runsAheadUntilFinished()
{
    WorkSharer sharer;
    if (!sharer.hasSecondThread())
        QSKIP("one core: work handed over never runs");
    std::atomic<int> done{0};
    std::atomic<bool> onOtherThread{false};
    const std::thread::id caller = std::this_thread::get_id();
    sharer.start([&] {
        onOtherThread = std::this_thread::get_id() != caller;
        for (int i = 0; i < 5 && !sharer.stopping(); ++i)
            ++done;
    });
    // Not asked to stop, it does every item while the caller waits elsewhere.
    QTRY_COMPARE(done.load(), 5);
    sharer.finish();
    QVERIFY(onOtherThread);
}

void TestWorkSharer::finishStopsBetweenItems()
{
    WorkSharer sharer;
    if (!sharer.hasSecondThread())
        QSKIP("one core: work handed over never runs");
    for (int round = 0; round < 50; ++round) {
        std::atomic<int> begun{0}, ended{0};
        sharer.start([&] {
            for (int i = 0; i < 1000 && !sharer.stopping(); ++i) {
                ++begun;
                pause(1);
                ++ended;
            }
        });
        pause(round % 5);
        sharer.finish();
        // The item under way has ended, and no other began.
        const int after = begun;
        QCOMPARE(ended.load(), after);
        QVERIFY(after < 1000);
        pause(3);
        QCOMPARE(begun.load(), after);
    }
}

void TestWorkSharer::nextWorkWaitsForTheLast()
{
    WorkSharer sharer;
    if (!sharer.hasSecondThread())
        QSKIP("one core: work handed over never runs");
    // Each work checks that no other runs beside it; each start stops the
    // one before, which then does not run on after the next has begun.
    std::atomic<int> running{0}, overlaps{0}, ran{0};
    for (int round = 0; round < 200; ++round) {
        sharer.start([&] {
            overlaps += running++ != 0;
            ++ran;
            for (int i = 0; i < 3 && !sharer.stopping(); ++i)
                pause(1);
            --running;
        });
        if (round % 3 == 0)
            pause(1);
    }
    // The last one handed over runs, after all the others.
    std::atomic<bool> last{false};
    sharer.start([&] { last = running == 0; });
    QTRY_VERIFY(last);
    sharer.finish();
    QCOMPARE(overlaps.load(), 0);
    QVERIFY(ran > 0);
}

QTEST_GUILESS_MAIN(TestWorkSharer)
#include "tst_worksharer.moc"
