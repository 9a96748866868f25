#include "StrokeShapes.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Far enough for any canvas; farther rises are stroked.
constexpr int longestRise = 4096;

} // namespace

const StrokeShapes::Shape *StrokeShapes::shape(const QPen &strokePen,
                                               QPainter::RenderHints renderHints, int rise)
{
    if (std::abs(rise) > longestRise)
        return nullptr;
    if (strokePen != pen || renderHints != hints) {
        shapes.clear();
        pen = strokePen;
        hints = renderHints;
    }
    auto found = shapes.find(rise);
    if (found == shapes.end())
        found = shapes.emplace(rise, covered(pen, hints, QLineF(0.0, 0.0, 1.0, rise))).first;
    return &found->second;
}

StrokeShapes::Shape StrokeShapes::covered(const QPen &pen, QPainter::RenderHints hints,
                                          const QLineF &line)
{
    // Room for the pen's width around the line on every side.
    const int margin = int(std::ceil(std::max(qreal(1.0), pen.widthF()))) + 2;
    const QRectF span = QRectF(line.p1(), line.p2()).normalized();
    const QPoint origin(int(std::floor(span.left())) - margin, int(std::floor(span.top())) - margin);
    const QSize size(int(std::ceil(span.right())) + margin - origin.x() + 1,
                     int(std::ceil(span.bottom())) + margin - origin.y() + 1);
    QImage scratch(size, QImage::Format_ARGB32_Premultiplied);
    scratch.fill(Qt::transparent);
    {
        QPainter painter(&scratch);
        painter.setRenderHints(hints);
        painter.translate(-origin);
        QPen opaque = pen;
        opaque.setColor(Qt::black);
        painter.setPen(opaque);
        painter.drawLine(line);
    }
    // Each column's runs of covered pixels.
    Shape shape;
    for (int x = 0; x < scratch.width(); ++x) {
        int top = -1;
        for (int y = 0; y <= scratch.height(); ++y) {
            const bool covered = y < scratch.height()
                                 && qAlpha(reinterpret_cast<const QRgb *>(scratch.constScanLine(y))[x]) != 0;
            if (covered && top < 0)
                top = y;
            if (!covered && top >= 0) {
                const QRect rect = QRect(x, top, 1, y - top).translated(origin);
                shape.rects.push_back(rect);
                shape.bounds |= rect;
                top = -1;
            }
        }
    }
    return shape;
}
