#include "ProcessorCores.h"
#include "SampleLineReader.h"
#include "TextLineReader.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QtTest>

#include <limits>

#ifdef Q_OS_LINUX
#include <sched.h>
#endif

namespace {

// Sample lines of every kind a file may hold, in a random order, and what a
// read of them must come to. The lines at bad hold no sample.
struct Lines {
    QByteArray text;
    int samples = 0; // before the separator line
    int photos = 0;
    bool allSamples = true;
};

Lines makeLines(quint32 seed, int count, int separatorAt, const QVector<int> &bad = {},
                bool lastLineEnd = true)
{
    QRandomGenerator random(seed);
    Lines lines;
    for (int i = 0; i < count; ++i) {
        const bool counted = separatorAt < 0 || i < separatorAt;
        if (i == separatorAt) {
            lines.text += random.bounded(2) ? "#####\n" : "#####\r\n";
            continue;
        }
        QByteArray line = QByteArray::number(i) + ",0:" + QByteArray::number(i % 60) + ":07";
        for (int field = 2; field < 19; ++field)
            line += ',' + QByteArray::number(random.bounded(100000) / 100.0);
        const int kind = bad.contains(i) ? 0 : int(random.bounded(1, 10));
        if (kind == 0) { // too few fields: no sample
            line.truncate(line.lastIndexOf(','));
            lines.allSamples = lines.allSamples && !counted;
        } else if (kind <= 2) { // a photo reference, sometimes long and not ASCII
            line += ",IMG_" + QByteArray::number(i) + (kind == 1 ? "" : QByteArray(300, 'x'))
                + "\xc3\xa4.jpg,ignored";
            lines.photos += counted;
        }
        lines.samples += counted && kind != 0;
        lines.text += line + (kind == 3 ? "\r\n" : "\n");
    }
    if (!lastLineEnd)
        lines.text.chop(1);
    lines.allSamples = lines.allSamples && separatorAt >= 0 && separatorAt < count;
    return lines;
}

// What a read of the lines put into the arrays.
struct Read {
    bool result = false;
    std::array<QVector<double>, SampleLineReader::ColumnCount> arrays;
    QMap<int, QString> photos;

    // The arrays' bytes, so that equal values compare equal whatever they are.
    QByteArray bytes() const
    {
        QByteArray all;
        for (const QVector<double> &array : arrays)
            all += QByteArray(reinterpret_cast<const char *>(array.constData()),
                              int(array.size() * sizeof(double)));
        return all;
    }
};

Read readLines(QByteArray text, qint64 chunk, qint64 shareFrom)
{
    QBuffer device(&text);
    device.open(QIODevice::ReadOnly);
    TextLineReader reader(device, chunk);
    Read read;
    std::array<QVector<double> *, SampleLineReader::ColumnCount> targets;
    for (int i = 0; i < SampleLineReader::ColumnCount; ++i)
        targets[size_t(i)] = &read.arrays[size_t(i)];
    SampleLineReader::Columns columns(targets, -1);
    read.result = SampleLineReader::read(reader, columns, read.photos, shareFrom);
    columns.finish();
    return read;
}

} // namespace

Q_DECLARE_METATYPE(Lines)

// Reading the sample lines of a ride, half of each run on another thread:
// the arrays must come out as one thread reads them, wherever the runs and
// their halves begin and end.
class TestSampleLineReader : public QObject
{
    Q_OBJECT

private slots:
    void sharedAsOneThreadReads_data();
    void sharedAsOneThreadReads();
    void oneCoreAllowed();
};

void TestSampleLineReader::sharedAsOneThreadReads_data()
{
    QTest::addColumn<Lines>("lines");
    QVector<int> everyTenth;
    for (int i = 5; i < 2000; i += 10)
        everyTenth << i;
    for (const int at : {0, 1, 2, 3, 17, 250, 999, 1000, 1001, 1998})
        QTest::addRow("separator line at %d of 2000", at)
            << makeLines(quint32(at), 2000, at, everyTenth);
    // A line without a sample must tell wherever it lies.
    for (const int at : {0, 1, 2, 3, 30, 31, 32, 33, 500, 1000, 1001, 1500, 1997})
        QTest::addRow("only line %d of 2000 without a sample", at)
            << makeLines(quint32(at), 2000, 1998, {at});
    QTest::newRow("no separator line") << makeLines(7, 2000, -1);
    QTest::newRow("no separator line, the last without its line end")
        << makeLines(8, 2000, -1, everyTenth, false);
    QTest::newRow("separator line last, without its line end")
        << makeLines(9, 2000, 1999, {}, false);
}

void TestSampleLineReader::sharedAsOneThreadReads()
{
    QFETCH(Lines, lines);
    if (ProcessorCores::usable() < 2)
        QSKIP("one core: every run is read on one thread");

    const Read alone = readLines(lines.text, TextLineReader::DefaultChunkSize,
                                 std::numeric_limits<qint64>::max());
    QCOMPARE(alone.result, lines.allSamples);
    QCOMPARE(alone.arrays[SampleLineReader::TimeColumn].size(), lines.samples);
    QCOMPARE(alone.photos.size(), lines.photos);
    // Runs of one line to runs of the whole text; halves from one line on.
    for (const qint64 chunk : {qint64(64), qint64(1000), qint64(4096), qint64(1) << 20}) {
        for (const qint64 shareFrom : {qint64(1), qint64(2000)}) {
            const Read shared = readLines(lines.text, chunk, shareFrom);
            QCOMPARE(shared.result, alone.result);
            QCOMPARE(shared.bytes(), alone.bytes());
            QCOMPARE(shared.photos, alone.photos);
        }
    }
}

// Where the program may run on one core only, nothing is shared: the
// threads would only take turns.
void TestSampleLineReader::oneCoreAllowed()
{
#ifdef Q_OS_LINUX
    cpu_set_t all, one;
    QCOMPARE(::sched_getaffinity(0, sizeof all, &all), 0);
    QCOMPARE(ProcessorCores::usable(), CPU_COUNT(&all));
    CPU_ZERO(&one);
    CPU_SET(::sched_getcpu(), &one);
    QCOMPARE(::sched_setaffinity(0, sizeof one, &one), 0);
    const int usable = ProcessorCores::usable();
    QCOMPARE(::sched_setaffinity(0, sizeof all, &all), 0);
    QCOMPARE(usable, 1);
#else
    QSKIP("the affinity is read on Linux only");
#endif
}

QTEST_GUILESS_MAIN(TestSampleLineReader)
#include "tst_samplelinereader.moc"
