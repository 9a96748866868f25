#include "WorkSharer.h"

#include "ProcessorCores.h"

WorkSharer::WorkSharer()
{
    if (ProcessorCores::usable() > 1)
        thread = std::thread(&WorkSharer::serve, this);
}

WorkSharer::~WorkSharer()
{
    if (!thread.joinable())
        return;
    stopRequested = true;
    {
        std::lock_guard<std::mutex> lock(mutex);
        quitting = true;
    }
    changed.notify_all();
    thread.join();
}

void WorkSharer::start(std::function<void()> work)
{
    if (!thread.joinable())
        return;
    finish();
    {
        std::lock_guard<std::mutex> lock(mutex);
        pending = std::move(work);
        busy = true;
    }
    changed.notify_all();
}

void WorkSharer::finish()
{
    if (!thread.joinable())
        return;
    stopRequested = true;
    {
        // Work not yet taken is taken all the same, and stops at once.
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this] { return !busy; });
    }
    stopRequested = false;
}

void WorkSharer::serve()
{
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        changed.wait(lock, [this] { return busy || quitting; });
        if (quitting)
            return;
        std::function<void()> work = std::move(pending);
        pending = nullptr;
        lock.unlock();
        work();
        work = nullptr; // what it holds goes here, not on the caller's thread
        lock.lock();
        busy = false;
        changed.notify_all();
    }
}
