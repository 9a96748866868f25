#include "ChannelIndex.h"

#include <QtAlgorithms>

#include <algorithm>
#include <cmath>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

#if defined(__SSE2__)
// The lowest and highest finite value of a whole block, two values at a time
// in four pairs of lanes, so that each comparison need not wait for the one
// before. The compiler cannot do this itself: its minimum of doubles must
// keep their order. The lowest and highest do not depend on the order; only
// which of two zeros of opposite sign stands for them may.
void extremesOfBlock(const double *v, double &low, double &high)
{
    const __m128d zero = _mm_setzero_pd(), above = _mm_set1_pd(HUGE_VAL),
                  below = _mm_set1_pd(-HUGE_VAL);
    __m128d lows[4] = {above, above, above, above}, highs[4] = {below, below, below, below};
    for (int i = 0; i < ChannelIndex::blockSize; i += 2) {
        const __m128d x = _mm_loadu_pd(v + i);
        const __m128d finite = _mm_cmpeq_pd(_mm_sub_pd(x, x), zero);
        const __m128d taken = _mm_and_pd(finite, x);
        const int lane = i / 2 % 4;
        lows[lane] = _mm_min_pd(lows[lane], _mm_or_pd(taken, _mm_andnot_pd(finite, above)));
        highs[lane] = _mm_max_pd(highs[lane], _mm_or_pd(taken, _mm_andnot_pd(finite, below)));
    }
    const __m128d lowPair = _mm_min_pd(_mm_min_pd(lows[0], lows[1]), _mm_min_pd(lows[2], lows[3]));
    const __m128d highPair =
        _mm_max_pd(_mm_max_pd(highs[0], highs[1]), _mm_max_pd(highs[2], highs[3]));
    low = _mm_cvtsd_f64(_mm_min_sd(lowPair, _mm_unpackhi_pd(lowPair, lowPair)));
    high = _mm_cvtsd_f64(_mm_max_sd(highPair, _mm_unpackhi_pd(highPair, highPair)));
}
#endif

// The lowest and highest finite value of n samples (low and high start at
// +inf and -inf), and the sums of value x weight and of the weights of its
// finite values above floor. The comparisons leave NaN and both infinities
// out (x - x is NaN for them).
template<int n>
void summarise(const double *v, const double *w, double floor, double &low, double &high,
               double &weighted, double &weight)
{
#if defined(__SSE2__)
    if constexpr (n == ChannelIndex::blockSize) {
        extremesOfBlock(v, low, high);
    } else
#endif
    {
        for (int i = 0; i < n; ++i) {
            const bool finite = v[i] - v[i] == 0.0;
            low = std::min(low, finite ? v[i] : HUGE_VAL);
            high = std::max(high, finite ? v[i] : -HUGE_VAL);
        }
    }
    if (!w)
        return;
    for (int i = 0; i < n; ++i) {
        const bool taken = v[i] - v[i] == 0.0 && v[i] > floor;
        weighted += taken ? v[i] * w[i] : 0.0;
        weight += taken ? w[i] : 0.0;
    }
}

// The first places of low and of high among the n values of a block (0
// where there is none). A whole block is compared two values at a time,
// each comparison a bit of a mask whose lowest set bit is the place.
void placesOf(const double *v, int n, double low, double high, quint8 &lowAt, quint8 &highAt)
{
#if defined(__SSE2__)
    if (n == ChannelIndex::blockSize) {
        const __m128d lows = _mm_set1_pd(low), highs = _mm_set1_pd(high);
        unsigned lowMask = 0, highMask = 0;
        for (int i = 0; i < ChannelIndex::blockSize; i += 2) {
            const __m128d pair = _mm_loadu_pd(v + i);
            lowMask |= unsigned(_mm_movemask_pd(_mm_cmpeq_pd(pair, lows))) << i;
            highMask |= unsigned(_mm_movemask_pd(_mm_cmpeq_pd(pair, highs))) << i;
        }
        lowAt = lowMask ? quint8(qCountTrailingZeroBits(lowMask)) : 0;
        highAt = highMask ? quint8(qCountTrailingZeroBits(highMask)) : 0;
        return;
    }
#endif
    lowAt = highAt = 0;
    for (int i = n - 1; i >= 0; --i) {
        lowAt = v[i] == low ? quint8(i) : lowAt;
        highAt = v[i] == high ? quint8(i) : highAt;
    }
}

} // namespace

size_t ChannelIndex::storageSize(int count, bool withSums)
{
    const size_t blocks = size_t((count + blockSize - 1) / blockSize);
    const size_t groups = size_t((count + groupSize - 1) / groupSize);
    return 2 * blocks + 2 * groups + (withSums ? 2 * (blocks + 1) : 0);
}

void ChannelIndex::build(const QVector<double> &source, const QVector<double> *sampleWeights,
                         bool onlyPositive, double *storage)
{
    values = source.constData();
    count = source.size();
    weights = sampleWeights && sampleWeights->size() == count ? sampleWeights->constData() : nullptr;
    positiveOnly = onlyPositive;
    blocks = (count + blockSize - 1) / blockSize;
    if (!storage) {
        owned.resize(storageSize(count, weights));
        storage = owned.data();
    } else {
        owned = std::vector<double>();
    }
    blockLow = storage;
    blockHigh = blockLow + blocks;
    groupLow = blockHigh + blocks;
    const int groups = (count + groupSize - 1) / groupSize;
    groupHigh = groupLow + groups;
    prefixWeighted = weights ? groupHigh + groups : nullptr;
    prefixWeight = weights ? prefixWeighted + blocks + 1 : nullptr;
    blockLowAt.resize(size_t(blocks));
    blockHighAt.resize(size_t(blocks));

    // Block by block, then each group of blocks.
    const double floor = positiveOnly ? 0.0 : -HUGE_VAL;
    constexpr int blocksPerGroup = groupSize / blockSize;
    double runningWeighted = 0.0, runningWeight = 0.0; // the sums so far
    for (int g = 0; g < groups; ++g) {
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
            blockLow[b] = low;
            blockHigh[b] = high;
            // Where in the block they lie, so that a query need not look:
            // the samples are still in the cache.
            quint8 lowAt = 0, highAt = 0;
            placesOf(values + first, std::min(count, first + blockSize) - first, low, high, lowAt,
                     highAt);
            blockLowAt[size_t(b)] = lowAt;
            blockHighAt[size_t(b)] = highAt;
            groupLowest = std::min(groupLowest, low);
            groupHighest = std::max(groupHighest, high);
            if (weights) {
                prefixWeighted[b] = runningWeighted;
                prefixWeight[b] = runningWeight;
                runningWeighted += weighted;
                runningWeight += weight;
                prefixWeighted[size_t(b) + 1] = runningWeighted;
                prefixWeight[size_t(b) + 1] = runningWeight;
            }
        }
        groupLow[g] = groupLowest;
        groupHigh[g] = groupHighest;
    }
}

namespace {

// A run in five pieces: samples up to the first whole block, blocks up to
// the first whole group, groups, blocks, the samples after. Pieces may be
// empty.
struct Pieces {
    int at[6];
    Pieces(int first, int last)
    {
        constexpr int blockSize = ChannelIndex::blockSize, groupSize = ChannelIndex::groupSize;
        const int headEnd = std::min(last + 1, (first + blockSize - 1) / blockSize * blockSize);
        const int groupsBegin = std::max(
            headEnd, std::min((last + 1) / blockSize * blockSize,
                              (first + groupSize - 1) / groupSize * groupSize));
        const int groupsEnd = std::max(groupsBegin, (last + 1) / groupSize * groupSize);
        const int tailBegin = std::max(groupsEnd, (last + 1) / blockSize * blockSize);
        at[0] = first;
        at[1] = headEnd;
        at[2] = groupsBegin;
        at[3] = groupsEnd;
        at[4] = tailBegin;
        at[5] = last + 1;
    }
};

} // namespace

bool ChannelIndex::extremeValues(int first, int last, double &lowest, double &highest) const
{
    first = std::max(first, 0);
    last = std::min(last, count - 1);
    lowest = HUGE_VAL;
    highest = -HUGE_VAL;
    if (first > last)
        return false;
    const Pieces pieces(first, last);
    // Four lowest and highest so far, each over every fourth value: one
    // running minimum would wait for the one before at every step, and the
    // runs here are short.
    double low[4] = {HUGE_VAL, HUGE_VAL, HUGE_VAL, HUGE_VAL};
    double high[4] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    auto take = [&low, &high](int lane, double l, double h) {
        low[lane] = std::min(low[lane], l);
        high[lane] = std::max(high[lane], h);
    };
    // Values that are not finite count as neither (v - v is NaN for them).
    auto samples = [&, v = values](int from, int to) {
        int i = from;
        for (; i + 4 <= to; i += 4) {
            for (int lane = 0; lane < 4; ++lane) {
                const double x = v[i + lane];
                const bool finite = x - x == 0.0;
                take(lane, finite ? x : HUGE_VAL, finite ? x : -HUGE_VAL);
            }
        }
        for (; i < to; ++i) {
            const bool finite = v[i] - v[i] == 0.0;
            take(0, finite ? v[i] : HUGE_VAL, finite ? v[i] : -HUGE_VAL);
        }
    };
    auto summaries = [&](const double *lows, const double *highs, int from, int to) {
        int k = from;
        for (; k + 4 <= to; k += 4) {
            for (int lane = 0; lane < 4; ++lane)
                take(lane, lows[k + lane], highs[k + lane]);
        }
        for (; k < to; ++k)
            take(0, lows[k], highs[k]);
    };
    auto settle = [&] {
        lowest = std::min(std::min(low[0], low[1]), std::min(low[2], low[3]));
        highest = std::max(std::max(high[0], high[1]), std::max(high[2], high[3]));
    };
    summaries(blockLow, blockHigh, pieces.at[1] / blockSize, pieces.at[2] / blockSize);
    summaries(groupLow, groupHigh, pieces.at[2] / groupSize, pieces.at[3] / groupSize);
    summaries(blockLow, blockHigh, pieces.at[3] / blockSize, pieces.at[4] / blockSize);
    settle();
    // The samples at either end lie in a block that reaches beyond the run.
    // Where the whole block stays within the extremes of the rest, they
    // cannot change them and are not read: in a run of many blocks, most
    // often so.
    auto ends = [&](int from, int to) {
        const int block = from / blockSize;
        if (from == to || (blockLow[block] >= lowest && blockHigh[block] <= highest))
            return;
        samples(from, to);
        settle();
    };
    ends(pieces.at[0], pieces.at[1]);
    ends(pieces.at[4], pieces.at[5]);
    return lowest <= highest;
}

void ChannelIndex::extremes(int first, int last, int &low, int &high, double *lowValue,
                            double *highValue) const
{
    low = high = -1;
    first = std::max(first, 0);
    last = std::min(last, count - 1);
    // First the two values...
    double lowest, highest;
    if (!extremeValues(first, last, lowest, highest))
        return; // no finite value
    const Pieces pieces(first, last);

    // ...then the first place of each, piece by piece in order; a block
    // knows its own.
    auto firstOf = [&](double value, const double *blockValues, const double *groupValues,
                       const std::vector<quint8> &placeInBlock, bool lowestWanted) {
        auto inSamples = [&](int from, int to) {
            // A block whose own extreme falls short of the value holds no
            // sample of that value: most often so at the ends of a long run.
            if (from == to)
                return -1;
            const double own = blockValues[from / blockSize];
            if (lowestWanted ? own > value : own < value)
                return -1;
            for (int i = from; i < to; ++i) {
                if (values[i] == value)
                    return i;
            }
            return -1;
        };
        auto inBlocks = [&](int from, int to) {
            for (int k = from; k < to; ++k) {
                if (blockValues[k] == value)
                    return k * blockSize + placeInBlock[size_t(k)];
            }
            return -1;
        };
        int at = inSamples(pieces.at[0], pieces.at[1]);
        if (at < 0)
            at = inBlocks(pieces.at[1] / blockSize, pieces.at[2] / blockSize);
        for (int g = pieces.at[2] / groupSize; at < 0 && g < pieces.at[3] / groupSize; ++g) {
            if (groupValues[g] == value)
                at = inBlocks(g * (groupSize / blockSize), (g + 1) * (groupSize / blockSize));
        }
        if (at < 0)
            at = inBlocks(pieces.at[3] / blockSize, pieces.at[4] / blockSize);
        if (at < 0)
            at = inSamples(pieces.at[4], pieces.at[5]);
        return at;
    };
    low = firstOf(lowest, blockLow, groupLow, blockLowAt, true);
    high = firstOf(highest, blockHigh, groupHigh, blockHighAt, false);
    if (lowValue)
        *lowValue = lowest;
    if (highValue)
        *highValue = highest;
}

double ChannelIndex::lowest(int first, int last) const
{
    double low, high;
    return extremeValues(first, last, low, high) ? low : NAN;
}

double ChannelIndex::highest(int first, int last) const
{
    double low, high;
    return extremeValues(first, last, low, high) ? high : NAN;
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
    total.weighted += prefixWeighted[endBlock] - prefixWeighted[firstBlock];
    total.weight += prefixWeight[endBlock] - prefixWeight[firstBlock];
    add(endBlock * blockSize, last);
    return total;
}

size_t ChannelIndex::memoryBytes() const
{
    return sizeof(double) * storageSize(count, weights) + blockLowAt.capacity()
           + blockHighAt.capacity();
}
