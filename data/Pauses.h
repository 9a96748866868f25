#ifndef VOK_PAUSES_H
#define VOK_PAUSES_H

#include <QVector>

// Where a recording stopped and went on later: an auto-paused ride jumps
// forward in elapsed time. A step between two samples counts as a pause when
// it is longer than ten times the ride's median sample interval, and at
// least 10 seconds.
class Pauses
{
public:
    static constexpr double shortestPause = 10.0;    // seconds
    static constexpr double intervalsPerPause = 10.0;

    // No samples, no pauses.
    Pauses() = default;
    // The pauses of elapsed times in seconds. Steps that are not finite
    // (a field reading "nan") neither count toward the median nor pause.
    // scratch, if given, has room for time.size() values, which it
    // overwrites; otherwise the steps take memory of their own.
    explicit Pauses(const QVector<double> &time, double *scratch = nullptr);

    // Steps longer than this are pauses.
    double threshold() const { return limit; }
    // The first sample after each pause, in increasing order: no line joins
    // it to the sample before.
    const QVector<int> &resumptions() const { return firstAfter; }

private:
    double limit = shortestPause;
    QVector<int> firstAfter;
};

#endif
