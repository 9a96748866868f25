#include "StrokeShapes.h"

#include <QImage>

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
        found = shapes.emplace(rise, learn(pen, hints, rise)).first;
    return &found->second;
}

StrokeShapes::Shape StrokeShapes::learn(const QPen &pen, QPainter::RenderHints hints, int rise)
{
    // Room for the pen's width around the line on every side.
    const int margin = int(std::ceil(pen.widthF())) + 2;
    const QPoint start(margin, margin + std::max(0, -rise));
    QImage scratch(2 * margin + 2, 2 * margin + std::abs(rise) + 1,
                   QImage::Format_ARGB32_Premultiplied);
    scratch.fill(Qt::transparent);
    {
        QPainter painter(&scratch);
        painter.setRenderHints(hints);
        QPen opaque = pen;
        opaque.setColor(Qt::black);
        painter.setPen(opaque);
        painter.drawLine(QLineF(start, start + QPoint(1, rise)));
    }
    // Each column's runs of covered pixels.
    Shape shape;
    for (int x = 0; x < scratch.width(); ++x) {
        int top = -1;
        for (int y = 0; y <= scratch.height(); ++y) {
            const bool covered = y < scratch.height() && qAlpha(scratch.pixel(x, y)) != 0;
            if (covered && top < 0)
                top = y;
            if (!covered && top >= 0) {
                const QRect rect = QRect(x, top, 1, y - top).translated(-start);
                shape.rects.push_back(rect);
                shape.bounds |= rect;
                top = -1;
            }
        }
    }
    return shape;
}
