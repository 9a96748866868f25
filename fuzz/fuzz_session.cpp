// Fuzzes SessionRecord::read. The input is a session file followed by up to
// eight single-turn files, each after "\n~~~turn~~~\n"; they are written
// to a directory of their own and read with the real reader and with the
// reference reader, whose records must agree bit for bit.

#include "ReferenceReader.h"
#include "SessionRecord.h"

#include <QByteArrayList>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

const char *const turnFileNames[] = {
    "T_100407.10-31-02.csv", "T_100407.10-31-15.csv", "t_extra.CSV", "T_090101.08-00-00.csv",
    "T_a.csv", "T_100407.10-31-02.CSV", "T_Z.csv", "T_100407_10-31-03.csv"};
constexpr int turnFileCount = int(sizeof turnFileNames / sizeof *turnFileNames);

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir directory;
    static const QString sessionPath = directory.filePath(QStringLiteral("S_100407_10-30.csv"));

    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    static const QByteArray separator("\n~~~turn~~~\n");
    QByteArrayList files;
    int from = 0;
    for (;;) {
        const int at = files.size() < turnFileCount ? input.indexOf(separator, from) : -1;
        files.append(input.mid(from, at < 0 ? -1 : at - from));
        if (at < 0)
            break;
        from = at + separator.size();
    }
    writeFile(sessionPath, files[0]);
    for (int i = 1; i < files.size(); ++i)
        writeFile(directory.filePath(QLatin1String(turnFileNames[i - 1])), files[i]);

    SessionRecord record;
    const bool result = record.read(sessionPath);
    SessionRecord reference;
    const bool referenceResult = ReferenceReader::readSession(reference, sessionPath);
    const QString difference = ReferenceReader::difference(record, reference);
    if (result != referenceResult || !difference.isEmpty()) {
        std::fprintf(stderr, "The session reader differs from the reference reader: result %d, expected %d; %s\n",
                     int(result), int(referenceResult), qPrintable(difference));
        std::abort();
    }

    for (int i = 1; i < files.size(); ++i)
        QFile::remove(directory.filePath(QLatin1String(turnFileNames[i - 1])));
    return 0;
}
