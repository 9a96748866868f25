#include "PagePopulator.h"

#include <QTest>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

// The worker that makes memory ready writes into it: it must never write
// where the filling thread has written.
class TestPagePopulator : public QObject
{
    Q_OBJECT

private slots:
    void fillerKeepsItsSlices();
};

// A slow filler: the worker, writing from the ends, passes the middle long
// before the filler gets there, and would go on into what it has filled.
void TestPagePopulator::fillerKeepsItsSlices()
{
    constexpr size_t slices = 32, bytes = slices * PagePopulator::sliceBytes;
    std::vector<std::vector<char>> arrays(3, std::vector<char>(bytes + 100));
    std::vector<PagePopulator::Range> ranges;
    for (size_t a = 0; a < arrays.size(); ++a)
        ranges.push_back({arrays[a].data() + a * 8, bytes - a * 8}); // unaligned, unequal
    PagePopulator populator;
    populator.start(ranges);
    for (size_t slice = 0; slice < slices; ++slice) {
        const size_t offset = slice * PagePopulator::sliceBytes;
        populator.reach(offset);
        for (const PagePopulator::Range &range : ranges)
            std::memset(static_cast<char *>(range.begin) + offset, int(slice + 1),
                        std::min(PagePopulator::sliceBytes, range.bytes - offset));
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    populator.stop();
    for (const PagePopulator::Range &range : ranges) {
        const auto *at = static_cast<const char *>(range.begin);
        for (size_t i = 0; i < range.bytes; ++i) {
            if (at[i] != char(i / PagePopulator::sliceBytes + 1))
                QFAIL(qPrintable(QStringLiteral("byte %1 of a range was overwritten").arg(i)));
        }
    }
}

QTEST_GUILESS_MAIN(TestPagePopulator)
#include "tst_pagepopulator.moc"
