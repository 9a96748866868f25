#include "PlotGrid.h"

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
        minorAcross = &stroke(0, minor, Qt::Vertical, y1, y2);
        minorAlong = &stroke(1, minor, Qt::Horizontal, x1, x2);
        majorAcross = &stroke(2, major, Qt::Vertical, y1, y2);
        majorAlong = &stroke(3, major, Qt::Horizontal, x1, x2);
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
    for (double tick : values) {
        const double value = qRound(map.transform(tick)); // a raster painter aligns
        if (!qwtFuzzyGreaterOrEqual(value, low) || !qwtFuzzyLessOrEqual(value, high))
            continue;
        const QPoint at = vertical ? QPoint(int(value), 0) : QPoint(0, int(value));
        painter->fillRect(line.rect.translated(at), line.pen.color());
    }
}

const PlotGrid::Stroke &PlotGrid::stroke(int kind, const QPen &pen, Qt::Orientation orientation,
                                         double from, double to) const
{
    Stroke &slot = strokes[kind];
    if (slot.pen == pen && slot.orientation == orientation && slot.from == from && slot.to == to
        && !slot.rect.isNull())
        return slot;

    // The line at 0 across, with room for the pen's width on every side.
    const int margin = int(std::ceil(std::max(1.0, pen.widthF()))) + 2;
    const int start = int(std::floor(from)) - margin;
    const int length = int(std::ceil(to)) + margin - start + 1;
    const QSize size = orientation == Qt::Vertical ? QSize(2 * margin + 1, length)
                                                   : QSize(length, 2 * margin + 1);
    const QPoint origin = orientation == Qt::Vertical ? QPoint(-margin, start)
                                                      : QPoint(start, -margin);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.translate(-origin);
    painter.setPen(pen);
    if (orientation == Qt::Vertical)
        painter.drawLine(QPointF(0.0, from), QPointF(0.0, to));
    else
        painter.drawLine(QPointF(from, 0.0), QPointF(to, 0.0));
    painter.end();

    // The pixels stroked, and whether they fill a rectangle in the pen's
    // colour, as an opaque pen along an axis does.
    QRect inked;
    for (int row = 0; row < image.height(); ++row) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(row));
        for (int column = 0; column < image.width(); ++column) {
            if (line[column] != 0)
                inked |= QRect(column, row, 1, 1);
        }
    }
    const QRgb colour = qPremultiply(pen.color().rgba());
    bool solid = !inked.isEmpty();
    for (int row = inked.top(); solid && row <= inked.bottom(); ++row) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(row));
        for (int column = inked.left(); column <= inked.right(); ++column)
            solid = solid && line[column] == colour;
    }
    slot.pen = pen;
    slot.orientation = orientation;
    slot.from = from;
    slot.to = to;
    slot.rect = inked.translated(origin);
    slot.solid = solid;
    return slot;
}
