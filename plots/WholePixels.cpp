#include "WholePixels.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPen>

#include <cmath>

bool WholePixels::oneToOne(const QPainter *painter)
{
    const QTransform device = painter->deviceTransform();
    return painter->paintEngine() && painter->paintEngine()->type() == QPaintEngine::Raster
           && device.type() <= QTransform::TxTranslate && device.dx() == std::floor(device.dx())
           && device.dy() == std::floor(device.dy()) && painter->opacity() == 1.0
           && painter->compositionMode() == QPainter::CompositionMode_SourceOver;
}

bool WholePixels::opaqueStrokes(const QPainter *painter, const QPen &pen)
{
    return oneToOne(painter) && !painter->testRenderHint(QPainter::Antialiasing)
           && pen.style() == Qt::SolidLine && pen.brush().style() == Qt::SolidPattern
           && pen.color().alpha() == 255;
}
