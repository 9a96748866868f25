// Fuzzes TurnRecord::read and the parts below the readers. The input is
// - written to a file and read as a single-turn file with the real and the
//   reference reader, whose records must agree bit for bit;
// - split into lines by TextLineReader, in pieces of a size the input picks,
//   and by the reference reader, which must agree, also on the count of
//   records taken before reading;
// - cut into fields, each converted by FieldConverter and by
//   QString::toDouble and QTime::fromString, which must agree.

#include "FieldConverter.h"
#include "ReferenceReader.h"
#include "TextLineReader.h"
#include "TurnRecord.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

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

void checkLinesAndFields(QByteArray bytes)
{
    const QStringList expected = ReferenceReader::lines(bytes);
    qint64 records = 0;
    for (const QString &line : expected) {
        if (line == QLatin1String("#####"))
            break;
        records += line.contains(QLatin1Char(','));
    }

    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    TextLineReader reader(device, bytes.isEmpty() ? 1 : 1 + uchar(bytes.back()) % 64);
    if (reader.countRecords(0, 1) != records)
        fail("TextLineReader counts other records", QString::number(records));
    // QTime::fromString is slow: lines of thousands of commas would stall
    // the fuzzer, so only so many fields are converted per input, and fewer
    // of them as times.
    int fieldsLeft = 256;
    int timesLeft = 16;
    for (int line = 0;; ++line) {
        if (!reader.readLine()) {
            if (line != expected.size())
                fail("TextLineReader ends at another line", QString::number(line));
            return;
        }
        if (line == expected.size() || reader.lineText() != expected[line])
            fail("TextLineReader reads another line", QString::number(line));
        const char *p = reader.lineBegin();
        for (const QString &field : expected[line].split(QLatin1Char(','))) {
            if (--fieldsLeft < 0)
                break;
            double number = 0;
            const char *end = FieldConverter::number(p, reader.lineEnd(), number);
            if (end != std::find(p, reader.lineEnd(), ','))
                fail("a number field ends elsewhere", field);
            if (TextLineReader::text(p, end) != field)
                fail("a field decodes differently", field);
            if (!sameDouble(number, field.toDouble()))
                fail("a number converts differently", field);
            double seconds = 0;
            if (--timesLeft >= 0 && (FieldConverter::seconds(p, reader.lineEnd(), seconds) != end
                                     || seconds != FieldConverter::timeSeconds(field)))
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
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
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

    checkLinesAndFields(bytes);
    return 0;
}
