#include "ProcessorCores.h"

#include <QtGlobal>

#include <algorithm>
#include <thread>

#ifdef Q_OS_LINUX
#include <sched.h>
#endif

int ProcessorCores::usable()
{
#ifdef Q_OS_LINUX
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (::sched_getaffinity(0, sizeof allowed, &allowed) == 0)
        return std::max(1, CPU_COUNT(&allowed));
#endif
    return std::max(1, int(std::thread::hardware_concurrency()));
}
