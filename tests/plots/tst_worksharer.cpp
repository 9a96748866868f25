#include "WorkSharer.h"

#include <QTest>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

// Work divided between the caller and the second thread: each item done
// exactly once, and all of them done when share() returns.
class TestWorkSharer : public QObject
{
    Q_OBJECT

private slots:
    void doesEveryItemOnceBeforeReturning();
};

void TestWorkSharer::doesEveryItemOnceBeforeReturning()
{
    WorkSharer sharer;
    for (int round = 0; round < 200; ++round) {
        // Some rounds with slow items, so that the second thread is still
        // busy when the caller runs out of items.
        const int count = round % 50 + 1;
        const bool slow = round % 20 == 0;
        std::vector<std::atomic<int>> done(static_cast<size_t>(count));
        std::atomic<int> next{0};
        std::atomic<int> finished{0};
        sharer.share([&] {
            for (int i = next++; i < count; i = next++) {
                if (slow)
                    std::this_thread::sleep_for(std::chrono::milliseconds(2));
                ++done[size_t(i)];
                ++finished;
            }
        });
        QCOMPARE(finished.load(), count);
        for (const std::atomic<int> &item : done)
            QCOMPARE(item.load(), 1);
    }
}

QTEST_GUILESS_MAIN(TestWorkSharer)
#include "tst_worksharer.moc"
