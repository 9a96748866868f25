#include "TimeScaleDraw.h"

#include <qwt_text.h>

#include <cmath>
#include <limits>

namespace {

constexpr qint64 secondsPerDay = 24 * 3600;

} // namespace

TimeScaleDraw::TimeScaleDraw(const QTime &base, const QString &format, Reading reading)
    : baseTime(base)
    , format(format)
    , reading(reading)
{
}

TimeScaleDraw::~TimeScaleDraw() = default;

QwtText TimeScaleDraw::label(double v) const
{
    if (!baseTime.isValid())
        return QwtText();
    // Whole seconds, truncated toward zero. Values beyond the int range
    // (the tracker far outside the data) saturate instead of overflowing.
    int seconds = 0;
    if (!std::isnan(v)) {
        seconds = int(qBound(double(std::numeric_limits<int>::min()), std::trunc(v),
                             double(std::numeric_limits<int>::max())));
    }
    // The moment labelled, in seconds from the midnight before the base
    // time. A clock starts again at midnight; an elapsed reading counts its
    // hours on past a day.
    qint64 count = qint64(QTime(0, 0).secsTo(baseTime)) + seconds;
    if (reading == TimeOfDay || count < secondsPerDay)
        count = (count % secondsPerDay + secondsPerDay) % secondsPerDay;
    return QwtText(fieldsLabel(count), QwtText::PlainText);
}

// The unit formats hold the fields h, m and s, one or two letters each (two
// pad with a zero), and separators. Written digit by digit: a zoom step
// labels some eighty ticks, and QTime::toString goes through the locale's
// calendar for each, QString::number through its digits.
QString TimeScaleDraw::fieldsLabel(qint64 seconds) const
{
    QString text;
    text.reserve(format.size() + 4);
    for (int i = 0; i < format.size();) {
        const QChar field = format.at(i);
        int width = 1;
        while (i + width < format.size() && format.at(i + width) == field && width < 2)
            ++width;
        qint64 value = -1;
        if (field == QLatin1Char('h'))
            value = seconds / 3600;
        else if (field == QLatin1Char('m'))
            value = seconds / 60 % 60;
        else if (field == QLatin1Char('s'))
            value = seconds % 60;
        if (value < 0) {
            text += field;
            ++i;
            continue;
        }
        char digits[20];
        int count = 0;
        do {
            digits[count++] = char('0' + value % 10);
            value /= 10;
        } while (value > 0);
        for (int pad = count; pad < width; ++pad)
            text += QLatin1Char('0');
        while (count > 0)
            text += QLatin1Char(digits[--count]);
        i += width;
    }
    return text;
}

double TimeScaleDraw::baseSeconds() const
{
    return baseTime.isValid() ? baseTime.msecsSinceStartOfDay() / 1000 : 0.0;
}

double TimeScaleDraw::resolution() const
{
    if (format.contains(QLatin1Char('s')))
        return 1.0;
    if (format.contains(QLatin1Char('m')))
        return 60.0;
    if (format.contains(QLatin1Char('h')))
        return 3600.0;
    return 1.0;
}

QString TimeScaleDraw::unitFormat(quint32 unit)
{
    switch (unit) {
    case 0: return QStringLiteral("hh:mm:ss");
    case 1: return QStringLiteral("hh:mm");
    case 2: return QStringLiteral("hh");
    case 3: return QStringLiteral("mm:ss");
    case 4: return QStringLiteral("mm");
    case 5: return QStringLiteral("ss");
    default: return QStringLiteral("Error");
    }
}
