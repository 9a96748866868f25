#ifndef VOK_SAMPLELINEREADER_H
#define VOK_SAMPLELINEREADER_H

#include "SampleColumns.h"

#include <QMap>
#include <QString>

class TextLineReader;

// Reads the sample lines of a ride file, those after its caption line up to
// its "#####" line, into the record's arrays. The line reader hands them out
// a run at a time. Where the program may run on two cores, the later part of
// a long run is read on another thread while the earlier part goes into the
// arrays, and follows it there while the next run is read: the arrays are
// filled in order, and only ever by the calling thread.
class SampleLineReader
{
public:
    // The arrays, in the order the columns fill them.
    enum Column {
        PowerLeftColumn, PowerRightColumn, PowerTotColumn, OffsetLeftColumn, OffsetRightColumn,
        UpDownLeftColumn, UpDownRightColumn, HeightColumn, SpeedColumn, HeartRateColumn,
        CadenceColumn, TimeColumn, SpaceColumn, LongitudeColumn, LatitudeColumn, ColumnCount
    };
    using Columns = SampleColumns<ColumnCount>;

    // A line of fewer fields holds no sample.
    static constexpr int MinimumFields = 19;
    // Runs of fewer bytes are read on one thread: sharing them would cost
    // more than it saves.
    static constexpr qint64 DefaultShareFrom = 64 * 1024;

    // Reads the rest of the lines into columns, and each photo reference into
    // photos under its sample's number. False where a line held no sample,
    // or the lines ended before the "#####" line. shareFrom: the shortest run
    // to share (tests use small ones).
    static bool read(TextLineReader &reader, Columns &columns, QMap<int, QString> &photos,
                     qint64 shareFrom = DefaultShareFrom);
};

#endif
