#include "RideIndex.h"

#include "ProcessorCores.h"
#include "SessionRecord.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <future>

namespace {

// Makes room for n values in an array that keeps its memory from ride to
// ride.
template<typename Array>
void makeRoom(Array &array, size_t n)
{
    if (size_t(array.capacity()) >= n)
        return;
    array = Array();
    array.reserve(decltype(array.size())(n));
}

bool neverDecreases(const QVector<double> &x)
{
    for (int i = 0; i < x.size(); ++i) {
        if (!std::isfinite(x[i]) || (i > 0 && x[i] < x[i - 1]))
            return false;
    }
    return true;
}

} // namespace

static_assert(RideIndex::ChannelCount == SessionRecord::ChannelCount, "an index for every channel");

// Keeps the memory for the next build, as the record keeps its arrays'.
void RideIndex::clear()
{
    builtOn = nullptr;
    builtCount = -1;
}

void RideIndex::build(const SessionRecord &session)
{
    populator.stop(); // from here on the build writes into its arrays
    const QVector<double> &time = session.time;
    const int n = time.size();
    builtOn = time.constData();
    builtCount = n;

    // Height and speed have extremes but no averages (the average speed is
    // the distance over the time ridden); distance has neither. All their
    // summaries share one store.
    auto averaged = [&](int number) {
        return session.channel(number)->size() == n && number != SessionRecord::HeightChannel
               && number != SessionRecord::SpeedChannel && number != SessionRecord::SpaceChannel;
    };
    size_t storage = 0;
    for (int number = 0; number < int(channels.size()); ++number)
        storage += ChannelIndex::storageSize(session.channel(number)->size(), averaged(number));
    makeSummariesRoom(storage);
    std::array<double *, ChannelCount> places {};
    double *next = summaries.get();
    for (int number = 0; number < int(channels.size()); ++number) {
        places[size_t(number)] = next;
        next += ChannelIndex::storageSize(session.channel(number)->size(), averaged(number));
    }
    auto buildChannel = [&](int number) {
        channels[size_t(number)].build(*session.channel(number),
                                       averaged(number) ? &sampleWeights : nullptr,
                                       number == SessionRecord::CadenceChannel,
                                       places[size_t(number)]);
    };
    makeRoom(sampleWeights, size_t(n));
    sampleWeights.resize(n);

    // The channels are summarised apart from each other, into their own
    // parts of the store. A second thread takes those without averages
    // while this one works out the weights, then the rolling average and
    // the channels from heart rate on: about as much as the power and
    // pedalling channels and the swings of height left to this one. Without
    // a second core or thread, this one builds everything.
    std::future<void> helper; // waits for the thread in any case, should this one throw
    std::promise<void> weighed; // broken, should this one throw before the weights are known
    auto secondHalf = [&, weightsKnown = weighed.get_future().share()] {
        spaceOrdered = neverDecreases(session.space);
        for (const int number : {SessionRecord::HeightChannel, SessionRecord::SpeedChannel,
                                 SessionRecord::SpaceChannel})
            buildChannel(number);
        weightsKnown.get();
        buildRolling(session.powerTot);
        for (const int number : {SessionRecord::HeartRateChannel, SessionRecord::CadenceChannel,
                                 SessionRecord::TimeChannel})
            buildChannel(number);
    };
    helper = ProcessorCores::beside(secondHalf);

    timeOrdered = neverDecreases(time);
    ridePauses = Pauses(time, sampleWeights.data()); // the weights' room is its scratch
    sampleWeights.fill(0.0);
    for (int i = 0; i + 1 < n; ++i) {
        const double step = time[i + 1] - time[i];
        if (std::isfinite(step) && step > 0.0 && step <= ridePauses.threshold())
            sampleWeights[i] = step;
    }
    weighed.set_value();
    if (!helper.valid())
        secondHalf();
    for (int number = 0; number < SessionRecord::HeightChannel; ++number)
        buildChannel(number);
    buildHeightSwings(session.height);
    if (helper.valid())
        helper.get();
}

void RideIndex::buildHeightSwings(const QVector<double> &height)
{
    constexpr int group = ChannelIndex::groupSize;
    const size_t groups = size_t((height.size() + group - 1) / group);
    heightFalls.assign(groups, 0.0);
    heightRises.assign(groups, 0.0);
    for (size_t g = 0; g < groups; ++g) {
        double highest = -HUGE_VAL, lowest = HUGE_VAL, fall = 0.0, rise = 0.0;
        const int end = std::min(height.size(), int(g + 1) * group);
        for (int i = int(g) * group; i < end; ++i) {
            const double h = height[i];
            if (!std::isfinite(h))
                continue;
            highest = std::max(highest, h);
            lowest = std::min(lowest, h);
            fall = std::max(fall, highest - h);
            rise = std::max(rise, h - lowest);
        }
        heightFalls[g] = fall;
        heightRises[g] = rise;
    }
}

void RideIndex::makeSummariesRoom(size_t storage)
{
    if (summariesCapacity >= storage)
        return;
    // Left uninitialised: every summary is written by its build, in the
    // thread that builds it.
    summaries.reset(new double[storage]);
    summariesCapacity = storage;
}

void RideIndex::prepare(qint64 samples)
{
    populator.stop();
    if (samples < prepareFrom || samples > INT_MAX)
        return;
    const size_t n = size_t(samples);
    makeRoom(sampleWeights, n);
    makeRoom(rollingFourth, n);
    size_t storage = 0;
    for (int number = 0; number < ChannelCount; ++number) {
        const bool averaged = number != SessionRecord::HeightChannel
                              && number != SessionRecord::SpeedChannel
                              && number != SessionRecord::SpaceChannel;
        storage += ChannelIndex::storageSize(int(samples), averaged);
    }
    makeSummariesRoom(storage);
    // Nothing reads them before the build, which writes every value it
    // reads, and which stops the populator first.
    populator.start({{const_cast<double *>(sampleWeights.constData()), n * sizeof(double)},
                     {const_cast<double *>(rollingFourth.constData()), n * sizeof(double)},
                     {summaries.get(), summariesCapacity * sizeof(double)}});
}

void RideIndex::buildRolling(const QVector<double> &power)
{
    // The rolling average keeps the latest samples whose times add up to no
    // more than 30 s, and always the sample itself.
    // A sample without a finite power stands for no time in it.
    const int n = sampleWeights.size();
    makeRoom(rollingFourth, size_t(n));
    rollingFourth.resize(power.size() == n ? n : 0);
    const double *w = sampleWeights.constData();
    auto timeOf = [&](int i) { return power[i] - power[i] == 0.0 ? w[i] : 0.0; };
    double windowPower = 0.0, windowTime = 0.0;
    int oldest = 0;
    for (int i = 0; i < rollingFourth.size(); ++i) {
        const double t = timeOf(i);
        windowPower += t > 0.0 ? power[i] * t : 0.0;
        windowTime += t;
        for (; oldest < i && windowTime > rollingSeconds; ++oldest) {
            const double old = timeOf(oldest);
            windowPower -= old > 0.0 ? power[oldest] * old : 0.0;
            windowTime -= old;
        }
        const double average = windowPower / windowTime;
        rollingFourth[i] = windowTime > 0.0 ? average * average * average * average : NAN;
    }
    rolling.build(rollingFourth, &sampleWeights);
}

bool RideIndex::fits(const SessionRecord &session) const
{
    if (session.time.constData() != builtOn || session.time.size() != builtCount)
        return false;
    for (int number = 0; number < int(channels.size()); ++number) {
        const QVector<double> &values = *session.channel(number);
        if (channels[size_t(number)].source() != values.constData()
            || channels[size_t(number)].size() != values.size())
            return false;
    }
    return true;
}

bool RideIndex::xNeverDecreases(const SessionRecord &session) const
{
    return session.xData == &session.space ? spaceOrdered : timeOrdered;
}

void RideIndex::samplesWithin(const SessionRecord &session, double low, double high, int &first,
                              int &last) const
{
    first = 0;
    last = -1;
    if (!session.xData)
        return;
    const QVector<double> &x = *session.xData;
    if (xNeverDecreases(session)) {
        first = int(std::lower_bound(x.cbegin(), x.cend(), low) - x.cbegin());
        last = int(std::upper_bound(x.cbegin(), x.cend(), high) - x.cbegin()) - 1;
        return;
    }
    // x out of order (a damaged file): from the first sample within to the last.
    first = x.size();
    for (int i = 0; i < x.size(); ++i) {
        if (x[i] >= low && x[i] <= high) {
            first = std::min(first, i);
            last = i;
        }
    }
}

int RideIndex::nearestSample(const SessionRecord &session, double x) const
{
    if (!session.xData || session.xData->isEmpty() || !std::isfinite(x))
        return -1;
    const QVector<double> &xs = *session.xData;
    if (xNeverDecreases(session)) {
        const int after = int(std::lower_bound(xs.cbegin(), xs.cend(), x) - xs.cbegin());
        if (after == 0)
            return 0;
        if (after == xs.size())
            return after - 1;
        return x - xs[after - 1] <= xs[after] - x ? after - 1 : after;
    }
    int nearest = -1;
    double distance = HUGE_VAL;
    for (int i = 0; i < xs.size(); ++i) {
        const double d = std::fabs(xs[i] - x);
        if (d < distance) {
            distance = d;
            nearest = i;
        }
    }
    return nearest;
}

size_t RideIndex::memoryBytes() const
{
    return size_t(sampleWeights.capacity() + rollingFourth.capacity()) * sizeof(double)
           + summariesCapacity * sizeof(double)
           + size_t(ridePauses.resumptions().capacity()) * sizeof(int) + rolling.memoryBytes()
           + (heightFalls.capacity() + heightRises.capacity()) * sizeof(double);
}
