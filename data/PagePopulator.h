#ifndef VOK_PAGEPOPULATOR_H
#define VOK_PAGEPOPULATOR_H

#include <QtGlobal>

#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

// Maps freshly allocated memory in on a second thread, ahead of the thread
// that fills it. The first write to each page of a new array costs a fault
// in which the system clears the page; for the arrays of a long ride that is
// a quarter of the read. On a virtual machine the page costs as much again
// at its first write, when the host backs it. Here the worker first asks
// the system to map every page in, which is quick, then writes a zero into
// each page from the ranges' ends backwards, while the filler writes from
// their starts: where they meet, all pages have been written once.
//
// The worker and the filling thread never write into the same slice. Each
// slice is taken by one of them: the worker as it comes to it, the filler
// by reach() before it writes there. Where the system cannot map pages in
// ahead (not Linux, or older than 5.14), it does nothing.
class PagePopulator
{
public:
    struct Range {
        void *begin;
        size_t bytes;
    };
    // The bytes of each range, from its start, that go in one piece.
    static constexpr size_t sliceBytes = size_t(64) << 10;

    PagePopulator() = default;
    ~PagePopulator() { stop(); }
    PagePopulator(const PagePopulator &) = delete;
    PagePopulator &operator=(const PagePopulator &) = delete;

    // Starts on ranges that are filled from their starts at the same pace.
    // Until stop(), nothing may write into them but through reach().
    void start(const std::vector<Range> &ranges);
    // Called by the filling thread before it first writes into the slice
    // that holds offset (counted from the start of each range), and so
    // into any slice before it: these are the filler's from then on. Where
    // the worker has taken the slice, this waits until it is written.
    void reach(size_t offset);
    // Stops where it is and waits for the thread. Before the ranges are
    // written otherwise, freed or moved.
    void stop();

private:
    void populate(const std::vector<Range> &ranges);
    bool mapIn(const std::vector<Range> &ranges); // false where the system cannot
    void writeFromEnd(const std::vector<Range> &ranges);

    // The slices before the lower half are the filler's, those from the
    // upper half on the worker's; between them, nobody's yet.
    static quint64 taken(quint32 filler, quint32 worker) { return quint64(worker) << 32 | filler; }

    std::thread worker;
    std::atomic<bool> stopping{false};
    std::atomic<quint64> claims{0};
    std::atomic<quint32> writtenFrom{0}; // the worker has written every slice from here on
    quint32 reached = 0; // the filler's own: the slices it has taken
};

#endif
