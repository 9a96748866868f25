#include "TimeScaleDraw.h"

#include <qwt_text.h>

#include <cmath>
#include <limits>

TimeScaleDraw::TimeScaleDraw(const QTime &base, const QString &format)
    : baseTime(base)
    , format(format)
{
}

TimeScaleDraw::~TimeScaleDraw() = default;

QwtText TimeScaleDraw::label(double v) const
{
    // Whole seconds, truncated toward zero. Values beyond the int range
    // (the tracker far outside the data) saturate instead of overflowing.
    int seconds = 0;
    if (!std::isnan(v)) {
        seconds = int(qBound(double(std::numeric_limits<int>::min()), std::trunc(v),
                             double(std::numeric_limits<int>::max())));
    }
    return QwtText(baseTime.addSecs(seconds).toString(format));
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
