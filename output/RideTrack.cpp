#include "RideTrack.h"

#include "Pauses.h"
#include "SessionRecord.h"

#include <algorithm>

RideTrack::RideTrack(const SessionRecord &session)
    : count(std::min({session.time.size(), session.space.size(), session.longitude.size(),
                      session.latitude.size(), session.height.size(), session.heartRate.size(),
                      session.cadence.size(), session.powerTot.size()}))
    , moments(session.startDateTime)
{
    if (count == 0)
        return;
    const QVector<double> &time = session.time;
    int first = 0;
    const Pauses pauses(time.mid(0, count));
    for (int resumption : pauses.resumptions()) {
        pieces.append({first, resumption - 1});
        first = resumption;
    }
    pieces.append({first, count - 1});
    for (const QPair<int, int> &piece : pieces)
        ridden += time.at(piece.second) - time.at(piece.first);
}
