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

enum Column { AngleColumn, PowerColumn, ForceLeftColumn, ForceRightColumn, ColumnCount };

// A data line has exactly five fields: a sample number, then the angle,
// the power and the two forces. False for any other number of fields.
bool appendAngleSample(const char *p, const char *end, SampleColumns<ColumnCount> &columns)
{
    p = FieldConverter::fieldEnd(p, end);
    if (p == end)
        return false;
    double value[ColumnCount];
    for (int column = 0; column < ColumnCount; ++column) {
        p = FieldConverter::number(p + 1, end, value[column]);
        if ((p == end) != (column == ColumnCount - 1))
            return false;
    }
    columns.append(value);
    return true;
}

} // namespace

void TurnRecord::reset()
{
    path.clear();
    power = forceLeft = forceRight = angle = QVector<double>();
    timestamp = QDateTime();
    complete = false;
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

    // The tag pattern matches a few dozen characters: a longer line is not
    // turned into text at all.
    QRegularExpressionMatch match;
    if (reader.readLine() && reader.lineSize() <= 4096)
        match = tagPattern().match(reader.lineText());
    if (!match.hasMatch())
        return false;
    timestamp = QDateTime(
        QDate(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt()),
        QTime(match.captured(4).toInt(), match.captured(5).toInt(), match.captured(6).toInt()));

    // Single-turn files are short: the arrays grow as they are filled.
    SampleColumns<ColumnCount> columns({&angle, &power, &forceLeft, &forceRight}, -1);
    bool separatorReached = false;
    // A file that ends before its separator line is not read to the end.
    while (reader.readLine()) {
        if (reader.lineEquals(QLatin1String("#####"))) {
            separatorReached = true;
            break;
        }
        if (!appendAngleSample(reader.lineBegin(), reader.lineEnd(), columns))
            break;
    }
    columns.finish();
    complete = separatorReached;
    return separatorReached;
}

bool TurnRecord::operator==(const TurnRecord &other) const
{
    return power == other.power && forceLeft == other.forceLeft && forceRight == other.forceRight
        && angle == other.angle && timestamp == other.timestamp && path == other.path;
}
