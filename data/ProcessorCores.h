#ifndef VOK_PROCESSORCORES_H
#define VOK_PROCESSORCORES_H

#include <future>
#include <system_error>
#include <type_traits>
#include <utility>

// How many processor cores this process may run on: those its affinity
// allows, where the system tells (Linux), else the machine's. Work is shared
// with a second thread only where there are two: on one core the threads
// would only take turns. Asked afresh each time, since the affinity may
// change while the program runs.
class ProcessorCores
{
public:
    static int usable();

    // Starts work on a thread of its own, to run beside the caller, where a
    // second core may run it. Where none may, or no thread is to be had, the
    // future is not valid and the caller does the work itself. The future
    // waits for the thread when it goes, should the caller throw.
    template<typename Work>
    static std::future<std::invoke_result_t<std::decay_t<Work>>> beside(Work &&work)
    {
        if (usable() < 2)
            return {};
        try {
            return std::async(std::launch::async, std::forward<Work>(work));
        } catch (const std::system_error &) {
            return {};
        }
    }
};

#endif
