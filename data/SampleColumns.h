#ifndef VOK_SAMPLECOLUMNS_H
#define VOK_SAMPLECOLUMNS_H

#include <QVector>

#include <array>
#include <climits>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#include <unistd.h>
#endif

// Fills several arrays of the same length one row at a time. The arrays are
// allocated once, to the number of rows the file is expected to hold, so a
// long ride takes no more memory than its values and is never copied while
// it grows. Should the file hold more rows after all, the arrays grow as
// QVector grows, and are trimmed at the end.
template<int Count>
class SampleColumns
{
public:
    // expected < 0: unknown.
    SampleColumns(const std::array<QVector<double> *, Count> &arrays, qint64 expected)
        : m_arrays(arrays)
    {
        for (QVector<double> *array : m_arrays) {
            *array = QVector<double>(); // let go of what an earlier file needed
            if (expected > 0) {
                const int capacity = int(qMin<qint64>(expected, MaximumRows));
                array->reserve(capacity); // exactly that many
                adviseHugePages(array->data(), capacity);
            }
        }
    }

    void append(const double (&row)[Count])
    {
        for (int i = 0; i < Count; ++i)
            m_arrays[size_t(i)]->append(row[i]);
    }

    int size() const { return m_arrays[0]->size(); }

    // Trims the arrays to the rows appended.
    void finish()
    {
        for (QVector<double> *array : m_arrays) {
            if (array->capacity() != array->size())
                array->squeeze();
        }
    }

private:
    // QVector counts in int and allocates at most INT_MAX bytes.
    static constexpr int MaximumRows = INT_MAX / int(sizeof(double)) - 64;

    // Filling the arrays of a long ride would otherwise take a page fault
    // every 4 KiB, which costs as much as reading the file.
    static void adviseHugePages(double *values, int count)
    {
#if defined(Q_OS_LINUX) && defined(MADV_HUGEPAGE)
        constexpr int worthIt = (4 << 20) / int(sizeof(double));
        if (count < worthIt)
            return;
        // The pages that hold the array, the allocation's header included:
        // the advice is a hint that changes no contents, and leaving out the
        // first page would keep the first 2 MiB of the mapping out of it.
        const quintptr page = quintptr(::sysconf(_SC_PAGESIZE));
        const quintptr begin = quintptr(values) & ~(page - 1);
        const quintptr end = (quintptr(values + count) + page - 1) & ~(page - 1);
        ::madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#else
        Q_UNUSED(values);
        Q_UNUSED(count);
#endif
    }

    std::array<QVector<double> *, Count> m_arrays;
};

#endif
