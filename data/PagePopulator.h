#ifndef VOK_PAGEPOPULATOR_H
#define VOK_PAGEPOPULATOR_H

#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

// Maps freshly allocated memory in on a second thread, ahead of the thread
// that fills it. The first write to each page of a new array costs a fault
// in which the system clears the page; for the arrays of a long ride that is
// a quarter of the read. Here the system clears the pages while the reader
// parses, a slice of every array in turn, in the order the rows fill them.
//
// It only asks the system to map pages in and writes nothing itself, so the
// filling thread may write anywhere at any time. Where the system cannot
// (not Linux, or older than 5.14), it does nothing.
class PagePopulator
{
public:
    struct Range {
        void *begin;
        size_t bytes;
    };

    PagePopulator() = default;
    ~PagePopulator() { stop(); }
    PagePopulator(const PagePopulator &) = delete;
    PagePopulator &operator=(const PagePopulator &) = delete;

    // Starts on ranges that are filled from their starts at the same pace.
    void start(const std::vector<Range> &ranges);
    // Stops where it is and waits for the thread: before the ranges are freed
    // or moved there is no need to go on.
    void stop();

private:
    void populate(std::vector<Range> ranges);

    std::thread worker;
    std::atomic<bool> stopping{false};
};

#endif
