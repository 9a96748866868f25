// Times SessionRecord::read on a 10-hour ride at 1 Hz and a 24-hour ride at
// 10 Hz against the plain reference reader of the tests, and measures the
// peak memory of a process that reads the long ride.
//
//   bench_sessionread [--runs N] [--reference-runs N] [--dir DIRECTORY]
//   bench_sessionread --generate DIRECTORY   (only writes the two rides)
//
// Each peak memory figure comes from a fresh process (this program started
// again with --peak-rss), so that one measurement does not inherit the high
// water mark of another.

#include "ReferenceReader.h"
#include "RideGenerator.h"
#include "SessionRecord.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

struct Ride {
    QString label;
    int hours;
    int rateHz;
    QString path;
    qint64 bytes = 0;
    int samples = 0;
};

// The rides come from the sample-ride generator: realistic values in the
// device's own number formats, with photo references and single-turn files.
void writeRide(Ride &ride, const QString &directory)
{
    RidePlan ridePlan;
    ridePlan.durationSeconds = ride.hours * 3600.0;
    ridePlan.rateHz = ride.rateHz;
    ridePlan.turnFiles = 10;
    ridePlan.photos = 20;
    ride.path = RideGenerator(ridePlan).write(directory);
    if (ride.path.isEmpty())
        qFatal("cannot write a ride into %s", qPrintable(directory));
    ride.bytes = QFileInfo(ride.path).size();
    ride.samples = int(std::lround(ridePlan.durationSeconds * ridePlan.rateHz));
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double threadSeconds()
{
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + now.tv_nsec / 1e9;
}

struct Times {
    std::vector<double> wall; // seconds per read
    std::vector<double> cpu;  // seconds of this thread's processor time per read
};

// The machine may be shared: processor time next to wall time shows how
// much of a read was spent waiting for a processor.
template<typename Read>
Times timeReads(int runs, Read read)
{
    Times times;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        const double cpu = threadSeconds();
        timer.start();
        read();
        times.wall.push_back(timer.nsecsElapsed() / 1e9);
        times.cpu.push_back(threadSeconds() - cpu);
    }
    return times;
}

qint64 statusKilobytes(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// In a fresh process: the high-water mark of resident memory before and
// after one read, in kB, and the time of that first read.
int peakRssChild(const QString &reader, const QString &path)
{
    const qint64 before = statusKilobytes("VmHWM:");
    SessionRecord record;
    QElapsedTimer timer;
    timer.start();
    const bool ok = reader == QLatin1String("reference") ? ReferenceReader::readSession(record, path)
                                                          : record.read(path);
    const double seconds = timer.nsecsElapsed() / 1e9;
    const qint64 after = statusKilobytes("VmHWM:");
    std::printf("%lld %lld %.6f %d %d\n", before, after, seconds, int(ok), record.time.size());
    return 0;
}

struct Peak {
    double beforeMB = -1;
    double peakMB = -1;
    double seconds = -1; // the read, the first in its process
};

Peak measurePeak(const QString &reader, const QString &path)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--peak-rss"), reader, path});
    Peak peak;
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        return peak;
    const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split(' ');
    peak.beforeMB = fields.value(0).toDouble() * 1024 / 1e6;
    peak.peakMB = fields.value(1).toDouble() * 1024 / 1e6;
    peak.seconds = fields.value(2).toDouble();
    return peak;
}

const char *verdict(bool pass)
{
    return pass ? "PASS" : "FAIL";
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("--peak-rss"))
        return peakRssChild(args[2], args[3]);

    bool generateOnly = false;
    int runs = 7;
    int referenceRuns = 3;
    QString dir;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--runs"))
            runs = qMax(1, args[i + 1].toInt());
        else if (args[i] == QLatin1String("--reference-runs"))
            referenceRuns = qMax(1, args[i + 1].toInt());
        else if (args[i] == QLatin1String("--dir"))
            dir = args[i + 1];
        else if (args[i] == QLatin1String("--generate"))
            dir = args[i + 1], generateOnly = true;
    }
    QTemporaryDir temporary;
    if (dir.isEmpty())
        dir = temporary.path();
    QDir().mkpath(dir);

    std::vector<Ride> rides = {{QStringLiteral("10 h at 1 Hz"), 10, 1, QString()},
                               {QStringLiteral("24 h at 10 Hz"), 24, 10, QString()}};
    for (Ride &ride : rides)
        writeRide(ride, QDir(dir).filePath(QString::number(ride.hours)));
    if (generateOnly)
        return 0;

    std::printf("Session reader benchmark: median of %d reads (reference: %d), files in the page cache\n\n",
                runs, referenceRuns);
    std::printf("%-14s %8s %6s | %-18s %-14s | %-18s %-14s | %-12s | %s\n", "ride", "samples", "MB",
                "reader s wall/cpu", "MB/s wall/cpu", "reference s", "MB/s", "ratio", "same record");
    double longThroughput = 0, longCpuThroughput = 0, longRatio = 0, longCpuRatio = 0;
    for (const Ride &ride : rides) {
        SessionRecord record;
        bool ok = true;
        const Times production = timeReads(runs, [&] { ok = record.read(ride.path) && ok; });
        SessionRecord reference;
        bool referenceOk = true;
        const Times plain = timeReads(referenceRuns, [&] {
            referenceOk = ReferenceReader::readSession(reference, ride.path) && referenceOk;
        });
        const QString difference = ReferenceReader::difference(record, reference);
        const double mb = ride.bytes / 1e6;
        const double fast = median(production.wall), fastCpu = median(production.cpu);
        const double slow = median(plain.wall), slowCpu = median(plain.cpu);
        const bool same = ok && referenceOk && difference.isEmpty() && record.time.size() == ride.samples;
        std::printf("%-14s %8d %6.1f | %7.3f / %7.3f  %5.0f / %5.0f  | %7.2f / %7.2f  %5.1f / %5.1f  | %4.0f / %4.0f  | %s\n",
                    qPrintable(ride.label), record.time.size(), mb, fast, fastCpu, mb / fast,
                    mb / fastCpu, slow, slowCpu, mb / slow, mb / slowCpu, slow / fast,
                    slowCpu / fastCpu, same ? "yes" : qPrintable(QStringLiteral("NO: ") + difference));
        longThroughput = mb / fast;
        longCpuThroughput = mb / fastCpu;
        longRatio = slow / fast;
        longCpuRatio = slowCpu / fastCpu;
    }

    const Ride &longRide = rides.back();
    const double arraysMB = 15.0 * longRide.samples * sizeof(double) / 1e6;
    const Peak production = measurePeak(QStringLiteral("production"), longRide.path);
    const Peak reference = measurePeak(QStringLiteral("reference"), longRide.path);
    std::printf("\nPeak resident memory of a fresh process reading the 24 h ride (%.1f MB, "
                "fifteen arrays of %d values = %.1f MB):\n",
                longRide.bytes / 1e6, longRide.samples, arraysMB);
    std::printf("  reader:    %7.1f MB (%.1f MB before reading); this first read took %.3f s\n",
                production.peakMB, production.beforeMB, production.seconds);
    std::printf("  reference: %7.1f MB (%.1f MB before reading)\n", reference.peakMB, reference.beforeMB);

    // A line of 100 MB without a line break.
    const QString longLine = QDir(dir).filePath(QStringLiteral("long-line.csv"));
    {
        QFile file(longLine);
        file.open(QIODevice::WriteOnly);
        const QByteArray block(1 << 20, 'x');
        for (int i = 0; i < 100; ++i)
            file.write(block);
    }
    const Peak lineProduction = measurePeak(QStringLiteral("production"), longLine);
    const Peak lineReference = measurePeak(QStringLiteral("reference"), longLine);
    std::printf("\nPeak resident memory of a fresh process reading one 100 MiB line without a line break:\n");
    std::printf("  reader:    %7.1f MB (%.1f MB before reading)\n", lineProduction.peakMB, lineProduction.beforeMB);
    std::printf("  reference: %7.1f MB (%.1f MB before reading)\n", lineReference.peakMB, lineReference.beforeMB);

    std::printf("\nTargets on the 24 h ride:\n");
    std::printf("  throughput >= 200 MB/s:        %7.0f MB/s  %s  (processor time: %.0f MB/s)\n",
                longThroughput, verdict(longThroughput >= 200), longCpuThroughput);
    std::printf("  >= 20 times the reference:     %7.1f x     %s  (processor time: %.1f x)\n",
                longRatio, verdict(longRatio >= 20), longCpuRatio);
    std::printf("  peak resident memory <= 200 MB: %6.1f MB    %s\n", production.peakMB,
                verdict(production.peakMB > 0 && production.peakMB <= 200));
    return 0;
}
