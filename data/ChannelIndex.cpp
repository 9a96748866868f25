#include "ChannelIndex.h"

#include <algorithm>
#include <cmath>

namespace {

// The lowest and highest finite value of a block of samples, and the sums
// of value x weight and of the weights of its finite values above floor.
// Written as plain loops over whole blocks, which the compiler vectorises;
// the comparisons leave NaN and both infinities out (x - x is NaN for them).
template<int n>
void summarise(const double *v, const double *w, double floor, double &low, double &high,
               double &weighted, double &weight)
{
    for (int i = 0; i < n; ++i) {
        const bool finite = v[i] - v[i] == 0.0;
        low = std::min(low, finite ? v[i] : HUGE_VAL);
        high = std::max(high, finite ? v[i] : -HUGE_VAL);
    }
    if (!w)
        return;
    for (int i = 0; i < n; ++i) {
        const bool taken = v[i] - v[i] == 0.0 && v[i] > floor;
        weighted += taken ? v[i] * w[i] : 0.0;
        weight += taken ? w[i] : 0.0;
    }
}

} // namespace

void ChannelIndex::build(const QVector<double> &source, const QVector<double> *sampleWeights,
                         bool onlyPositive)
{
    begin(source, sampleWeights, onlyPositive);
    summariseGroups(0, groupCount());
}

void ChannelIndex::begin(const QVector<double> &source, const QVector<double> *sampleWeights,
                         bool onlyPositive)
{
    values = source.constData();
    count = source.size();
    weights = sampleWeights && sampleWeights->size() == count ? sampleWeights->constData() : nullptr;
    positiveOnly = onlyPositive;
    const int blocks = (count + blockSize - 1) / blockSize;
    blockLow.resize(size_t(blocks));
    blockHigh.resize(size_t(blocks));
    prefixWeighted.resize(weights ? size_t(blocks) + 1 : 0);
    prefixWeight.resize(weights ? size_t(blocks) + 1 : 0);
    groupLow.resize(size_t(groupCount()));
    groupHigh.resize(size_t(groupCount()));
    runningWeighted = runningWeight = 0.0;
}

void ChannelIndex::summariseGroups(int firstGroup, int endGroup)
{
    const int blocks = int(blockLow.size());
    const double floor = positiveOnly ? 0.0 : -HUGE_VAL;
    constexpr int blocksPerGroup = groupSize / blockSize;
    for (int g = firstGroup; g < endGroup; ++g) {
        double groupLowest = HUGE_VAL, groupHighest = -HUGE_VAL;
        const int endBlock = std::min(blocks, (g + 1) * blocksPerGroup);
        for (int b = g * blocksPerGroup; b < endBlock; ++b) {
            const int first = b * blockSize;
            double low = HUGE_VAL, high = -HUGE_VAL, weighted = 0.0, weight = 0.0;
            const double *w = weights ? weights + first : nullptr;
            if (first + blockSize <= count) {
                summarise<blockSize>(values + first, w, floor, low, high, weighted, weight);
            } else {
                for (int i = first; i < count; ++i)
                    summarise<1>(values + i, w ? w + (i - first) : nullptr, floor, low, high,
                                 weighted, weight);
            }
            blockLow[size_t(b)] = low;
            blockHigh[size_t(b)] = high;
            groupLowest = std::min(groupLowest, low);
            groupHighest = std::max(groupHighest, high);
            if (weights) {
                prefixWeighted[size_t(b)] = runningWeighted;
                prefixWeight[size_t(b)] = runningWeight;
                runningWeighted += weighted;
                runningWeight += weight;
                prefixWeighted[size_t(b) + 1] = runningWeighted;
                prefixWeight[size_t(b) + 1] = runningWeight;
            }
        }
        groupLow[size_t(g)] = groupLowest;
        groupHigh[size_t(g)] = groupHighest;
    }
}

void ChannelIndex::extremes(int first, int last, int &low, int &high) const
{
    low = high = -1;
    first = std::max(first, 0);
    last = std::min(last, count - 1);
    if (first > last)
        return;

    // Each extreme is known as a value and where it was found: a sample, or
    // the block or group that holds it, searched once at the end.
    enum Level { Sample, Block, Group };
    struct Found {
        double value;
        int at = -1;
        Level level = Sample;
    };
    Found lowFound{HUGE_VAL}, highFound{-HUGE_VAL};
    auto take = [&](double lowValue, double highValue, int at, Level level) {
        if (lowValue < lowFound.value)
            lowFound = {lowValue, at, level};
        if (highValue > highFound.value)
            highFound = {highValue, at, level};
    };
    auto sample = [&](int i) {
        if (std::isfinite(values[i]))
            take(values[i], values[i], i, Sample);
    };

    int i = first;
    for (; i <= last && i % blockSize != 0; ++i)
        sample(i);
    for (; i + blockSize - 1 <= last && i % groupSize != 0; i += blockSize)
        take(blockLow[size_t(i / blockSize)], blockHigh[size_t(i / blockSize)], i / blockSize, Block);
    for (; i + groupSize - 1 <= last; i += groupSize)
        take(groupLow[size_t(i / groupSize)], groupHigh[size_t(i / groupSize)], i / groupSize, Group);
    for (; i + blockSize - 1 <= last; i += blockSize)
        take(blockLow[size_t(i / blockSize)], blockHigh[size_t(i / blockSize)], i / blockSize, Block);
    for (; i <= last; ++i)
        sample(i);

    // The first sample of a block or group that holds the value found.
    auto resolve = [this](const Found &found, const std::vector<double> &blockValues) {
        if (found.at < 0)
            return -1;
        int at = found.at;
        if (found.level == Group) {
            at *= groupSize / blockSize;
            while (blockValues[size_t(at)] != found.value)
                ++at;
        }
        if (found.level != Sample) {
            at *= blockSize;
            while (values[at] != found.value)
                ++at;
        }
        return at;
    };
    low = resolve(lowFound, blockLow);
    high = resolve(highFound, blockHigh);
}

double ChannelIndex::lowest(int first, int last) const
{
    int low = -1, high = -1;
    extremes(first, last, low, high);
    return low < 0 ? NAN : values[low];
}

double ChannelIndex::highest(int first, int last) const
{
    int low = -1, high = -1;
    extremes(first, last, low, high);
    return high < 0 ? NAN : values[high];
}

ChannelIndex::Sum ChannelIndex::sum(int first, int last) const
{
    Sum total;
    first = std::max(first, 0);
    last = std::min(last, count - 1);
    if (!weights || first > last)
        return total;
    auto add = [&](int from, int to) {
        for (int i = from; i <= to; ++i) {
            if (counts(values[i])) {
                total.weighted += values[i] * weights[i];
                total.weight += weights[i];
            }
        }
    };
    // The whole blocks inside first..last come from the prefix sums.
    const int firstBlock = (first + blockSize - 1) / blockSize;
    const int endBlock = (last + 1) / blockSize;
    if (firstBlock >= endBlock) {
        add(first, last);
        return total;
    }
    add(first, firstBlock * blockSize - 1);
    total.weighted += prefixWeighted[size_t(endBlock)] - prefixWeighted[size_t(firstBlock)];
    total.weight += prefixWeight[size_t(endBlock)] - prefixWeight[size_t(firstBlock)];
    add(endBlock * blockSize, last);
    return total;
}

size_t ChannelIndex::memoryBytes() const
{
    return sizeof(double)
           * (blockLow.capacity() + blockHigh.capacity() + groupLow.capacity()
              + groupHigh.capacity() + prefixWeighted.capacity() + prefixWeight.capacity());
}
