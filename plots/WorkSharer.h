#ifndef VOK_WORKSHARER_H
#define VOK_WORKSHARER_H

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// A second thread for work that divides itself: share(work) runs work on
// the calling thread and on this one at once, and returns when both have
// returned. Each run of work takes the next item nobody has taken yet until
// none is left. On a machine of one core there is no second thread, and
// share(work) just runs work. One caller at a time.
class WorkSharer
{
public:
    WorkSharer();
    ~WorkSharer();
    WorkSharer(const WorkSharer &) = delete;
    WorkSharer &operator=(const WorkSharer &) = delete;

    void share(const std::function<void()> &work);

private:
    void serve();

    std::mutex mutex;
    std::condition_variable changed;
    const std::function<void()> *pending = nullptr; // handed over, not yet taken
    bool busy = false;                              // the second thread runs work
    bool stopping = false;
    std::thread thread;
};

#endif
