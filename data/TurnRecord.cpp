#include "TurnRecord.h"

#include "FieldConverter.h"
#include "SampleColumns.h"
#include "TextLineReader.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

const QRegularExpression &tagPattern()
{
    static const QRegularExpression pattern(QStringLiteral(
        "^VOK_Single_Turn_file ,T_(\\d{2})(\\d{2})(\\d{2}).(\\d{2})-(\\d{2})-(\\d{2}).csv$"));
    return pattern;
}

// The tag pattern matches a few dozen characters at most.
constexpr qint64 LongTagLine = 4096;

enum Column { AngleColumn, PowerColumn, ForceLeftColumn, ForceRightColumn, ColumnCount };

// A data line has exactly five fields: a sample number, then the angle,
// the power and the two forces. False for any other number of fields.
template<typename Char>
bool appendAngleSample(const Char *p, const Char *end, const TextLineReader &reader,
                       SampleColumns<ColumnCount> &columns)
{
    p = FieldConverter::fieldEnd(p, end);
    if (p == end)
        return false;
    double value[ColumnCount];
    for (int column = 0; column < ColumnCount; ++column) {
        p = FieldConverter::number(p + 1, end, value[column], reader);
        if ((p == end) != (column == ColumnCount - 1))
            return false;
    }
    columns.append(value);
    return true;
}

bool appendAngleSample(const TextLineReader &reader, SampleColumns<ColumnCount> &columns)
{
    if (reader.isDecoded()) {
        const auto *line = reinterpret_cast<const ushort *>(reader.decodedLine().utf16());
        return appendAngleSample(line, line + reader.decodedLine().size(), reader, columns);
    }
    return appendAngleSample(reader.lineBegin(), reader.lineEnd(), reader, columns);
}

} // namespace

void TurnRecord::reset()
{
    path.clear();
    power.clear();
    forceLeft.clear();
    forceRight.clear();
    angle.clear();
    timestamp = QDateTime();
}

bool TurnRecord::read(const QString &filePath)
{
    reset();
    path = filePath;

    // Only a plain file: opening a pipe would wait for a writer.
    QFile file(filePath);
    if (!QFileInfo(filePath).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    TextLineReader reader(file);
    const qint64 expectedSamples = reader.countRecords(1, 4, 4, true);

    QRegularExpressionMatch match;
    if (reader.readLine())
        match = tagPattern().match(reader.lineText(LongTagLine));
    if (!match.hasMatch())
        return false;
    timestamp = QDateTime(
        QDate(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt()),
        QTime(match.captured(4).toInt(), match.captured(5).toInt(), match.captured(6).toInt()));

    SampleColumns<ColumnCount> columns({&angle, &power, &forceLeft, &forceRight}, expectedSamples);
    bool separatorReached = false;
    // The end of the file reads as an empty line, which has one field.
    while (reader.readLine()) {
        if (reader.lineEquals(QLatin1String("#####"))) {
            separatorReached = true;
            break;
        }
        if (!appendAngleSample(reader, columns))
            break;
    }
    columns.finish();
    return separatorReached;
}

bool TurnRecord::operator==(const TurnRecord &other) const
{
    return power == other.power && forceLeft == other.forceLeft && forceRight == other.forceRight
        && angle == other.angle && timestamp == other.timestamp && path == other.path;
}
