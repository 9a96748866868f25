#include "PagePopulator.h"

#include <QtGlobal>

#include <algorithm>
#include <system_error>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace {

#if defined(Q_OS_LINUX) && defined(MADV_POPULATE_WRITE)
constexpr bool supported = true;
#else
constexpr bool supported = false;
#endif

// A slice of each range per round, so that all of them gain pages at the
// pace the rows fill them.
constexpr size_t sliceBytes = size_t(2) << 20;

} // namespace

void PagePopulator::start(const std::vector<Range> &ranges)
{
    stop();
    if (!supported || ranges.empty())
        return;
    stopping = false;
    try {
        worker = std::thread(&PagePopulator::populate, this, ranges);
    } catch (const std::system_error &) {
        // Without a thread, the pages are mapped in as they are written.
    }
}

void PagePopulator::stop()
{
    stopping = true;
    if (worker.joinable())
        worker.join();
}

void PagePopulator::populate(std::vector<Range> ranges)
{
#if defined(Q_OS_LINUX) && defined(MADV_POPULATE_WRITE)
    const quintptr page = quintptr(::sysconf(_SC_PAGESIZE));
    size_t longest = 0;
    for (const Range &range : ranges)
        longest = std::max(longest, range.bytes);
    for (size_t offset = 0; offset < longest; offset += sliceBytes) {
        for (const Range &range : ranges) {
            if (stopping)
                return;
            if (offset >= range.bytes)
                continue;
            // Whole pages around the slice: the page it starts in may hold
            // something else too, which is mapped in already.
            const quintptr from = (quintptr(range.begin) + offset) & ~(page - 1);
            const quintptr to = quintptr(range.begin) + std::min(range.bytes, offset + sliceBytes);
            const quintptr end = (to + page - 1) & ~(page - 1);
            if (::madvise(reinterpret_cast<void *>(from), end - from, MADV_POPULATE_WRITE) != 0)
                return; // a system that cannot, or memory already given back
        }
    }
#else
    Q_UNUSED(ranges);
#endif
}
