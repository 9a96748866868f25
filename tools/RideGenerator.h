#ifndef VOK_RIDEGENERATOR_H
#define VOK_RIDEGENERATOR_H

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QtGlobal>

// What kind of ride RideGenerator writes.
struct RidePlan {
    double durationSeconds = 3600.0;  // length of the ride
    double rateHz = 1.0;              // samples per second
    int turnFiles = 10;               // single-turn files written beside the session
    int photos = 5;                   // samples carrying a photo reference
    quint32 seed = 1;                 // same seed, same files
    QDateTime start = QDateTime(QDate(2010, 4, 7), QTime(10, 30, 15));
    double startKm = 1523.4;
};

// Writes a synthetic but realistic ride in the power meter's file formats: a
// session file and the single-turn files that lie beside it.
//
// The rider laps a closed road loop of about 28 km around 46.07 N, 11.12 E
// with two climbs. Speed follows from the rider's power, the gradient, rolling
// resistance and air drag; the distance column is the integral of the speed.
// Total power splits roughly 50/50 into left and right; cadence stays within
// 60-100 rpm and heart rate within 100-180 bpm, following the effort.
//
// Layout of what write() produces:
// - The session file holds round(durationSeconds * rateHz) samples; sample i
//   lies at i / rateHz seconds and its time field is that moment truncated to
//   whole seconds. Elapsed time is written as h:mm:ss, so rides are limited to
//   24 hours: a longer duration is cut to 86400 s.
// - Photo references IMG_0001.jpg, IMG_0002.jpg, ... sit on `photos` samples
//   spread evenly over the ride (at most one per sample).
// - Single-turn file k (k = 0 .. turnFiles-1) is recorded at the whole second
//   floor((k + 0.5) * durationSeconds / turnFiles) after the start, named
//   T_yymmdd.hh-mm-ss.csv after that moment, with 36 lines for the crank
//   angles 0, 10, ..., 350 degrees. There are never more single-turn files
//   than whole seconds in the ride, so no two share a name.
//
// Everything is derived from one std::mt19937 seeded with `seed` and written
// with locale-independent number formatting: equal plans give equal bytes.
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
