#ifndef VOK_RIDEINDEX_H
#define VOK_RIDEINDEX_H

#include "ChannelIndex.h"
#include "PagePopulator.h"
#include "Pauses.h"

#include <QVector>

#include <array>
#include <memory>
#include <vector>

class SessionRecord;

// What the statistics of a stretch of the ride and the drawing of its curves
// need to know about the whole ride, worked out once when the ride is read:
// the pauses, the time each sample stands for, an index of every measured
// channel and the rolling power behind the normalised power. It reads the
// record's arrays in place and is built again with every read.
class RideIndex
{
public:
    // The normalised power averages power over this much riding.
    static constexpr double rollingSeconds = 30.0;
    // The record's channels, time and distance included.
    static constexpr int ChannelCount = 13;

    // Makes room for a ride of about this many samples as its reading
    // starts, and has the new memory mapped in while the reader works, so
    // that the build after it need not wait for the system to clear pages.
    void prepare(qint64 samples);
    void build(const SessionRecord &session);
    // Fits no record until the next build.
    void clear();

    // Whether the index was built on the record's arrays as they stand.
    bool fits(const SessionRecord &session) const;

    const Pauses &pauses() const { return ridePauses; }
    // The time from each sample to the next in seconds: 0 across a pause,
    // for the last sample, and where a time is not finite or runs backwards.
    const QVector<double> &weights() const { return sampleWeights; }
    // The index of a channel array (0 to 12); cadence sums count only the
    // samples above 0. The weights summed over the time channel are the
    // time ridden.
    const ChannelIndex &channel(int number) const { return channels[size_t(number)]; }
    // The fourth power of the time-weighted average of the total power over
    // the last 30 s of riding up to each sample (less at the start): the
    // normalised power of a stretch is the fourth root of its average.
    const ChannelIndex &rollingPower4() const { return rolling; }

    // Within each group of ChannelIndex::groupSize height samples, the
    // largest fall to a sample from a higher one before it, and the largest
    // rise to a sample from a lower one before it, in the record's units
    // (0 for a group without them): a walk that counts climbs can take in
    // a whole group where they stay small.
    double heightFall(int group) const { return heightFalls[size_t(group)]; }
    double heightRise(int group) const { return heightRises[size_t(group)]; }

    // Whether the time or the distance never decreases along the samples.
    bool timeNeverDecreases() const { return timeOrdered; }
    bool spaceNeverDecreases() const { return spaceOrdered; }

    // The first and last sample whose x lies within low..high, for the x
    // array of the record; first > last when there is none.
    void samplesWithin(const SessionRecord &session, double low, double high, int &first,
                       int &last) const;
    // The sample whose x lies nearest to x, the earlier of two as near; -1
    // without samples.
    int nearestSample(const SessionRecord &session, double x) const;

    // Bytes held beyond the record's arrays.
    size_t memoryBytes() const;

private:
    bool xNeverDecreases(const SessionRecord &session) const;
    void makeSummariesRoom(size_t storage);
    // The fourth powers of the rolling 30 s average power, and their index.
    void buildRolling(const QVector<double> &power);
    void buildHeightSwings(const QVector<double> &height);

    Pauses ridePauses;
    QVector<double> sampleWeights;
    std::array<ChannelIndex, ChannelCount> channels;
    std::unique_ptr<double[]> summaries; // the channels' summaries
    size_t summariesCapacity = 0;
    QVector<double> rollingFourth;
    ChannelIndex rolling;
    std::vector<double> heightFalls, heightRises; // one per group
    bool timeOrdered = true;
    bool spaceOrdered = true;
    const double *builtOn = nullptr; // the time array, with its length
    int builtCount = -1;
    // Below this many samples, preparing costs more than it saves.
    static constexpr qint64 prepareFrom = 100000;
    PagePopulator populator;
};

#endif
