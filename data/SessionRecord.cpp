#include "SessionRecord.h"

#include "FieldConverter.h"
#include "SampleLineReader.h"
#include "TextLineReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cstring>

namespace {

const QRegularExpression &tagPattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^VOK_session_file ,S_(\\d{2})(\\d{2})(\\d{2})_(\\d{2})-(\\d{2}).csv$"));
    return pattern;
}

const QRegularExpression &startTimePattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^Time @ Start ,(\\d{2})[-/](\\d{2})[-/](\\d{2})$"));
    return pattern;
}

// The tag and start time patterns match lines of a few dozen characters: a
// longer line is not turned into text at all.
QRegularExpressionMatch matchHeaderLine(const QRegularExpression &pattern, TextLineReader &reader)
{
    if (!reader.readLine() || reader.lineSize() > 4096)
        return QRegularExpressionMatch();
    return pattern.match(reader.lineText());
}

// The start distance line: "Km @ Start ," then ASCII digits, a point and
// ASCII digits, matched on its bytes, since the digits may be any number.
bool matchStartKm(const char *p, const char *end, double &km)
{
    static const char prefix[] = "Km @ Start ,";
    const qint64 prefixSize = sizeof prefix - 1;
    if (end - p < prefixSize || std::memcmp(p, prefix, size_t(prefixSize)) != 0)
        return false;
    const char *number = p + prefixSize;
    auto isDigit = [](char c) { return unsigned(c) - '0' < 10u; };
    for (p = number; p != end && isDigit(*p); ++p) {
    }
    if (p == number || p == end || *p != '.')
        return false;
    for (++p; p != end && isDigit(*p); ++p) {
    }
    if (p != end)
        return false;
    km = FieldConverter::toDouble(number, end);
    return true;
}

} // namespace


void SessionRecord::reset()
{
    fileName.clear();
    // The arrays keep their memory: the next ride's arrays take its place one
    // at a time (SampleColumns), where freeing it all at once would hand it
    // back to the system, to be fetched again page by page.
    for (int number = 0; number < ChannelCount; ++number)
        channel(number)->clear();
    longitude.clear();
    latitude.clear();
    photos.clear();
    turns.clear();
    startDateTime = QDateTime();
    startKm = 0.0;
    xData = nullptr;
    rideIndex.clear();
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
    const bool read = readFile(path);
    rideIndex.build(*this);
    return read;
}

bool SessionRecord::readFile(const QString &path)
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
    const qint64 expectedSamples = reader.countRecords(4, SampleLineReader::MinimumFields - 1);
    rideIndex.prepare(expectedSamples);
    bool accepted = true;

    // Tag line: date, and hour and minute, of the start.
    QRegularExpressionMatch match = matchHeaderLine(tagPattern(), reader);
    if (match.hasMatch()) {
        startDateTime = QDateTime(
            QDate(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt()),
            QTime(match.captured(4).toInt(), match.captured(5).toInt(), 0));
    } else {
        accepted = false;
    }

    // Start distance.
    if (!reader.readLine() || !matchStartKm(reader.lineBegin(), reader.lineEnd(), startKm))
        accepted = false;

    // Start time, to the second.
    match = matchHeaderLine(startTimePattern(), reader);
    if (match.hasMatch()) {
        startDateTime.setTime(QTime(match.captured(1).toInt(), match.captured(2).toInt(),
                                    match.captured(3).toInt()));
    } else {
        accepted = false;
    }

    // Caption line.
    reader.readLine();

    SampleLineReader::Columns columns({&powerLeft, &powerRight, &powerTot, &offsetLeft,
                                       &offsetRight, &upDownLeft, &upDownRight, &height, &speed,
                                       &heartRate, &cadence, &time, &space, &longitude,
                                       &latitude},
                                      expectedSamples);
    accepted = SampleLineReader::read(reader, columns, photos) && accepted;
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
