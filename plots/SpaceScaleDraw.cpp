#include "SpaceScaleDraw.h"

#include <QString>
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
