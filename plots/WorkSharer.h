#ifndef VOK_WORKSHARER_H
#define VOK_WORKSHARER_H

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// A second thread for work that can run ahead of the thread that will need
// its results: start(work) hands work over and returns at once. The work
// looks at stopping() between its items; finish() asks it to stop there and
// returns once the second thread has let go of it. Whatever the work reads
// must stay as it is until then.
//
// Where the program may run on one core only, there is no second thread and
// work handed over never runs: the caller must be able to do without it.
class WorkSharer
{
public:
    WorkSharer();
    // Finishes the work running, as finish() does.
    ~WorkSharer();
    WorkSharer(const WorkSharer &) = delete;
    WorkSharer &operator=(const WorkSharer &) = delete;

    bool hasSecondThread() const { return thread.joinable(); }

    // Finishes any work handed over before, then hands over this one.
    // Call start and finish from one thread.
    void start(std::function<void()> work);
    void finish();
    // For the work: whether it should stop before its next item.
    bool stopping() const { return stopRequested.load(std::memory_order_relaxed); }

private:
    void serve();

    std::mutex mutex;
    std::condition_variable changed;
    std::function<void()> pending; // handed over, not yet taken
    bool busy = false;             // work handed over and not yet let go of
    bool quitting = false;
    std::atomic<bool> stopRequested{false};
    std::thread thread;
};

#endif
