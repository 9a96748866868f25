#include "WorkSharer.h"

WorkSharer::WorkSharer()
{
    if (std::thread::hardware_concurrency() > 1)
        thread = std::thread(&WorkSharer::serve, this);
}

WorkSharer::~WorkSharer()
{
    if (!thread.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    changed.notify_all();
    thread.join();
}

void WorkSharer::share(const std::function<void()> &work)
{
    if (!thread.joinable()) {
        work();
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        pending = &work;
        busy = true;
    }
    changed.notify_all();
    work();
    // The second thread may not even have started on it: then its turn
    // finds nothing left, but work must not go while it might still look.
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return !busy; });
}

void WorkSharer::serve()
{
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        changed.wait(lock, [this] { return pending || stopping; });
        if (stopping)
            return;
        const std::function<void()> *work = pending;
        pending = nullptr;
        lock.unlock();
        (*work)();
        lock.lock();
        busy = false;
        changed.notify_all();
    }
}
