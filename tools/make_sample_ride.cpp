// make_sample_ride: writes a synthetic ride (session file plus single-turn
// files) into a directory, for trying the viewer out and for benchmarks.
//
//   make_sample_ride [--hours H] [--rate HZ] [--turns N] [--photos N] [--seed S]
//                    [--centre LON,LAT] [--decimals N] [--pauses N] [--nofix N] OUTDIR
//
// The defaults give the sample ride shipped in examples/: one hour at one
// sample per second, ten single-turn files and five photo references, near
// 46.07 N, 11.12 E, without pauses and always with a GPS fix.

#include "RideGenerator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

namespace {

int usage()
{
    std::fprintf(stderr,
                 "usage: make_sample_ride [--hours H] [--rate HZ] [--turns N] [--photos N] [--seed S]\n"
                 "                        [--centre LON,LAT] [--decimals N] [--pauses N] [--nofix N] OUTDIR\n"
                 "  --hours H         hours of riding, pauses not counted, at most 1000 (default 1)\n"
                 "  --rate HZ         samples per second (default 1)\n"
                 "  --turns N         single-turn files to write (default 10)\n"
                 "  --photos N        samples carrying a photo reference (default 5)\n"
                 "  --seed S          random seed; the same seed writes the same files (default 1)\n"
                 "  --centre LON,LAT  middle of the loop in degrees, east and north positive\n"
                 "                    (default 11.12,46.07)\n"
                 "  --decimals N      decimals of longitude and latitude, 0 to 7 (default 6)\n"
                 "  --pauses N        auto-pauses of 2 to 45 minutes (default 0)\n"
                 "  --nofix N         stretches recorded without a GPS fix (default 0)\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();

    RidePlan ridePlan;
    QString outDir;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help"))
            return usage();
        if (arg.startsWith(QLatin1String("--"))) {
            if (i + 1 >= args.size())
                return usage();
            const QString value = args.at(++i);
            bool ok = false;
            if (arg == QLatin1String("--hours")) {
                const double hours = value.toDouble(&ok);
                ok = ok && hours >= 0.0 && hours <= 1000.0;
                ridePlan.durationSeconds = hours * 3600.0;
            } else if (arg == QLatin1String("--rate")) {
                ridePlan.rateHz = value.toDouble(&ok);
                ok = ok && ridePlan.rateHz > 0.0;
            } else if (arg == QLatin1String("--turns")) {
                ridePlan.turnFiles = value.toInt(&ok);
                ok = ok && ridePlan.turnFiles >= 0;
            } else if (arg == QLatin1String("--photos")) {
                ridePlan.photos = value.toInt(&ok);
                ok = ok && ridePlan.photos >= 0;
            } else if (arg == QLatin1String("--seed")) {
                ridePlan.seed = value.toUInt(&ok);
            } else if (arg == QLatin1String("--centre")) {
                const QStringList parts = value.split(QLatin1Char(','));
                bool latitudeOk = false;
                if (parts.size() == 2) {
                    ridePlan.centreLongitude = parts[0].toDouble(&ok);
                    ridePlan.centreLatitude = parts[1].toDouble(&latitudeOk);
                }
                ok = ok && latitudeOk && qAbs(ridePlan.centreLongitude) <= 179.0
                     && qAbs(ridePlan.centreLatitude) <= 80.0;
            } else if (arg == QLatin1String("--decimals")) {
                ridePlan.coordinateDecimals = value.toInt(&ok);
                ok = ok && ridePlan.coordinateDecimals >= 0 && ridePlan.coordinateDecimals <= 7;
            } else if (arg == QLatin1String("--pauses")) {
                ridePlan.pauses = value.toInt(&ok);
                ok = ok && ridePlan.pauses >= 0;
            } else if (arg == QLatin1String("--nofix")) {
                ridePlan.runsWithoutFix = value.toInt(&ok);
                ok = ok && ridePlan.runsWithoutFix >= 0;
            }
            if (!ok) {
                std::fprintf(stderr, "make_sample_ride: bad value '%s' for %s\n",
                             qPrintable(value), qPrintable(arg));
                return usage();
            }
        } else if (outDir.isEmpty()) {
            outDir = arg;
        } else {
            return usage();
        }
    }
    if (outDir.isEmpty())
        return usage();

    QElapsedTimer timer;
    timer.start();
    const QString path = RideGenerator(ridePlan).write(outDir);
    if (path.isEmpty()) {
        std::fprintf(stderr, "make_sample_ride: cannot write the ride into %s\n", qPrintable(outDir));
        return 1;
    }
    std::printf("%s (%lld bytes) written in %lld ms\n", qPrintable(QFileInfo(path).absoluteFilePath()),
                static_cast<long long>(QFileInfo(path).size()), static_cast<long long>(timer.elapsed()));
    return 0;
}
