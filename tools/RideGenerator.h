#ifndef VOK_RIDEGENERATOR_H
#define VOK_RIDEGENERATOR_H

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QtGlobal>

// What kind of ride RideGenerator writes.
struct RidePlan {
    double durationSeconds = 3600.0;  // recorded time, pauses not counted
    double rateHz = 1.0;              // samples per second
    int turnFiles = 10;               // single-turn files written beside the session
    int photos = 5;                   // samples carrying a photo reference
    quint32 seed = 1;                 // same seed, same files
    QDateTime start = QDateTime(QDate(2010, 4, 7), QTime(10, 30, 15));
    double startKm = 1523.4;
    double centreLongitude = 11.12;   // middle of the loop, degrees east
    double centreLatitude = 46.07;    // degrees north
    int coordinateDecimals = 6;       // of longitude and latitude, 0 to 7
    int pauses = 0;                   // auto-pauses: the clock jumps, no samples
    int runsWithoutFix = 0;           // stretches of samples at longitude 0, latitude 0
};

// Writes a synthetic but realistic ride in the power meter's file formats: a
// session file and the single-turn files that lie beside it.
//
// The rider laps a closed road loop of about 28 km around the plan's centre
// (by default 46.07 N, 11.12 E) with two climbs. Speed follows from the
// rider's power, the gradient, rolling resistance and air drag; the distance
// column is the integral of the speed. Total power splits roughly 50/50 into
// left and right; cadence stays within 60-100 rpm and heart rate within
// 100-180 bpm, following the effort.
//
// Layout of what write() produces:
// - The session file holds round(durationSeconds * rateHz) samples; sample i
//   lies at i / rateHz seconds of riding, plus the pauses before it, and its
//   time field is that moment truncated to whole seconds, written as h:mm:ss
//   with as many hour digits as it takes.
// - Pause k (k = 0 .. pauses-1) comes before sample
//   floor((k + 1) * samples / (pauses + 1)): the clock jumps by 2 to 45 whole
//   minutes (at least 20 sample intervals), the rider stands still and the
//   heart rate settles. Distance goes on where it stopped.
// - Run j of the runs without a GPS fix starts at sample
//   floor((j + 0.3) * samples / runsWithoutFix) and writes longitude 0 and
//   latitude 0 for 30 to 240 seconds' worth of samples.
// - Photo references IMG_0001.jpg, IMG_0002.jpg, ... sit on `photos` samples
//   spread evenly over the ride (at most one per sample).
// - Single-turn file k (k = 0 .. turnFiles-1) is recorded at the whole second
//   floor((k + 0.5) * durationSeconds / turnFiles) of riding after the start,
//   plus the pauses before it, named T_yymmdd.hh-mm-ss.csv after that moment,
//   with 36 lines for the crank angles 0, 10, ..., 350 degrees. There are
//   never more single-turn files than whole seconds in the ride, so no two
//   share a name.
//
// Everything is derived from std::mt19937 engines seeded with `seed` and
// written with locale-independent number formatting: equal plans give equal
// bytes. Pauses and runs without a fix draw from an engine of their own, so a
// plan without them writes what it always wrote.
class RideGenerator {
public:
    explicit RideGenerator(const RidePlan &ridePlan = RidePlan());

    // Writes the session file and its single-turn files into directory (which
    // is created if needed); returns the session file's path, empty on failure.
    QString write(const QString &directory) const;

    // "S_yymmdd_hh-mm.csv" from ridePlan.start.
    QString sessionFileName() const;

private:
    RidePlan m_plan;
};

#endif // VOK_RIDEGENERATOR_H
