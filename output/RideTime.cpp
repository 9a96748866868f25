#include "RideTime.h"

#include <cmath>

RideTime::RideTime(const QDateTime &sessionStart)
{
    if (!sessionStart.isValid()) {
        origin = QDateTime::fromSecsSinceEpoch(0, Qt::UTC);
        return;
    }
    QDate date = sessionStart.date();
    if (date.year() >= 0 && date.year() < 100)
        date = QDate(2000 + date.year(), date.month(), date.day());
    origin = QDateTime(date, sessionStart.time(), Qt::LocalTime);
}

QDateTime RideTime::at(double elapsedSeconds) const
{
    constexpr double century = 100.0 * 366.0 * 24.0 * 3600.0;
    const bool plausible = elapsedSeconds >= 0.0 && elapsedSeconds <= century;
    return origin.addMSecs(plausible ? std::llround(elapsedSeconds * 1000.0) : 0);
}

QString RideTime::text(const QDateTime &moment)
{
    QString result = moment.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    if (moment.time().msec() != 0)
        result += moment.toString(QStringLiteral(".zzz"));
    if (moment.timeSpec() == Qt::UTC)
        return result + QLatin1Char('Z');
    const int offset = moment.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    result += QLatin1Char(offset < 0 ? '-' : '+');
    result += QStringLiteral("%1:%2")
                  .arg(minutes / 60, 2, 10, QLatin1Char('0'))
                  .arg(minutes % 60, 2, 10, QLatin1Char('0'));
    return result;
}
