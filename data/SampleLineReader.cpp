#include "SampleLineReader.h"

#include "FieldConverter.h"
#include "ProcessorCores.h"
#include "TextLineReader.h"

#include <chrono>
#include <cstring>
#include <future>
#include <utility>
#include <vector>

namespace {

constexpr int ColumnCount = SampleLineReader::ColumnCount;
constexpr int MinimumFields = SampleLineReader::MinimumFields;

// Fields of a sample line and where they go.
enum SampleField {
    TimeField = 1,
    LongitudeField = 2,
    LatitudeField = 3,
    HeightField = 4,
    HeartRateField = 5,
    CadenceField = 6,
    SpeedField = 7,
    PowerTotField = 9,
    PowerLeftField = 10,
    PowerRightField = 11,
    OffsetLeftField = 12,
    OffsetRightField = 13,
    UpDownLeftField = 14,
    UpDownRightField = 15,
    SpaceField = 18,
    PhotoField = 19
};

// The field each column is read from, in column order.
constexpr SampleField columnFields[ColumnCount] = {
    PowerLeftField, PowerRightField, PowerTotField, OffsetLeftField, OffsetRightField,
    UpDownLeftField, UpDownRightField, HeightField, SpeedField, HeartRateField,
    CadenceField, TimeField, SpaceField, LongitudeField, LatitudeField};

// One sample line's values in column order, and its photo reference if it
// has one.
struct Sample {
    double row[ColumnCount];
    const char *photoBegin = nullptr;
    const char *photoEnd = nullptr;
};

// Splits one sample line at its commas; false for a line with fewer than 19
// fields, which is no sample.
bool parseSample(const char *p, const char *end, Sample &sample)
{
    double value[MinimumFields] = {};
    int fields = 0;
    for (int field = 0;; ++field) {
        const char *next;
        switch (field) {
        case TimeField:
            next = FieldConverter::seconds(p, end, value[field]);
            break;
        case LongitudeField: case LatitudeField: case HeightField: case HeartRateField:
        case CadenceField: case SpeedField: case PowerTotField: case PowerLeftField:
        case PowerRightField: case OffsetLeftField: case OffsetRightField:
        case UpDownLeftField: case UpDownRightField: case SpaceField:
            next = FieldConverter::number(p, end, value[field]);
            break;
        case PhotoField:
            next = FieldConverter::fieldEnd(p, end);
            sample.photoBegin = p;
            sample.photoEnd = next;
            break;
        default:
            next = FieldConverter::fieldEnd(p, end);
            break;
        }
        if (next == end || field == PhotoField) {
            // Fields after the photo reference do not matter.
            fields = field + 1;
            break;
        }
        p = next + 1;
    }
    if (fields < MinimumFields)
        return false;

    for (int column = 0; column < ColumnCount; ++column)
        sample.row[column] = value[columnFields[column]];
    sample.row[SampleLineReader::HeightColumn] /= 10; // metres in the file, tens of metres here
    return true;
}

// What the sample lines of a run came to.
struct SampleLines {
    bool allSamples = true; // every line held a sample
    bool separator = false; // the run ends at the "#####" line
};

// Reads the lines of [begin, end), as readLines() hands them out, up to a
// "#####" line, and hands each sample to take.
template<class Take>
SampleLines readSamples(const char *begin, const char *end, Take &&take)
{
    SampleLines lines;
    while (begin != end) {
        const char *lineEnd;
        const char *next = TextLineReader::nextLine(begin, end, lineEnd);
        if (lineEnd - begin == 5 && std::memcmp(begin, "#####", 5) == 0) {
            lines.separator = true;
            break;
        }
        Sample sample;
        if (parseSample(begin, lineEnd, sample))
            take(sample);
        else
            lines.allSamples = false;
        begin = next;
    }
    return lines;
}

// The samples of the later part of a run, read on another thread while the
// earlier part goes into the arrays, to follow it there.
struct LaterSamples {
    std::vector<Sample> samples;
    std::vector<std::pair<int, QString>> photos; // place among the samples, reference

    void take(const Sample &sample)
    {
        if (sample.photoBegin)
            photos.emplace_back(int(samples.size()),
                                TextLineReader::text(sample.photoBegin, sample.photoEnd));
        samples.push_back(sample);
    }
};

// Where the later part of a run of lines starts: at the first line that
// starts past the given share of its bytes. A run too short to share has
// none (end).
const char *laterPart(const char *begin, const char *end, qint64 shareFrom, double share)
{
    if (end - begin < shareFrom)
        return end;
    const char *middle = begin + qint64(double(end - begin) * share);
    const void *newline = std::memchr(middle, '\n', size_t(end - middle));
    return newline ? static_cast<const char *>(newline) + 1 : end;
}

} // namespace

bool SampleLineReader::read(TextLineReader &reader, Columns &columns, QMap<int, QString> &photos,
                            qint64 shareFrom)
{
    auto intoColumns = [&](const Sample &sample) {
        columns.append(sample.row);
        if (sample.photoBegin)
            photos.insert(columns.size() - 1,
                          TextLineReader::text(sample.photoBegin, sample.photoEnd));
    };
    // The samples of a run's later part go into the arrays while the other
    // thread reads the next run's: two stores, in turn.
    LaterSamples stores[2];
    LaterSamples *pending = nullptr; // read, not yet in the arrays
    auto appendPending = [&] {
        if (!pending)
            return;
        const int first = columns.size();
        for (const Sample &sample : pending->samples)
            columns.append(sample.row);
        for (const auto &photo : pending->photos)
            photos.insert(first + photo.first, photo.second);
        pending = nullptr;
    };
    // The share of each run read here. This thread also puts the other's
    // samples into the arrays, and the other shares its core with whatever
    // else runs: the share moves towards the one that finishes last.
    double share = 0.5;
    bool allSamples = true;
    bool separator = false;
    for (int run = 0; !separator && reader.readLines(); ++run) {
        const char *begin = reader.lineBegin();
        const char *end = reader.lineEnd();
        const char *laterBegin = laterPart(begin, end, shareFrom, share);
        LaterSamples &later = stores[run % 2];
        later.samples.clear();
        later.photos.clear();
        std::future<SampleLines> laterRead;
        if (laterBegin != end) {
            laterRead = ProcessorCores::beside([&later, laterBegin, end] {
                auto take = [&later](const Sample &sample) { later.take(sample); };
                return readSamples(laterBegin, end, take);
            });
            if (!laterRead.valid())
                laterBegin = end; // no second core or thread: all of it here
        }
        appendPending(); // the run before comes first
        const SampleLines firstLines = readSamples(begin, laterBegin, intoColumns);
        allSamples = allSamples && firstLines.allSamples;
        separator = firstLines.separator;
        if (!laterRead.valid())
            continue;
        const bool waiting =
            laterRead.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
        share = qBound(0.25, share + (waiting ? 0.02 : -0.02), 0.75);
        const SampleLines laterLines = laterRead.get();
        if (separator)
            continue; // what follows the separator line does not count
        pending = &later;
        allSamples = allSamples && laterLines.allSamples;
        separator = laterLines.separator;
    }
    appendPending();
    return allSamples && separator;
}
