#ifndef VOK_SAMPLECOLUMNS_H
#define VOK_SAMPLECOLUMNS_H

#include <QVector>

#include <array>
#include <climits>

// Fills several arrays of the same length one row at a time. The arrays are
// allocated once, to the number of rows the file is expected to hold, so a
// long ride takes no more memory than its values and is never copied while
// it grows; should the file hold more rows after all, they grow by half.
template<int Count>
class SampleColumns
{
public:
    // expected < 0: unknown.
    SampleColumns(const std::array<QVector<double> *, Count> &arrays, qint64 expected)
        : m_arrays(arrays)
    {
        for (QVector<double> *array : m_arrays)
            *array = QVector<double>(); // let go of what an earlier file needed
        if (expected > 0)
            allocate(int(qMin<qint64>(expected, MaximumRows)));
    }

    // Adds a row: row[i] points at its element in array i. Returns its index.
    int append(double *(&row)[Count])
    {
        if (m_size == m_capacity)
            allocate(m_capacity + qMax(m_capacity / 2, 1024));
        for (int i = 0; i < Count; ++i)
            row[i] = m_data[i] + m_size;
        return m_size++;
    }

    int size() const { return m_size; }

    // Trims the arrays to the rows appended.
    void finish()
    {
        for (QVector<double> *array : m_arrays) {
            array->resize(m_size);
            if (array->capacity() != m_size)
                array->squeeze();
        }
    }

private:
    // QVector counts in int and allocates at most INT_MAX bytes.
    static constexpr int MaximumRows = INT_MAX / int(sizeof(double)) - 64;

    void allocate(int capacity)
    {
        for (int i = 0; i < Count; ++i) {
            QVector<double> *array = m_arrays[size_t(i)];
            // reserve() allocates exactly; resize() alone would round up.
            array->reserve(capacity);
            array->resize(capacity);
            m_data[size_t(i)] = array->data();
        }
        m_capacity = capacity;
    }

    std::array<QVector<double> *, Count> m_arrays;
    std::array<double *, Count> m_data {};
    int m_size = 0;
    int m_capacity = 0;
};

#endif
