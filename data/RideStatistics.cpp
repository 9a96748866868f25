#include "RideStatistics.h"

#include "RideIndex.h"
#include "SessionRecord.h"

#include <algorithm>
#include <cmath>

namespace {

double average(const ChannelIndex::Sum &sum)
{
    return sum.weight > 0.0 ? sum.weighted / sum.weight : NAN;
}

double difference(const QVector<double> &values, int first, int last)
{
    if (last >= values.size())
        return NAN;
    const double d = values[last] - values[first];
    return std::isfinite(d) ? d : NAN;
}

// Climbing and descending in metres, counted from turning point to turning
// point: a rise or fall counts once it reaches the hysteresis, and the last
// one counts where the stretch ends.
class Climbing
{
public:
    explicit Climbing(double start)
        : turn(start)
        , extreme(start)
        , low(start)
        , high(start)
    {
    }

    void add(double h)
    {
        const double limit = RideStatistics::heightHysteresis;
        if (direction == 0) {
            low = std::min(low, h);
            high = std::max(high, h);
            if (h - low >= limit)
                turnTo(1, low, h);
            else if (high - h >= limit)
                turnTo(-1, high, h);
        } else if (direction * (h - extreme) > 0.0) {
            extreme = h;
        } else if (std::fabs(extreme - h) >= limit) {
            count();
            turnTo(-direction, extreme, h);
        }
    }

    // Whether heights all within lowest..highest can change nothing but
    // the furthest point; if so, takes them in.
    bool skip(double lowest, double highest)
    {
        const double limit = RideStatistics::heightHysteresis;
        if (lowest > highest)
            return true; // no height at all
        if (highest - lowest >= limit)
            return false;
        if (direction > 0 && lowest > extreme - limit) {
            extreme = std::max(extreme, highest);
            return true;
        }
        if (direction < 0 && highest < extreme + limit) {
            extreme = std::min(extreme, lowest);
            return true;
        }
        if (direction == 0 && highest - low < limit && high - lowest < limit) {
            low = std::min(low, lowest);
            high = std::max(high, highest);
            return true;
        }
        return false;
    }

    // The same for a group of heights whose largest fall and rise, each
    // from a point before it in the group, are known: climbing, where
    // nothing falls as far as the hysteresis from the furthest point, the
    // climb goes on to the group's highest point, and the same descending.
    // Falls and rises within a hair of the hysteresis are left to the walk.
    bool skip(double lowest, double highest, double fall, double rise)
    {
        const double limit = RideStatistics::heightHysteresis;
        const double margin = 1e-9;
        if (lowest > highest)
            return true; // no height at all
        if (direction > 0 && lowest > extreme - limit && fall < limit - margin) {
            extreme = std::max(extreme, highest);
            return true;
        }
        if (direction < 0 && highest < extreme + limit && rise < limit - margin) {
            extreme = std::min(extreme, lowest);
            return true;
        }
        return skip(lowest, highest);
    }

    void finish() { count(); }

    double ascent = 0.0;
    double descent = 0.0;

private:
    void turnTo(int newDirection, double from, double to)
    {
        direction = newDirection;
        turn = from;
        extreme = to;
    }
    void count()
    {
        if (direction > 0)
            ascent += extreme - turn;
        else if (direction < 0)
            descent += turn - extreme;
    }

    double turn;    // the last turning point
    double extreme; // the furthest point since, in the current direction
    double low;     // before a direction is known: the lowest and highest so far
    double high;
    int direction = 0;
};

void climbing(const SessionRecord &session, const RideIndex &index, int first, int last,
              double &ascent, double &descent)
{
    ascent = descent = NAN;
    const QVector<double> &height = session.height;
    last = std::min(last, height.size() - 1);
    int i = first;
    while (i <= last && !std::isfinite(height[i]))
        ++i;
    if (i > last)
        return;
    constexpr double metres = 10.0; // the record keeps tens of metres
    Climbing climb(height[i] * metres);
    // Most groups and blocks of samples change nothing but the furthest
    // point: those that stay within the hysteresis, and along a climb or a
    // descent those without a turn as large as it. Only the others are walked.
    const ChannelIndex &heights = index.channel(SessionRecord::HeightChannel);
    constexpr int group = ChannelIndex::groupSize;
    constexpr int block = ChannelIndex::blockSize;
    for (++i; i <= last;) {
        if (i % group == 0 && i + group - 1 <= last
            && climb.skip(heights.groupLowest(i / group) * metres,
                          heights.groupHighest(i / group) * metres,
                          index.heightFall(i / group) * metres,
                          index.heightRise(i / group) * metres)) {
            i += group;
            continue;
        }
        if (i % block == 0 && i + block - 1 <= last
            && climb.skip(heights.blockLowest(i / block) * metres,
                          heights.blockHighest(i / block) * metres)) {
            i += block;
            continue;
        }
        if (std::isfinite(height[i]))
            climb.add(height[i] * metres);
        ++i;
    }
    climb.finish();
    ascent = climb.ascent;
    descent = climb.descent;
}

} // namespace

RideStatistics RideStatistics::of(const SessionRecord &session, const RideIndex &index, int first,
                                  int last)
{
    RideStatistics s;
    for (double *figure :
         {&s.fromSeconds, &s.toSeconds, &s.duration, &s.movingTime, &s.distance, &s.powerLeft,
          &s.powerRight, &s.powerTotal, &s.powerMax, &s.normalisedPower, &s.work, &s.leftShare,
          &s.offsetLeft, &s.offsetRight, &s.upDownLeft, &s.upDownRight, &s.heartRate,
          &s.heartRateMax, &s.cadence, &s.cadenceMax, &s.speed, &s.speedMax, &s.heightMin,
          &s.heightMax, &s.ascent, &s.descent})
        *figure = NAN;
    first = std::max(first, 0);
    last = std::min(last, session.time.size() - 1);
    if (last - first < 1 || !index.fits(session))
        return s;
    s.first = first;
    s.last = last;

    const QVector<double> &time = session.time;
    if (std::isfinite(time[first]))
        s.fromSeconds = time[first];
    if (std::isfinite(time[last]))
        s.toSeconds = time[last];
    s.duration = difference(time, first, last);
    s.distance = difference(session.space, first, last);
    // The last sample stands for the time after the stretch.
    const int end = last - 1;
    // Every sample that stands for some time has a time of its own.
    s.movingTime = index.channel(SessionRecord::TimeChannel).sum(first, end).weight;

    auto channelAverage = [&](int number) { return average(index.channel(number).sum(first, end)); };
    s.powerLeft = channelAverage(SessionRecord::PowerLeftChannel);
    s.powerRight = channelAverage(SessionRecord::PowerRightChannel);
    s.powerTotal = channelAverage(SessionRecord::PowerTotChannel);
    s.offsetLeft = channelAverage(SessionRecord::OffsetLeftChannel);
    s.offsetRight = channelAverage(SessionRecord::OffsetRightChannel);
    s.upDownLeft = channelAverage(SessionRecord::UpDownLeftChannel);
    s.upDownRight = channelAverage(SessionRecord::UpDownRightChannel);
    s.heartRate = channelAverage(SessionRecord::HeartRateChannel);
    s.cadence = channelAverage(SessionRecord::CadenceChannel);

    s.powerMax = index.channel(SessionRecord::PowerTotChannel).highest(first, last);
    s.heartRateMax = index.channel(SessionRecord::HeartRateChannel).highest(first, last);
    s.cadenceMax = index.channel(SessionRecord::CadenceChannel).highest(first, last);
    s.speedMax = index.channel(SessionRecord::SpeedChannel).highest(first, last);
    constexpr double metres = 10.0;
    double lowest, highest;
    if (index.channel(SessionRecord::HeightChannel).extremeValues(first, last, lowest, highest)) {
        s.heightMin = lowest * metres;
        s.heightMax = highest * metres;
    }

    const ChannelIndex::Sum total = index.channel(SessionRecord::PowerTotChannel).sum(first, end);
    if (total.weight > 0.0)
        s.work = total.weighted / 1000.0;
    const double left = index.channel(SessionRecord::PowerLeftChannel).sum(first, end).weighted;
    const double right = index.channel(SessionRecord::PowerRightChannel).sum(first, end).weighted;
    if (left + right > 0.0)
        s.leftShare = 100.0 * left / (left + right);
    const double fourth = average(index.rollingPower4().sum(first, end));
    if (fourth >= 0.0)
        s.normalisedPower = std::pow(fourth, 0.25);
    if (s.movingTime > 0.0 && std::isfinite(s.distance))
        s.speed = s.distance / s.movingTime * 3600.0;

    climbing(session, index, first, last, s.ascent, s.descent);
    return s;
}
