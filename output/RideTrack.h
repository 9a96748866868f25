#ifndef VOK_RIDETRACK_H
#define VOK_RIDETRACK_H

#include "RideTime.h"

#include <QPair>
#include <QVector>

class SessionRecord;

// A ride's samples as the exchange formats (TCX, GPX) take them: as many as
// every array they read holds, the moment of each, and the stretches ridden
// between pauses.
class RideTrack
{
public:
    explicit RideTrack(const SessionRecord &session);

    int samples() const { return count; }
    const RideTime &clock() const { return moments; }
    // First and last sample of each stretch between pauses, in order; none
    // without samples.
    const QVector<QPair<int, int>> &stretches() const { return pieces; }
    // Elapsed time less the pauses.
    double riddenSeconds() const { return ridden; }

private:
    int count = 0;
    RideTime moments;
    QVector<QPair<int, int>> pieces;
    double ridden = 0.0;
};

#endif
