#ifndef VOK_RIDESTATISTICS_H
#define VOK_RIDESTATISTICS_H

class RideIndex;
class SessionRecord;

// The figures of a stretch of the ride, samples first to last. Averages and
// sums weigh each sample by the time to the next one, pauses left out, so
// the last sample of the stretch counts for its maxima only. Values that are
// not finite are skipped. A figure that cannot be told (fewer than two
// samples, nothing recorded, no time ridden) is NaN.
struct RideStatistics
{
    // The stretch of first..last (inclusive) of the record, through its index.
    static RideStatistics of(const SessionRecord &session, const RideIndex &index, int first,
                             int last);

    // Height changes smaller than this are not counted as climbing or descending.
    static constexpr double heightHysteresis = 2.0; // metres

    int first = 0;
    int last = -1;

    double fromSeconds; // elapsed time of the first and the last sample
    double toSeconds;
    double duration;    // seconds
    double movingTime;  // seconds: the duration less the pauses
    double distance;    // kilometres

    double powerLeft; // average watts
    double powerRight;
    double powerTotal;
    double powerMax;
    double normalisedPower; // watts
    double work;            // kilojoules
    double leftShare;       // percent of the left and right work

    double offsetLeft; // average millimetres
    double offsetRight;
    double upDownLeft; // average percent
    double upDownRight;

    double heartRate; // beats per minute
    double heartRateMax;
    double cadence; // revolutions per minute, while pedalling
    double cadenceMax;
    double speed; // km/h: the distance over the moving time
    double speedMax;

    double heightMin; // metres
    double heightMax;
    double ascent;
    double descent;

    int sampleCount() const { return last >= first ? last - first + 1 : 0; }
};

#endif
