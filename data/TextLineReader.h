#ifndef VOK_TEXTLINEREADER_H
#define VOK_TEXTLINEREADER_H

#include <QBuffer>
#include <QString>

#include <cstdlib>
#include <cstring>
#include <memory>

// Reads the lines of a ride file:
// - a line ends at "\n" or at the end of the file, and one "\r" at its end
//   is not part of it;
// - the file is UTF-8, and a byte order mark at its start is skipped;
// - a file that starts with a UTF-16 or UTF-32 byte order mark is decoded as
//   a whole and then read as the same text in UTF-8.
// The file is read in chunks and a line is handed out as raw bytes in the
// buffer, so a sample line costs no allocation and a long ride is never held
// whole. Text that the program keeps is decoded with text().
class TextLineReader
{
public:
    static constexpr qint64 DefaultChunkSize = qint64(1) << 20;

    // The device must be open for reading and positioned at its start.
    // chunkSize: how much is read at a time, at most (tests use small ones).
    explicit TextLineReader(QIODevice &device, qint64 chunkSize = DefaultChunkSize);
    ~TextLineReader();
    TextLineReader(const TextLineReader &) = delete;
    TextLineReader &operator=(const TextLineReader &) = delete;

    // Number of lines after the first skipLines that have at least minCommas
    // commas, up to the first "#####" line: for sizing arrays before
    // reading. Must be called before the first readLine(). A file of more
    // than two chunks is scanned in two halves at once, the later one
    // through a handle of its own.
    qint64 countRecords(int skipLines, int minCommas);

    // Moves to the next line; false when there is none left.
    bool readLine();
    // Moves past all the whole lines the buffer holds, at least one; false
    // when there is none left. Then lineBegin() and lineEnd() span them,
    // their line ends included, until the next read; nextLine() takes them
    // apart. For reading many lines at once, or on several threads.
    bool readLines();
    // The line that starts at begin, within lines handed out by readLines():
    // sets lineEnd to its end without its line end, and returns where the
    // next line starts (end after the last).
    static const char *nextLine(const char *begin, const char *end, const char *&lineEnd)
    {
        const void *newline = std::memchr(begin, '\n', size_t(end - begin));
        const char *next = newline ? static_cast<const char *>(newline) + 1 : end;
        lineEnd = newline ? next - 1 : end;
        if (lineEnd != begin && lineEnd[-1] == '\r')
            --lineEnd;
        return next;
    }

    // The current line without its line end.
    const char *lineBegin() const { return m_lineBegin; }
    const char *lineEnd() const { return m_lineEnd; }
    qint64 lineSize() const { return m_lineEnd - m_lineBegin; }
    QString lineText() const { return text(m_lineBegin, m_lineEnd); }
    bool lineEquals(QLatin1String ascii) const;

    // UTF-8 bytes as QString::fromUtf8 decodes them, each invalid byte
    // replaced, except that a byte order mark at their start is kept as the
    // character it is: these bytes never start the file. Decoding a line
    // piece by piece, split at commas, gives the text of the whole line.
    static QString text(const char *begin, const char *end);

private:
    struct FreeDeleter {
        void operator()(char *p) const { std::free(p); }
    };

    bool fill();
    // Moves past the unread bytes up to the next line end, or the last the
    // buffer holds, line end included; at the end of the file, up to it.
    bool advance(bool toLastLineEnd);
    // Where the later half of a file's bytes from..end starts, to be scanned
    // apart: at the first line that starts past their middle; end where they
    // are not worth sharing, or not in a file.
    qint64 laterHalf(qint64 from, qint64 end);

    QIODevice *m_device;
    QBuffer m_transcoded; // the UTF-8 text of a UTF-16 or UTF-32 file
    std::unique_ptr<char, FreeDeleter> m_buffer;
    qint64 m_chunkSize;
    qint64 m_capacity = 0;
    qint64 m_size = 0;   // bytes in the buffer
    qint64 m_pos = 0;    // start of the unread part
    qint64 m_scan = 0;   // where the search for the next line end resumes
    bool m_eof = false;  // the device has no more bytes to give
    const char *m_lineBegin = nullptr;
    const char *m_lineEnd = nullptr;
};

#endif
