#ifndef VOK_HUGEPAGES_H
#define VOK_HUGEPAGES_H

#include <QtGlobal>

#include <cstddef>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#include <unistd.h>
#endif

// Asks the system to back a large array that is about to be filled with huge
// pages. Filling a long ride's arrays would otherwise take a page fault every
// 4 KiB, which costs as much as reading the file. Only a hint: it changes no
// contents, and does nothing where the system has no such pages.
class HugePages
{
public:
    static void advise(const void *data, size_t bytes)
    {
#if defined(Q_OS_LINUX) && defined(MADV_HUGEPAGE)
        constexpr size_t worthIt = 4u << 20;
        if (bytes < worthIt)
            return;
        // The pages that hold the array, the allocation's header included:
        // leaving out the first page would keep the first 2 MiB of the
        // mapping out of it.
        const quintptr page = quintptr(::sysconf(_SC_PAGESIZE));
        const quintptr begin = quintptr(data) & ~(page - 1);
        const quintptr end = (quintptr(data) + bytes + page - 1) & ~(page - 1);
        ::madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#else
        Q_UNUSED(data);
        Q_UNUSED(bytes);
#endif
    }
};

#endif
