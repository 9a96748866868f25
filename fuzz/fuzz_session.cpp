// Fuzzes SessionRecord::read. The input is a session file followed by up to
// eight single-turn files, each after "\n~~~turn~~~\n"; they are written
// to a directory of their own and read with the real reader and with the
// reference reader, whose records must agree bit for bit.

#include "ReferenceReader.h"
#include "SampleLineReader.h"
#include "SessionRecord.h"
#include "TextLineReader.h"

#include <QByteArrayList>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>

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

    // The samples once more, in runs of a few bytes, each shared between two
    // threads, counted first with a later half of its own: they must come
    // out as the session reader read them.
    QFile file(sessionPath);
    if (file.open(QIODevice::ReadOnly)) {
        TextLineReader reader(file, 7);
        const qint64 counted = reader.countRecords(4, SampleLineReader::MinimumFields - 1);
        for (int line = 0; line < 4; ++line)
            reader.readLine();
        std::array<QVector<double>, SampleLineReader::ColumnCount> arrays;
        std::array<QVector<double> *, SampleLineReader::ColumnCount> targets;
        for (size_t i = 0; i < arrays.size(); ++i)
            targets[i] = &arrays[i];
        SampleLineReader::Columns columns(targets, counted);
        QMap<int, QString> photos;
        SampleLineReader::read(reader, columns, photos, 1);
        columns.finish();
        const QVector<double> *read[] = {&record.powerLeft, &record.powerRight, &record.powerTot,
                                         &record.offsetLeft, &record.offsetRight,
                                         &record.upDownLeft, &record.upDownRight, &record.height,
                                         &record.speed, &record.heartRate, &record.cadence,
                                         &record.time, &record.space, &record.longitude,
                                         &record.latitude};
        bool same = counted == record.time.size() && photos == record.photos;
        for (size_t i = 0; same && i < arrays.size(); ++i) {
            same = arrays[i].size() == read[i]->size()
                && std::memcmp(arrays[i].constData(), read[i]->constData(),
                               size_t(arrays[i].size()) * sizeof(double)) == 0;
        }
        if (!same) {
            std::fprintf(stderr, "Shared runs read the samples otherwise: %lld counted, %d read\n",
                         counted, int(record.time.size()));
            std::abort();
        }
    }

    for (int i = 1; i < files.size(); ++i)
        QFile::remove(directory.filePath(QLatin1String(turnFileNames[i - 1])));
    return 0;
}
