#include "SpaceScaleDraw.h"

#include <qwt_text.h>

SpaceScaleDraw::SpaceScaleDraw(double offset, double factor)
    : offset(offset)
    , factor(factor)
{
}

SpaceScaleDraw::~SpaceScaleDraw() = default;

QwtText SpaceScaleDraw::label(double v) const
{
    return QwtText(QStringLiteral("%1").arg((v + offset) * factor, 0, 'f', 3, QLatin1Char(' ')));
}

QString SpaceScaleDraw::unitText(quint32 unit)
{
    switch (unit) {
    case 0: return QStringLiteral("Km");
    case 1: return QStringLiteral("meters");
    default: return QStringLiteral("error");
    }
}

double SpaceScaleDraw::unitFactor(quint32 unit)
{
    return unit == 1 ? 1000.0 : 1.0;
}
