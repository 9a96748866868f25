// Fuzzes TurnRecord::read and the parts below the readers. The input is
// written to a file and
// - read as a single-turn file with the real and the reference reader,
//   whose records must agree bit for bit;
// - split into lines by TextLineReader and by QTextStream, which must agree;
// - cut into fields, each converted by FieldConverter and by
//   QString::toDouble and QTime::fromString, which must agree.

#include "FieldConverter.h"
#include "ReferenceReader.h"
#include "TextLineReader.h"
#include "TurnRecord.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

[[noreturn]] void fail(const char *what, const QString &detail)
{
    std::fprintf(stderr, "%s: %s\n", what, qPrintable(detail));
    std::abort();
}

bool sameDouble(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

void checkLinesAndFields(const QString &path)
{
    QFile streamFile(path);
    if (!streamFile.open(QIODevice::ReadOnly))
        std::abort();
    QTextStream stream(&streamFile);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    TextLineReader reader(file);

    // QTime::fromString is slow: lines of thousands of commas would stall
    // the fuzzer, so only so many fields are converted per input.
    int fieldsLeft = 512;
    int line = 0;
    for (;; ++line) {
        const bool more = reader.readLine();
        if (more == stream.atEnd())
            fail("TextLineReader and QTextStream end at different lines", QString::number(line));
        if (!more)
            break;
        const QString expected = stream.readLine();
        if (reader.lineText() != expected)
            fail("TextLineReader and QTextStream read different lines", QString::number(line));
        if (reader.isDecoded())
            continue;
        const char *p = reader.lineBegin();
        const QStringList fields = expected.split(QLatin1Char(','));
        for (const QString &field : fields) {
            if (--fieldsLeft < 0)
                break;
            double number = 0;
            double seconds = 0;
            const char *end = FieldConverter::number(p, reader.lineEnd(), number, reader);
            if (FieldConverter::seconds(p, reader.lineEnd(), seconds, reader) != end)
                fail("fields end at different places", field);
            if (reader.text(p, end) != field)
                fail("a field decodes differently", field);
            if (!sameDouble(number, field.toDouble()))
                fail("a number converts differently", field);
            if (seconds != FieldConverter::timeSeconds(field))
                fail("a time converts differently", field);
            p = end + (end != reader.lineEnd());
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir directory;
    static const QString path = directory.filePath(QStringLiteral("T_100407.10-31-02.csv"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        std::abort();
    file.close();

    TurnRecord record;
    const bool result = record.read(path);
    TurnRecord reference;
    const bool referenceResult = ReferenceReader::readTurn(reference, path);
    const QString difference = ReferenceReader::difference(record, reference);
    if (result != referenceResult || !difference.isEmpty()) {
        fail("The single-turn reader differs from the reference reader",
             QStringLiteral("result %1, expected %2; %3").arg(result).arg(referenceResult).arg(difference));
    }

    checkLinesAndFields(path);
    return 0;
}
