#include "PagePopulator.h"

#include <algorithm>
#include <cstdint>
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

// Pages are mapped in this many bytes of each range at a time, each range
// in turn, so that all of them gain pages at the pace the rows fill them.
constexpr size_t mapBytes = size_t(2) << 20;

} // namespace

void PagePopulator::start(const std::vector<Range> &ranges)
{
    stop();
    if (!supported || ranges.empty())
        return;
    size_t longest = 0;
    for (const Range &range : ranges)
        longest = std::max(longest, range.bytes);
    const auto slices = quint32(std::min<size_t>((longest + sliceBytes - 1) / sliceBytes, UINT32_MAX));
    stopping = false;
    claims = taken(0, slices);
    writtenFrom = slices;
    reached = 0;
    try {
        worker = std::thread([this, ranges] {
            populate(ranges);
            // Nothing more will be written: the filler need not wait.
            writtenFrom.store(0, std::memory_order_release);
        });
    } catch (const std::system_error &) {
        // Without a thread, the pages are mapped in as they are written.
    }
}

void PagePopulator::reach(size_t offset)
{
    const size_t slice = offset / sliceBytes;
    if (slice < reached || !worker.joinable())
        return;
    quint64 now = claims.load(std::memory_order_relaxed);
    for (;;) {
        const auto workers = quint32(now >> 32);
        if (slice >= workers)
            break;
        // Those from the lower half on have passed by, or begin here: ours.
        if (claims.compare_exchange_weak(now, taken(quint32(slice) + 1, workers),
                                         std::memory_order_relaxed)) {
            reached = quint32(slice) + 1;
            return;
        }
    }
    // The worker's: the filler's writes must come after its own.
    while (writtenFrom.load(std::memory_order_acquire) > slice)
        std::this_thread::yield();
}

void PagePopulator::stop()
{
    stopping = true;
    if (worker.joinable())
        worker.join();
}

void PagePopulator::populate(const std::vector<Range> &ranges)
{
    if (mapIn(ranges))
        writeFromEnd(ranges);
}

bool PagePopulator::mapIn(const std::vector<Range> &ranges)
{
#if defined(Q_OS_LINUX) && defined(MADV_POPULATE_WRITE)
    const quintptr page = quintptr(::sysconf(_SC_PAGESIZE));
    size_t longest = 0;
    for (const Range &range : ranges)
        longest = std::max(longest, range.bytes);
    for (size_t offset = 0; offset < longest; offset += mapBytes) {
        for (const Range &range : ranges) {
            if (stopping)
                return false;
            if (offset >= range.bytes)
                continue;
            // Whole pages around the bytes: the first and last may hold
            // something else too, which is mapped in already, and mapping
            // a page in writes nothing into it.
            const quintptr from = (quintptr(range.begin) + offset) & ~(page - 1);
            const quintptr to = quintptr(range.begin) + std::min(range.bytes, offset + mapBytes);
            const quintptr end = (to + page - 1) & ~(page - 1);
            if (::madvise(reinterpret_cast<void *>(from), end - from, MADV_POPULATE_WRITE) != 0)
                return false; // a system that cannot, or memory already given back
        }
    }
    return true;
#else
    Q_UNUSED(ranges);
    return false;
#endif
}

void PagePopulator::writeFromEnd(const std::vector<Range> &ranges)
{
#ifdef Q_OS_LINUX
    const quintptr page = quintptr(::sysconf(_SC_PAGESIZE));
    quint64 now = claims.load(std::memory_order_relaxed);
    for (;;) {
        const auto filler = quint32(now), workers = quint32(now >> 32);
        if (workers <= filler)
            return; // met
        const quint32 slice = workers - 1;
        if (!claims.compare_exchange_weak(now, taken(filler, slice), std::memory_order_relaxed))
            continue;
        const size_t offset = size_t(slice) * sliceBytes;
        for (const Range &range : ranges) {
            if (stopping)
                return;
            if (offset >= range.bytes)
                continue;
            // A zero into each page where the slice has bytes: at the
            // slice's first, then at each page's first.
            const quintptr end = quintptr(range.begin) + std::min(range.bytes, offset + sliceBytes);
            for (quintptr at = quintptr(range.begin) + offset; at < end; at = (at | (page - 1)) + 1)
                *reinterpret_cast<volatile char *>(at) = 0;
        }
        writtenFrom.store(slice, std::memory_order_release);
        now = claims.load(std::memory_order_relaxed);
    }
#else
    Q_UNUSED(ranges);
#endif
}
