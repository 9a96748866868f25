#ifndef VOK_SAMPLECOLUMNS_H
#define VOK_SAMPLECOLUMNS_H

#include "PagePopulator.h"

#include <QVector>

#include <array>
#include <climits>

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
        std::vector<PagePopulator::Range> fresh;
        const int capacity = expected > 0 ? int(qMin<qint64>(expected, MaximumRows)) : 0;
        for (QVector<double> *array : m_arrays) {
            *array = QVector<double>(); // let go of what an earlier file needed
            if (capacity > 0) {
                array->reserve(capacity); // exactly that many
                fresh.push_back({const_cast<double *>(array->constData()),
                                 size_t(capacity) * sizeof(double)});
            }
        }
        // The pages are plain ones. Huge pages save faults: a day's ride
        // read again in the same process took a fifth less time with them.
        // But opening a ride beside one already read took longer with them,
        // on the virtual machines measured, with huge pages free and nothing
        // compacted; and where none are free, the first fault compacts
        // memory to make one.
        if (expected >= populateFrom) {
            m_capacity = capacity;
            m_populator.start(fresh);
            m_nextCheck = 0;
        }
    }

    void append(const double (&row)[Count])
    {
        if (size() == m_nextCheck)
            checkpoint(m_nextCheck);
        for (int i = 0; i < Count; ++i)
            m_arrays[size_t(i)]->append(row[i]);
    }

    int size() const { return m_arrays[0]->size(); }

    // Trims the arrays to the rows appended.
    void finish()
    {
        m_populator.stop();
        for (QVector<double> *array : m_arrays) {
            if (array->capacity() != array->size())
                array->squeeze();
        }
    }

private:
    // Before the row that begins a slice of the populator's, and before the
    // first row the arrays have no room for.
    void checkpoint(int rows)
    {
        if (rows >= m_capacity) {
            m_populator.stop(); // the arrays are about to move
            m_nextCheck = -1;
            return;
        }
        m_populator.reach(size_t(rows) * sizeof(double));
        m_nextCheck = qMin(rows + rowsPerSlice, m_capacity);
    }

    static constexpr int rowsPerSlice = int(PagePopulator::sliceBytes / sizeof(double));

    // QVector counts in int and allocates at most INT_MAX bytes.
    static constexpr int MaximumRows = INT_MAX / int(sizeof(double)) - 64;

    // Below this many rows, a thread would cost more than it saves.
    static constexpr qint64 populateFrom = 100000;

    std::array<QVector<double> *, Count> m_arrays;
    PagePopulator m_populator;
    int m_capacity = 0;   // the rows the arrays have room for, where populated
    int m_nextCheck = -1; // the row count at which to call checkpoint(); -1: never
};

#endif
