#ifndef VOK_STROKESHAPES_H
#define VOK_STROKESHAPES_H

#include <QPainter>
#include <QPen>
#include <QRect>

#include <unordered_map>
#include <vector>

// The pixels a pen's stroke covers along a line from one pixel column to
// the next, by how far the line rises, learned once by stroking it on a
// scratch image (covered(), which also serves other lines). Stroking each of the many short lines between a dense
// curve's columns runs the raster engine's stroker for a handful of
// pixels; the same pixels are far faster filled, and come out the same
// wherever the line lies, since a painter that moves by whole pixels moves
// them all alike.
class StrokeShapes
{
public:
    // The pixels, as rectangles relative to the line's start, that pen
    // strokes from (0, 0) to (1, rise) on a painter of these hints that puts
    // pixels one to one; nullptr for a rise too far to learn.
    // The rectangles and the bounds of them all.
    struct Shape {
        std::vector<QRect> rects;
        QRect bounds;
    };
    const Shape *shape(const QPen &pen, QPainter::RenderHints hints, int rise);

    // The pixels pen covers stroking line, as runs down each pixel column in
    // the line's own coordinates, on a painter of these hints that puts
    // pixels one to one: stroked once on a scratch image and read back.
    static Shape covered(const QPen &pen, QPainter::RenderHints hints, const QLineF &line);

    QPen pen;
    QPainter::RenderHints hints;
    std::unordered_map<int, Shape> shapes; // by rise, for pen and hints
};

#endif
