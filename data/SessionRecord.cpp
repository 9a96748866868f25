#include "SessionRecord.h"

#include "FieldConverter.h"
#include "SampleColumns.h"
#include "TextLineReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <climits>
#include <cstring>

namespace {

const QRegularExpression &tagPattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^VOK_session_file ,S_(\\d{2})(\\d{2})(\\d{2})_(\\d{2})-(\\d{2}).csv$"));
    return pattern;
}

const QRegularExpression &startKmPattern()
{
    static const QRegularExpression pattern(QStringLiteral("^Km @ Start ,(\\d+\\.\\d*)$"));
    return pattern;
}

const QRegularExpression &startTimePattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^Time @ Start ,(\\d{2})[-/](\\d{2})[-/](\\d{2})$"));
    return pattern;
}

// The tag and start time patterns match lines of a few dozen characters;
// the start distance may carry any number of digits, so a longer line is
// matched on its bytes rather than turned into a string.
constexpr qint64 LongHeaderLine = 4096;

// "Km @ Start ," followed by digits, a point and digits, on the raw bytes of
// an ASCII line. (The pattern's \d stands for ASCII digits only, as
// QRegularExpression does without Unicode properties; a line with other
// bytes goes to the pattern itself.)
bool matchLongStartKm(const TextLineReader &reader, double &km)
{
    static const char prefix[] = "Km @ Start ,";
    const qint64 prefixSize = sizeof prefix - 1;
    const char *p = reader.lineBegin();
    const char *end = reader.lineEnd();
    if (end - p < prefixSize || std::memcmp(p, prefix, size_t(prefixSize)) != 0)
        return false;
    const char *number = p + prefixSize;
    auto isDigit = [](char c) { return unsigned(c) - '0' < 10u; };
    p = number;
    while (p != end && isDigit(*p))
        ++p;
    if (p == number || p == end || *p != '.')
        return false;
    ++p;
    while (p != end && isDigit(*p))
        ++p;
    if (p != end)
        return false;
    km = FieldConverter::toDouble(number, end, reader);
    return true;
}

// Fields of a sample line and where they go; see appendSample.
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
    PhotoField = 19,
    MinimumFields = 19
};

enum Column {
    PowerLeftColumn, PowerRightColumn, PowerTotColumn, OffsetLeftColumn, OffsetRightColumn,
    UpDownLeftColumn, UpDownRightColumn, HeightColumn, SpeedColumn, HeartRateColumn,
    CadenceColumn, TimeColumn, SpaceColumn, LongitudeColumn, LatitudeColumn, ColumnCount
};

// Splits one sample line at its commas and appends its values to the
// columns; false for a line with fewer than 19 fields, which adds nothing.
template<typename Char>
bool appendSample(const Char *p, const Char *end, const TextLineReader &reader,
                  SampleColumns<ColumnCount> &columns, QMap<int, QString> &photos)
{
    double value[MinimumFields] = {};
    const Char *photoBegin = nullptr;
    const Char *photoEnd = nullptr;
    int fields = 0;
    for (int field = 0;; ++field) {
        const Char *next;
        switch (field) {
        case TimeField:
            next = FieldConverter::seconds(p, end, value[field], reader);
            break;
        case LongitudeField: case LatitudeField: case HeightField: case HeartRateField:
        case CadenceField: case SpeedField: case PowerTotField: case PowerLeftField:
        case PowerRightField: case OffsetLeftField: case OffsetRightField:
        case UpDownLeftField: case UpDownRightField: case SpaceField:
            next = FieldConverter::number(p, end, value[field], reader);
            break;
        case PhotoField:
            next = FieldConverter::fieldEnd(p, end);
            photoBegin = p;
            photoEnd = next;
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

    double row[ColumnCount];
    row[PowerLeftColumn] = value[PowerLeftField];
    row[PowerRightColumn] = value[PowerRightField];
    row[PowerTotColumn] = value[PowerTotField];
    row[OffsetLeftColumn] = value[OffsetLeftField];
    row[OffsetRightColumn] = value[OffsetRightField];
    row[UpDownLeftColumn] = value[UpDownLeftField];
    row[UpDownRightColumn] = value[UpDownRightField];
    row[HeightColumn] = value[HeightField] / 10; // metres in the file, tens of metres here
    row[SpeedColumn] = value[SpeedField];
    row[HeartRateColumn] = value[HeartRateField];
    row[CadenceColumn] = value[CadenceField];
    row[TimeColumn] = value[TimeField];
    row[SpaceColumn] = value[SpaceField];
    row[LongitudeColumn] = value[LongitudeField];
    row[LatitudeColumn] = value[LatitudeField];
    columns.append(row);
    if (fields > PhotoField)
        photos.insert(columns.size() - 1, FieldConverter::toText(photoBegin, photoEnd, reader));
    return true;
}

bool appendSample(const TextLineReader &reader, SampleColumns<ColumnCount> &columns,
                  QMap<int, QString> &photos)
{
    if (reader.isDecoded()) {
        const auto *line = reinterpret_cast<const ushort *>(reader.decodedLine().utf16());
        return appendSample(line, line + reader.decodedLine().size(), reader, columns, photos);
    }
    return appendSample(reader.lineBegin(), reader.lineEnd(), reader, columns, photos);
}

} // namespace


void SessionRecord::reset()
{
    fileName.clear();
    for (int number = 0; number < ChannelCount; ++number)
        channel(number)->clear();
    longitude.clear();
    latitude.clear();
    photos.clear();
    turns.clear();
    startDateTime = QDateTime();
    startKm = 0.0;
    xData = nullptr;
}

void SessionRecord::setXChannel(int number)
{
    xChannel = number;
    if (const QVector<double> *array = channel(number))
        xData = array;
}

QVector<double> *SessionRecord::channel(int number)
{
    return const_cast<QVector<double> *>(static_cast<const SessionRecord *>(this)->channel(number));
}

const QVector<double> *SessionRecord::channel(int number) const
{
    switch (number) {
    case PowerLeftChannel: return &powerLeft;
    case PowerRightChannel: return &powerRight;
    case PowerTotChannel: return &powerTot;
    case OffsetLeftChannel: return &offsetLeft;
    case OffsetRightChannel: return &offsetRight;
    case UpDownLeftChannel: return &upDownLeft;
    case UpDownRightChannel: return &upDownRight;
    case HeightChannel: return &height;
    case SpeedChannel: return &speed;
    case HeartRateChannel: return &heartRate;
    case CadenceChannel: return &cadence;
    case TimeChannel: return &time;
    case SpaceChannel: return &space;
    default: return nullptr;
    }
}

bool SessionRecord::read(const QString &path)
{
    reset();
    const QFileInfo info(path);
    fileName = info.fileName();

    // Only a plain file: opening a pipe would wait for a writer, a device
    // might never end.
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    TextLineReader reader(file);
    const qint64 expectedSamples = reader.countRecords(4, MinimumFields - 1, INT_MAX, false);
    bool accepted = true;

    // Tag line: date, and hour and minute, of the start.
    QRegularExpressionMatch match;
    if (reader.readLine())
        match = tagPattern().match(reader.lineText(LongHeaderLine));
    if (match.hasMatch()) {
        startDateTime = QDateTime(
            QDate(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt()),
            QTime(match.captured(4).toInt(), match.captured(5).toInt(), 0));
    } else {
        accepted = false;
    }

    // Start distance.
    match = QRegularExpressionMatch();
    bool kmTaken = false;
    if (reader.readLine()) {
        if (!reader.isDecoded() && reader.lineSize() > LongHeaderLine && reader.lineIsAscii()) {
            kmTaken = matchLongStartKm(reader, startKm);
        } else {
            match = startKmPattern().match(reader.lineText());
            if (match.hasMatch()) {
                startKm = match.captured(1).toDouble();
                kmTaken = true;
            }
        }
    }
    if (!kmTaken)
        accepted = false;

    // Start time, to the second.
    match = QRegularExpressionMatch();
    if (reader.readLine())
        match = startTimePattern().match(reader.lineText(LongHeaderLine));
    if (match.hasMatch()) {
        startDateTime.setTime(QTime(match.captured(1).toInt(), match.captured(2).toInt(),
                                    match.captured(3).toInt()));
    } else {
        accepted = false;
    }

    // Caption line.
    reader.readLine();

    SampleColumns<ColumnCount> columns({&powerLeft, &powerRight, &powerTot, &offsetLeft,
                                        &offsetRight, &upDownLeft, &upDownRight, &height, &speed,
                                        &heartRate, &cadence, &time, &space, &longitude,
                                        &latitude},
                                       expectedSamples);
    for (;;) {
        if (!reader.readLine()) {
            // The end of the file before the separator line.
            accepted = false;
            break;
        }
        if (reader.lineEquals(QLatin1String("#####")))
            break;
        if (!appendSample(reader, columns, photos))
            accepted = false;
    }
    columns.finish();
    file.close();

    if (!accepted)
        return false;
    return scanTurnFiles(info.dir().path());
}

bool SessionRecord::scanTurnFiles(const QString &directory)
{
    const QDir dir(directory);
    const QStringList names =
        dir.entryList(QStringList(QStringLiteral("T_*.csv")), QDir::Files, QDir::Name);
    const QString base = dir.absolutePath() + QLatin1Char('/');
    bool allRead = true;
    for (const QString &name : names) {
        turns.append(TurnRecord());
        allRead = turns.last().read(base + name) && allRead;
    }
    return allRead;
}
