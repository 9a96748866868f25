#include "TurnRecord.h"

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
    return false;
}

bool TurnRecord::operator==(const TurnRecord &other) const
{
    return power == other.power && forceLeft == other.forceLeft && forceRight == other.forceRight
        && angle == other.angle && timestamp == other.timestamp && path == other.path;
}
