#include "TimeScaleDraw.h"

#include <qwt_text.h>

#include <limits>

TimeScaleDraw::TimeScaleDraw(const QTime &base, const QString &format)
    : baseTime(base)
    , format(format)
{
}

TimeScaleDraw::~TimeScaleDraw() = default;

QwtText TimeScaleDraw::label(double v) const
{
    // Whole seconds, truncated toward zero; values beyond int range saturate.
    const double clamped = qBound(double(std::numeric_limits<int>::min()), v,
                                  double(std::numeric_limits<int>::max()));
    const int seconds = v == v ? int(clamped) : 0;
    return QwtText(baseTime.addSecs(seconds).toString(format));
}
