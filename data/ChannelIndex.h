#ifndef VOK_CHANNELINDEX_H
#define VOK_CHANNELINDEX_H

#include <QVector>

#include <vector>

// Answers questions about any run of one channel's samples without visiting
// each of them: where its lowest and highest value lie, and the sum of its
// values weighted by the time each sample stands for. Built once per ride,
// from summaries of blocks of 16 samples and of groups of 256, so that a
// run of n samples costs some n / 16 steps at most, and a sum two steps and
// the ragged ends.
//
// Values that are not finite (a field reading "nan" or "inf") take part in
// nothing. The index reads the arrays it was built on in place: they must
// not change until the next build.
class ChannelIndex
{
public:
    static constexpr int blockSize = 16;
    static constexpr int groupSize = 256;

    ChannelIndex() = default;
    // Its summaries may live in its own storage: a copy would point into
    // the original's.
    ChannelIndex(const ChannelIndex &) = delete;
    ChannelIndex &operator=(const ChannelIndex &) = delete;

    // values: one channel's samples. weights: the time each sample stands
    // for, of the same length, or nullptr for an index without sums. With
    // positiveOnly, samples of 0 and below are left out of the sums (cadence
    // while pedalling). storage, if given, holds storageSize() doubles for
    // the summaries and outlives the index; otherwise the index keeps its own.
    void build(const QVector<double> &values, const QVector<double> *weights,
               bool positiveOnly = false, double *storage = nullptr);
    static size_t storageSize(int count, bool withSums);

    int size() const { return count; }
    // The array the index was built on, to check that it still fits.
    const double *source() const { return values; }

    // The first index of the lowest and of the highest finite value among
    // first..last (inclusive); -1 where there is none. The values too, if
    // asked for, which saves reading them from the array.
    void extremes(int first, int last, int &low, int &high, double *lowValue = nullptr,
                  double *highValue = nullptr) const;
    // The lowest and highest finite value among first..last, without where
    // they lie, which costs a second look; false where there is none.
    bool extremeValues(int first, int last, double &lowest, double &highest) const;
    double lowest(int first, int last) const;  // NaN where there is none
    double highest(int first, int last) const; // NaN where there is none

    // Over first..last: the sum of value × weight and the sum of the weights
    // of the samples that count.
    struct Sum {
        double weighted = 0.0;
        double weight = 0.0;
    };
    Sum sum(int first, int last) const;

    // The lowest and highest finite value of each group of 256 samples
    // (+inf and -inf for a group without one), for walks that can skip a
    // group as a whole.
    double groupLowest(int group) const { return groupLow[group]; }
    double groupHighest(int group) const { return groupHigh[group]; }
    // The same for each block of 16.
    double blockLowest(int block) const { return blockLow[block]; }
    double blockHighest(int block) const { return blockHigh[block]; }

    // Bytes held beyond the arrays it reads.
    size_t memoryBytes() const;

private:
    // Whether a value takes part in the sums: finite (v - v is NaN for NaN
    // and both infinities), and above 0 where only those count.
    bool counts(double v) const { return v - v == 0.0 && (!positiveOnly || v > 0.0); }

    const double *values = nullptr;
    const double *weights = nullptr;
    int count = 0;
    bool positiveOnly = false;
    int blocks = 0;
    std::vector<double> owned; // the summaries, unless the builder holds them
    double *blockLow = nullptr;
    double *blockHigh = nullptr;
    double *groupLow = nullptr;
    double *groupHigh = nullptr;
    // Sums over all blocks before a block: prefix[b] covers blocks 0..b-1.
    double *prefixWeighted = nullptr;
    double *prefixWeight = nullptr;
    // The place of each block's lowest and highest value in the block.
    std::vector<quint8> blockLowAt, blockHighAt;
};

#endif
