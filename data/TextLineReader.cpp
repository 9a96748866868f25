#include "TextLineReader.h"

#include "ProcessorCores.h"

#include <QFile>
#include <QTextCodec>

#include <atomic>
#include <climits>
#include <cstring>
#include <future>
#include <new>

namespace {

constexpr int Utf8Mib = 106;
const char ByteOrderMark[] = "\xEF\xBB\xBF";

bool startsWithMark(const char *begin, const char *end)
{
    return end - begin >= 3 && std::memcmp(begin, ByteOrderMark, 3) == 0;
}

// Number of commas in [begin, end), eight bytes at a time.
qint64 countCommas(const char *begin, const char *end)
{
    constexpr quint64 ones = 0x0101010101010101ULL;
    constexpr quint64 low7 = 0x7F7F7F7F7F7F7F7FULL;
    qint64 count = 0;
    const char *p = begin;
    for (; end - p >= 8; p += 8) {
        quint64 word;
        std::memcpy(&word, p, 8);
        const quint64 x = word ^ (ones * ',');
        // High bit of each byte set where the byte of x is zero, that is
        // where word holds a comma; then the bytes are summed.
        const quint64 zero = ~((((x & low7) + low7) | x) | low7);
        count += qint64(((zero >> 7) * ones) >> 56);
    }
    for (; p != end; ++p)
        count += *p == ',';
    return count;
}

// Counts lines piece by piece; a line may run on from one piece to the next.
struct RecordCounter {
    int skipLines;
    int minCommas;
    qint64 line = 0;
    qint64 commas = 0;
    qint64 length = 0;
    char head[6] = {};
    qint64 count = 0;
    bool done = false; // the "#####" line has been met

    void endLine()
    {
        if (line >= skipLines) {
            const bool separator = (length == 5 || (length == 6 && head[5] == '\r'))
                && std::memcmp(head, "#####", 5) == 0;
            if (separator)
                done = true;
            else if (commas >= minCommas)
                ++count;
        }
        ++line;
        commas = length = 0;
    }

    void scan(const char *p, const char *end)
    {
        while (p != end && !done) {
            const auto *newline = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
            const char *stop = newline ? newline : end;
            if (line >= skipLines) {
                for (const char *h = p; h != stop && length + (h - p) < 6; ++h)
                    head[length + (h - p)] = *h;
                commas += countCommas(p, stop);
                length += stop - p;
            }
            if (!newline)
                return;
            endLine();
            p = newline + 1;
        }
    }
};

// The lines of a file from a place to its end, counted through a handle of
// its own until the caller stops it; complete when it read them all.
struct LaterLines {
    RecordCounter counter;
    bool complete = false;
};

LaterLines countLines(const QString &path, qint64 from, int minCommas, qint64 chunkSize,
                      const std::atomic<bool> &stop)
{
    LaterLines lines{RecordCounter{0, minCommas}};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(from))
        return lines;
    const std::unique_ptr<char[]> chunk(new char[size_t(chunkSize)]);
    qint64 count = 0;
    while (!lines.counter.done && !stop && (count = file.read(chunk.get(), chunkSize)) > 0)
        lines.counter.scan(chunk.get(), chunk.get() + count);
    if (stop || count < 0)
        return lines;
    if (!lines.counter.done && lines.counter.length > 0)
        lines.counter.endLine(); // the last line, without a line end
    lines.complete = true;
    return lines;
}

} // namespace

TextLineReader::TextLineReader(QIODevice &device, qint64 chunkSize)
    : m_device(&device), m_chunkSize(qMax<qint64>(chunkSize, 1))
{
    QTextCodec *codec = QTextCodec::codecForUtfText(device.peek(4), nullptr);
    if (codec && codec->mibEnum() != Utf8Mib) {
        m_transcoded.setData(codec->toUnicode(device.readAll()).toUtf8());
        m_transcoded.open(QIODevice::ReadOnly);
        m_device = &m_transcoded;
    }
    // A small file gets a buffer of its own size, read at once.
    m_capacity = qBound<qint64>(1, m_device->size() + 1, m_chunkSize);
    m_buffer.reset(static_cast<char *>(std::malloc(size_t(m_capacity))));
    if (!m_buffer)
        throw std::bad_alloc();
    while (m_size < 3 && fill()) {
    }
    if (startsWithMark(m_buffer.get(), m_buffer.get() + m_size))
        m_pos = m_scan = 3;
}

TextLineReader::~TextLineReader() = default;

bool TextLineReader::fill()
{
    if (m_eof)
        return false;
    if (m_pos > 0) { // keep only the unread part, at the front
        std::memmove(m_buffer.get(), m_buffer.get() + m_pos, size_t(m_size - m_pos));
        m_size -= m_pos;
        m_scan -= m_pos;
        m_pos = 0;
    }
    if (m_size == m_capacity) {
        // A line longer than the buffer: make room for it, but no more than
        // the rest of the file needs. realloc moves big blocks without
        // copying them.
        qint64 wanted = m_capacity * 2;
        const qint64 rest = m_device->bytesAvailable();
        if (rest > 0 && m_size + rest + 1 < wanted)
            wanted = m_size + rest + 1;
        char *grown = static_cast<char *>(std::realloc(m_buffer.get(), size_t(wanted)));
        if (!grown)
            throw std::bad_alloc();
        (void)m_buffer.release();
        m_buffer.reset(grown);
        m_capacity = wanted;
    }
    const qint64 count = m_device->read(m_buffer.get() + m_size, m_capacity - m_size);
    if (count <= 0) {
        m_eof = true;
        return false;
    }
    m_size += count;
    return true;
}

qint64 TextLineReader::countRecords(int skipLines, int minCommas)
{
    RecordCounter counter{skipLines, minCommas};
    counter.scan(m_buffer.get() + m_pos, m_buffer.get() + m_size);
    const qint64 rest = m_eof ? 0 : m_device->bytesAvailable();
    if (rest > 0 && !counter.done) {
        // The rest of the file through a buffer of its own, then back to
        // where the reading goes on.
        const qint64 resume = m_device->pos();
        const qint64 end = resume + rest;
        const qint64 size = qMin(rest, m_chunkSize);
        const std::unique_ptr<char[]> chunk(new char[size_t(size)]);
        auto scanTo = [&](qint64 to) {
            qint64 count;
            while (!counter.done && m_device->pos() < to
                   && (count = m_device->read(chunk.get(), qMin(size, to - m_device->pos()))) > 0)
                counter.scan(chunk.get(), chunk.get() + count);
        };
        // Scanning is about a fifth of reading a long ride: a file's later
        // half is scanned on another thread, through a handle of its own.
        const qint64 later = laterHalf(resume, end);
        std::atomic<bool> stop{false};
        std::future<LaterLines> laterLines;
        if (later < end) {
            const QString path = static_cast<QFile *>(m_device)->fileName();
            const qint64 chunkSize = m_chunkSize;
            laterLines = ProcessorCores::beside([path, later, minCommas, chunkSize, &stop] {
                return countLines(path, later, minCommas, chunkSize, stop);
            });
        }
        scanTo(laterLines.valid() ? later : end);
        if (laterLines.valid()) {
            // Its lines count only where this half passed the lines to skip.
            const bool wanted = !counter.done && counter.line >= skipLines;
            stop = !wanted;
            const LaterLines lines = laterLines.get();
            if (wanted && lines.complete)
                counter.count += lines.counter.count; // its last line included
            else
                scanTo(end);
        }
        m_device->seek(resume);
    }
    if (!counter.done && counter.length > 0)
        counter.endLine(); // the last line, without a line end
    return counter.count;
}

qint64 TextLineReader::laterHalf(qint64 from, qint64 end)
{
    auto *file = qobject_cast<QFile *>(m_device);
    if (!file || file->fileName().isEmpty() || end - from < 2 * m_chunkSize)
        return end;
    // Just after the first line end past the middle, within a piece of the
    // file; a line longer than that is not worth looking further.
    const qint64 middle = from + (end - from) / 2;
    qint64 later = end;
    if (file->seek(middle)) {
        const QByteArray piece = file->read(qMin<qint64>(64 * 1024, end - middle));
        const int newline = piece.indexOf('\n');
        if (newline >= 0)
            later = middle + newline + 1;
    }
    file->seek(from);
    return later;
}

bool TextLineReader::readLine()
{
    if (!advance(false))
        return false;
    if (m_lineEnd[-1] == '\n')
        --m_lineEnd;
    if (m_lineEnd != m_lineBegin && m_lineEnd[-1] == '\r')
        --m_lineEnd;
    return true;
}

bool TextLineReader::readLines()
{
    return advance(true);
}

bool TextLineReader::advance(bool toLastLineEnd)
{
    do {
        char *buffer = m_buffer.get();
        // Before where the search for a line end begins, the unread part
        // has none.
        const char *newline = nullptr;
        if (!toLastLineEnd) {
            newline = static_cast<const char *>(
                std::memchr(buffer + m_scan, '\n', size_t(m_size - m_scan)));
        }
        for (qint64 i = m_size; toLastLineEnd && !newline && i > m_scan; --i)
            newline = buffer[i - 1] == '\n' ? buffer + i - 1 : nullptr;
        if (newline) {
            m_lineBegin = buffer + m_pos;
            m_lineEnd = newline + 1;
            m_pos = m_scan = m_lineEnd - buffer;
            return true;
        }
        m_scan = m_size;
    } while (fill());
    if (m_pos == m_size)
        return false;
    // The last line, without a line end.
    m_lineBegin = m_buffer.get() + m_pos;
    m_lineEnd = m_buffer.get() + m_size;
    m_pos = m_scan = m_size;
    return true;
}

bool TextLineReader::lineEquals(QLatin1String ascii) const
{
    return lineSize() == ascii.size()
        && std::memcmp(m_lineBegin, ascii.data(), size_t(ascii.size())) == 0;
}

QString TextLineReader::text(const char *begin, const char *end)
{
    int marks = 0;
    for (; startsWithMark(begin, end); begin += 3)
        ++marks;
    const QString decoded = QString::fromUtf8(begin, int(qMin<qint64>(end - begin, INT_MAX)));
    return marks ? QString(marks, QChar(0xFEFF)) + decoded : decoded;
}
