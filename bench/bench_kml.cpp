// KML export of a long ride: how long building and writing the document
// takes for a 24-hour ride sampled at 10 Hz (864000 track points), and how
// big the file gets. Prints its own figures.
#include "KmlWriter.h"
#include "SessionRecord.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <cmath>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int samples = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 864000;

    SessionRecord session;
    session.fileName = QStringLiteral("S_100407_10-30.csv");
    session.startDateTime = QDateTime(QDate(10, 4, 7), QTime(10, 30, 15));
    for (int i = 0; i < samples; ++i) {
        // A loop of some 28 km around 46.07 N, 11.12 E, climbing and descending.
        const double angle = 2 * M_PI * (i % 36000) / 36000.0;
        session.time.append(i / 10.0);
        session.space.append(i * 0.0008);
        session.longitude.append(11.12 + 0.06 * std::cos(angle));
        session.latitude.append(46.07 + 0.04 * std::sin(angle));
        session.height.append(19.4 + 8.0 * std::sin(3 * angle));
        if (i % 36000 == 18000)
            session.photos.insert(i, QStringLiteral("IMG_%1.jpg").arg(i / 36000 + 1, 4, 10, QLatin1Char('0')));
    }
    session.setXChannel(SessionRecord::TimeChannel);

    QTextStream out(stdout);
    QElapsedTimer timer;
    timer.start();
    const QString document = kmlDocument(session);
    const qint64 buildMs = timer.elapsed();

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ride.kml"));
    timer.restart();
    const bool written = writeKml(session, path);
    const qint64 writeMs = timer.elapsed();

    out << "samples: " << samples << ", photos: " << session.photos.size() << "\n"
        << "kmlDocument: " << buildMs << " ms, " << document.size() << " characters\n"
        << "writeKml (build, encode, write, rename): " << writeMs << " ms, "
        << QFileInfo(path).size() / 1024 << " KiB" << (written ? "" : " FAILED") << "\n";
    return written ? 0 : 1;
}
