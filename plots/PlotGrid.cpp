#include "PlotGrid.h"

#include "PixelFill.h"
#include "StrokeShapes.h"
#include "WholePixels.h"

#include <QPainter>
#include <qwt_math.h>
#include <qwt_scale_div.h>
#include <qwt_scale_map.h>

#include <cmath>

void PlotGrid::draw(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                    const QRectF &canvasRect) const
{
    // The pens of QwtPlotGrid::draw, and the ends of its lines.
    QPen minor = minorPen();
    minor.setCapStyle(Qt::FlatCap);
    QPen major = majorPen();
    major.setCapStyle(Qt::FlatCap);
    const double x1 = canvasRect.left();
    const double x2 = canvasRect.right() - 1.0;
    const double y1 = canvasRect.top();
    const double y2 = canvasRect.bottom() - 1.0;
    const Stroke *minorAcross = nullptr, *minorAlong = nullptr, *majorAcross = nullptr,
                 *majorAlong = nullptr;
    if (WholePixels::opaqueStrokes(painter, minor) && WholePixels::opaqueStrokes(painter, major)) {
        const QPainter::RenderHints hints = painter->renderHints();
        minorAcross = &stroke(0, minor, hints, Qt::Vertical, y1, y2);
        minorAlong = &stroke(1, minor, hints, Qt::Horizontal, x1, x2);
        majorAcross = &stroke(2, major, hints, Qt::Vertical, y1, y2);
        majorAlong = &stroke(3, major, hints, Qt::Horizontal, x1, x2);
    }
    if (!minorAcross || !minorAcross->solid || !minorAlong->solid || !majorAcross->solid
        || !majorAlong->solid) {
        QwtPlotGrid::draw(painter, xMap, yMap, canvasRect);
        return;
    }

    // The lines in the order QwtPlotGrid::draw strokes them.
    if (xEnabled() && xMinEnabled()) {
        fillLines(painter, canvasRect, xMap, xScaleDiv().ticks(QwtScaleDiv::MinorTick), *minorAcross);
        fillLines(painter, canvasRect, xMap, xScaleDiv().ticks(QwtScaleDiv::MediumTick),
                  *minorAcross);
    }
    if (yEnabled() && yMinEnabled()) {
        fillLines(painter, canvasRect, yMap, yScaleDiv().ticks(QwtScaleDiv::MinorTick), *minorAlong);
        fillLines(painter, canvasRect, yMap, yScaleDiv().ticks(QwtScaleDiv::MediumTick),
                  *minorAlong);
    }
    if (xEnabled())
        fillLines(painter, canvasRect, xMap, xScaleDiv().ticks(QwtScaleDiv::MajorTick), *majorAcross);
    if (yEnabled())
        fillLines(painter, canvasRect, yMap, yScaleDiv().ticks(QwtScaleDiv::MajorTick), *majorAlong);
}

// Where QwtPlotGrid::drawLines strokes a line, the rectangle that stroke
// covers.
void PlotGrid::fillLines(QPainter *painter, const QRectF &canvasRect, const QwtScaleMap &map,
                         const QList<double> &values, const Stroke &line) const
{
    const bool vertical = line.orientation == Qt::Vertical;
    const double low = vertical ? canvasRect.left() : canvasRect.top();
    const double high = (vertical ? canvasRect.right() : canvasRect.bottom()) - 1.0;
    PixelFill fill(painter, line.pen.color());
    for (double tick : values) {
        const double value = qRound(map.transform(tick)); // a raster painter aligns
        if (!qwtFuzzyGreaterOrEqual(value, low) || !qwtFuzzyLessOrEqual(value, high))
            continue;
        const QPoint at = vertical ? QPoint(int(value), 0) : QPoint(0, int(value));
        fill.fill(line.rect.translated(at));
    }
}

const PlotGrid::Stroke &PlotGrid::stroke(int kind, const QPen &pen, QPainter::RenderHints hints,
                                         Qt::Orientation orientation, double from,
                                         double to) const
{
    Stroke &slot = strokes[kind];
    if (slot.pen == pen && slot.hints == hints && slot.orientation == orientation
        && slot.from == from && slot.to == to && !slot.rect.isNull())
        return slot;

    // The line at 0 across; whether its pixels fill a rectangle, as an
    // opaque pen along an axis does.
    const QLineF line = orientation == Qt::Vertical ? QLineF(0.0, from, 0.0, to)
                                                    : QLineF(from, 0.0, to, 0.0);
    const StrokeShapes::Shape shape = StrokeShapes::covered(pen, hints, line);
    qint64 area = 0;
    for (const QRect &run : shape.rects)
        area += qint64(run.width()) * run.height();
    slot.pen = pen;
    slot.hints = hints;
    slot.orientation = orientation;
    slot.from = from;
    slot.to = to;
    slot.rect = shape.bounds;
    slot.solid = area > 0 && area == qint64(shape.bounds.width()) * shape.bounds.height();
    return slot;
}
