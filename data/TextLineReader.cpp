#include "TextLineReader.h"

#include <QFile>
#include <QTextCodec>
#include <QTextStream>

#include <cstring>
#include <new>

namespace {

constexpr int Utf8Mib = 106;
constexpr qint64 MaximumChunk = qint64(1) << 20;
constexpr qint64 MinimumChunk = 4096;

QTextCodec *utf8Codec()
{
    static QTextCodec *const codec = QTextCodec::codecForMib(Utf8Mib);
    return codec;
}

bool isAscii(const char *begin, const char *end)
{
    for (const char *p = begin; p != end; ++p) {
        if (static_cast<unsigned char>(*p) >= 0x80)
            return false;
    }
    return true;
}

bool isByteOrderMark(const char *p)
{
    return static_cast<unsigned char>(p[0]) == 0xEF && static_cast<unsigned char>(p[1]) == 0xBB
        && static_cast<unsigned char>(p[2]) == 0xBF;
}

// Length of an unfinished multi-byte sequence at the end of [begin, end):
// a lead byte followed by fewer continuation bytes than it announces. At the
// end of a file the stream's decoder keeps such bytes for more input that
// never comes, so they never reach a line.
qint64 unfinishedSequenceLength(const char *begin, const char *end)
{
    const auto *first = reinterpret_cast<const unsigned char *>(begin);
    const auto *p = reinterpret_cast<const unsigned char *>(end);
    int continuation = 0;
    while (p != first && continuation < 3 && (p[-1] & 0xC0) == 0x80) {
        --p;
        ++continuation;
    }
    if (p == first)
        return 0;
    const unsigned char lead = p[-1];
    int length = 0;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    return length != 0 && continuation < length - 1 ? continuation + 1 : 0;
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

} // namespace

TextLineReader::TextLineReader(QFile &file)
    : m_file(file)
{
    if (QTextCodec::codecForLocale()->mibEnum() != Utf8Mib) {
        startDecoding();
        return;
    }
    m_capacity = qBound(MinimumChunk, m_file.size() + 1, MaximumChunk);
    m_buffer.reset(static_cast<char *>(std::malloc(size_t(m_capacity))));
    if (!m_buffer)
        throw std::bad_alloc();
    while (m_size < m_capacity && fill()) {
    }

    // The stream picks its codec from a byte order mark in its first block.
    const auto *b = reinterpret_cast<const unsigned char *>(m_buffer.get());
    const bool utf32 = m_size >= 4 && b[0] == 0x00 && b[1] == 0x00 && b[2] == 0xFE && b[3] == 0xFF;
    const bool utf16 = m_size >= 2 && ((b[0] == 0xFE && b[1] == 0xFF) || (b[0] == 0xFF && b[1] == 0xFE));
    if (utf32 || utf16) {
        startDecoding();
        return;
    }
    if (m_size >= 3 && isByteOrderMark(m_buffer.get()))
        m_pos = m_scan = 3;
}

TextLineReader::~TextLineReader() = default;

void TextLineReader::startDecoding()
{
    m_buffer.reset();
    m_capacity = m_size = m_pos = m_scan = 0;
    m_file.seek(0);
    m_stream = std::make_unique<QTextStream>(&m_file);
}

bool TextLineReader::fill()
{
    if (m_eof)
        return false;
    if (m_pos > 0) {
        const qint64 kept = m_size - m_pos;
        if (kept > 0)
            std::memmove(m_buffer.get(), m_buffer.get() + m_pos, size_t(kept));
        m_bufferOffset += m_pos;
        m_scan -= m_pos;
        m_size = kept;
        m_pos = 0;
    }
    if (m_size == m_capacity)
        grow();
    const qint64 count = m_file.read(m_buffer.get() + m_size, m_capacity - m_size);
    if (count <= 0) {
        m_eof = true;
        return false;
    }
    m_size += count;
    return true;
}

void TextLineReader::grow()
{
    // A line longer than the buffer: make room for it, but no more than the
    // rest of the file needs. realloc moves big blocks without copying them.
    qint64 wanted = m_capacity * 2;
    const qint64 rest = m_file.size() - m_file.pos();
    if (rest > 0 && m_size + rest + 1 < wanted)
        wanted = m_size + rest + 1;
    char *grown = static_cast<char *>(std::realloc(m_buffer.get(), size_t(wanted)));
    if (!grown)
        throw std::bad_alloc();
    (void)m_buffer.release();
    m_buffer.reset(grown);
    m_capacity = wanted;
}

qint64 TextLineReader::countRecords(int skipLines, int minCommas, int maxCommas, bool stopAtOther)
{
    Q_ASSERT(!m_started);
    if (m_stream)
        return -1;

    qint64 line = 0;
    qint64 commas = 0;
    qint64 length = 0;
    char head[6];
    qint64 count = 0;
    bool stopped = false;

    auto finishLine = [&] {
        if (line >= skipLines) {
            const bool separator = (length == 5 && std::memcmp(head, "#####", 5) == 0)
                || (length == 6 && std::memcmp(head, "#####\r", 6) == 0);
            if (separator)
                stopped = true;
            else if (commas >= minCommas && commas <= maxCommas)
                ++count;
            else if (stopAtOther)
                stopped = true;
        }
        ++line;
        commas = 0;
        length = 0;
    };
    auto scan = [&](const char *p, const char *end) {
        while (p != end && !stopped) {
            const char *newline = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
            const char *segmentEnd = newline ? newline : end;
            if (line >= skipLines) {
                for (const char *h = p; h != segmentEnd && length + (h - p) < 6; ++h)
                    head[length + (h - p)] = *h;
                commas += countCommas(p, segmentEnd);
                length += segmentEnd - p;
            }
            if (!newline)
                break;
            finishLine();
            p = newline + 1;
        }
    };

    // The buffer holds the start of the file; if that is all of it, the
    // count and the reading share one read.
    scan(m_buffer.get() + m_pos, m_buffer.get() + m_size);
    if (!m_eof && !stopped) {
        m_pos = m_size;
        while (!stopped && fill()) {
            scan(m_buffer.get(), m_buffer.get() + m_size);
            m_pos = m_size;
        }
        if (!stopped && length > 0)
            finishLine();
        // Back to the start for reading.
        m_file.seek(0);
        m_size = m_pos = m_scan = m_bufferOffset = 0;
        m_eof = false;
        while (m_size < m_capacity && fill()) {
        }
        if (m_size >= 3 && isByteOrderMark(m_buffer.get()))
            m_pos = m_scan = 3;
    } else if (!stopped && length > 0) {
        finishLine();
    }
    return count;
}

bool TextLineReader::readLine()
{
    m_started = true;
    if (m_stream) {
        if (m_stream->atEnd())
            return false;
        m_decodedLine = m_stream->readLine();
        return true;
    }
    for (;;) {
        if (m_scan < m_size) {
            char *buffer = m_buffer.get();
            if (auto *newline = static_cast<char *>(std::memchr(buffer + m_scan, '\n', size_t(m_size - m_scan)))) {
                m_lineBegin = buffer + m_pos;
                m_lineEnd = newline;
                m_pos = m_scan = newline + 1 - buffer;
                m_lastNewline = m_bufferOffset + (newline - buffer);
                if (m_lineEnd != m_lineBegin && m_lineEnd[-1] == '\r')
                    --m_lineEnd;
                return true;
            }
            m_scan = m_size;
        }
        if (!fill())
            break;
    }
    if (m_atEnd)
        return false;
    m_atEnd = true;
    // The last line, without a line break.
    m_lineBegin = m_buffer.get() + m_pos;
    m_lineEnd = m_buffer.get() + m_size;
    m_pos = m_scan = m_size;
    m_lineEnd -= unfinishedSequenceLength(m_lineBegin, m_lineEnd);
    if (m_lineEnd != m_lineBegin) {
        if (m_lineEnd[-1] == '\r')
            --m_lineEnd;
        return true;
    }
    // Nothing left that decodes to a character (an unfinished sequence, or
    // a file that is only a byte order mark). The stream still reports one
    // more, empty line if it has not yet read those bytes: it reads whole
    // blocks, up to the block holding the last line end it met.
    const qint64 fileEnd = m_bufferOffset + m_size;
    const qint64 streamRead =
        m_lastNewline < 0 ? 0 : qMin(fileEnd, (m_lastNewline / StreamChunkSize + 1) * StreamChunkSize);
    return streamRead < fileEnd;
}

bool TextLineReader::lineIsAscii() const
{
    return isAscii(m_lineBegin, m_lineEnd);
}

QString TextLineReader::lineText() const
{
    if (m_stream)
        return m_decodedLine;
    return text(m_lineBegin, m_lineEnd);
}

QString TextLineReader::lineText(qint64 maxBytes) const
{
    if (m_stream)
        return m_decodedLine;
    return lineSize() <= maxBytes ? text(m_lineBegin, m_lineEnd) : QString();
}

bool TextLineReader::lineEquals(QLatin1String ascii) const
{
    if (m_stream)
        return m_decodedLine == ascii;
    const qint64 size = lineSize();
    if (size == ascii.size())
        return std::memcmp(m_lineBegin, ascii.data(), size_t(size)) == 0;
    // A byte order mark at a block boundary may vanish from the text.
    if (size > ascii.size() && size <= ascii.size() + 3 && !isAscii(m_lineBegin, m_lineEnd))
        return lineText() == ascii;
    return false;
}

QString TextLineReader::text(const char *begin, const char *end) const
{
    if (isAscii(begin, end))
        return QString::fromLatin1(begin, int(end - begin));

    // Decode the bytes the way the stream met them: with the byte that
    // follows (a comma or a line end), so that a sequence cut short by it
    // gives its replacement characters, and in calls split where the
    // stream's 16 KiB blocks end. At the end of the file what follows is
    // an unfinished sequence, which the decoder keeps to itself.
    const char *dataEnd = m_buffer.get() + m_size;
    const bool followed = end < dataEnd && static_cast<unsigned char>(*end) < 0x80;
    const char *stop = followed ? end + 1 : dataEnd;

    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    QString result;
    qint64 offset = m_bufferOffset + (begin - m_buffer.get());
    const char *p = begin;
    while (p < stop) {
        if (offset % StreamChunkSize == 0 && dropsByteOrderMarkAt(offset))
            state.flags &= ~QTextCodec::ConversionFlags(QTextCodec::IgnoreHeader);
        else
            state.flags |= QTextCodec::IgnoreHeader;
        const qint64 room = StreamChunkSize - offset % StreamChunkSize;
        const char *q = stop - p > room ? p + room : stop;
        result += utf8Codec()->toUnicode(p, int(q - p), &state);
        offset += q - p;
        p = q;
    }
    if (followed)
        result.chop(1);
    return result;
}

// Whether the stream, starting a block at the file offset boundary, drops a
// byte order mark there: one that begins at the boundary or is cut by it,
// while the decoder has not yet marked the start of the text as done.
bool TextLineReader::dropsByteOrderMarkAt(qint64 boundary) const
{
    const char *buffer = m_buffer.get();
    bool markThere = false;
    for (qint64 start = boundary - 2; start <= boundary; ++start) {
        const qint64 at = start - m_bufferOffset;
        if (at >= 0 && at + 3 <= m_size && isByteOrderMark(buffer + at))
            markThere = true;
    }
    return markThere && !hasCharacterBefore(boundary);
}

// Whether the stream's decoder has set its "header done" flag by the time it
// reaches the block that starts at offset. When it sets it depends on how the
// codec walks the bytes before, so the codec itself is asked: the file is
// decoded up to there in the stream's blocks. Only a byte order mark at a
// block boundary ever needs this.
bool TextLineReader::hasCharacterBefore(qint64 offset) const
{
    QFile file(m_file.fileName());
    if (!file.open(QIODevice::ReadOnly))
        return true;
    QTextCodec::ConverterState state;
    char block[StreamChunkSize];
    for (qint64 done = 0; done < offset;) {
        const qint64 count = file.read(block, StreamChunkSize);
        if (count <= 0)
            break;
        utf8Codec()->toUnicode(block, int(count), &state);
        done += count;
    }
    return state.flags & QTextCodec::IgnoreHeader;
}
