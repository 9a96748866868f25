#ifndef VOK_TEXTLINEREADER_H
#define VOK_TEXTLINEREADER_H

#include <QString>
#include <QtGlobal>

#include <cstdlib>
#include <memory>

class QFile;
class QTextStream;

// Reads a text file line by line and sees exactly the lines that
// QTextStream::readLine returns with the default codec, without decoding
// them: a UTF-8 file (the usual case) is handed out as raw bytes, read in
// chunks, so a long ride is never held twice and ASCII needs no conversion.
//
// What QTextStream does, and so what this class does:
// - a line ends at "\n"; one "\r" before it is dropped, and one "\r" at the
//   very end of the file; a "\r" anywhere else stays in the line;
// - a UTF-8 byte order mark at the start of the file is skipped;
// - an unfinished UTF-8 sequence at the very end of the file is dropped;
// - bytes are decoded 16 KiB at a time, which shows in two corners: an
//   invalid sequence cut by such a boundary gives one replacement character
//   where an uncut one gives one per byte, and a byte order mark right at a
//   boundary is dropped while no other non-ASCII character came before it;
// - a file that starts with a UTF-16 or UTF-32 byte order mark, or a locale
//   whose codec is not UTF-8, is decoded by a QTextStream itself; the lines
//   are then only available as text (isDecoded()).
// Text taken from a raw line must go through text(), which decodes it as the
// stream would have at that place in the file.
class TextLineReader
{
public:
    // The file must be open for reading and positioned at its start.
    explicit TextLineReader(QFile &file);
    ~TextLineReader();
    TextLineReader(const TextLineReader &) = delete;
    TextLineReader &operator=(const TextLineReader &) = delete;

    // Number of lines after the first skipLines that have between minCommas
    // and maxCommas commas, up to the first "#####" line (or, with
    // stopAtOther, up to the first line whose comma count is out of range).
    // Meant for sizing arrays before reading: it never undercounts the lines
    // that a reader of that shape accepts. Returns -1 in decoded mode, where
    // nothing is counted. Must be called before the first readLine().
    qint64 countRecords(int skipLines, int minCommas, int maxCommas, bool stopAtOther);

    // Moves to the next line; false when there is none left.
    bool readLine();

    bool isDecoded() const { return m_stream != nullptr; }

    // The current line without its line end, raw bytes (not in decoded mode).
    const char *lineBegin() const { return m_lineBegin; }
    const char *lineEnd() const { return m_lineEnd; }
    qint64 lineSize() const { return m_lineEnd - m_lineBegin; }
    bool lineIsAscii() const;

    // The current line in decoded mode.
    const QString &decodedLine() const { return m_decodedLine; }
    // The current line as text, in either mode.
    QString lineText() const;
    // The same, or a null string when the raw line is longer than maxBytes:
    // for patterns that a line that long cannot match.
    QString lineText(qint64 maxBytes) const;
    // Whether the current line reads as the given ASCII text.
    bool lineEquals(QLatin1String ascii) const;
    // The text of a piece of the current raw line that ends at a field
    // boundary (a comma) or at the end of the line.
    QString text(const char *begin, const char *end) const;

    // The size of the pieces in which QTextStream reads and decodes a file.
    static constexpr qint64 StreamChunkSize = 16384;

private:
    struct FreeDeleter {
        void operator()(char *p) const { std::free(p); }
    };

    bool fill();
    void grow();
    void startDecoding();
    bool dropsByteOrderMarkAt(qint64 boundary) const;
    bool hasCharacterBefore(qint64 offset) const;

    QFile &m_file;
    std::unique_ptr<char, FreeDeleter> m_buffer;
    qint64 m_capacity = 0;
    qint64 m_size = 0;         // bytes in the buffer
    qint64 m_pos = 0;          // start of the unread part
    qint64 m_scan = 0;         // where the search for the next line end resumes
    qint64 m_bufferOffset = 0; // file offset of the first byte in the buffer
    bool m_eof = false;        // the file has no more bytes to give
    bool m_started = false;    // readLine() has been called
    bool m_atEnd = false;      // the last line has been handed out
    qint64 m_lastNewline = -1; // file offset of the last line end met
    const char *m_lineBegin = nullptr;
    const char *m_lineEnd = nullptr;
    std::unique_ptr<QTextStream> m_stream;
    QString m_decodedLine;
};

#endif
