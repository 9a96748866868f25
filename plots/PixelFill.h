#ifndef VOK_PIXELFILL_H
#define VOK_PIXELFILL_H

#include <QBrush>
#include <QRect>
#include <QVector>

#include <vector>

class QPainter;

// Fills many small rectangles of one opaque colour, as QPainter::fillRect
// would, for a dense curve's column strokes. Each fillRect sets up the
// raster engine's span filling anew, which costs far more than the few
// pixels of a column; where the painter paints on an image of 32-bit pixels,
// one to one and unsmoothed, the rectangles are written into the image's
// rows instead, within the painter's clip. Rectangles that reach the edge of
// a clip that is not a plain rectangle, and every rectangle of any other
// painter, go through fillRect.
class PixelFill
{
public:
    PixelFill(QPainter *painter, const QColor &colour);

    // A rectangle in the painter's coordinates.
    void fill(const QRect &rect);
    // Rectangles within bounds, all moved by at: where bounds lie within
    // the clip, their pixels are written without looking at each.
    void fill(const std::vector<QRect> &rects, const QRect &bounds, const QPoint &at);

private:
    // Writes rect, in the image's coordinates, if it lies within the clip.
    bool write(const QRect &rect);
    // Writes rect, in the image's coordinates, known to lie within the clip.
    void writeInside(const QRect &rect);

    QPainter *painter;
    QBrush brush;
    uchar *bits = nullptr; // the image's pixels; nullptr fills through the painter
    qsizetype bytesPerLine = 0;
    quint32 pixel = 0;
    QPoint offset;       // painter to image coordinates
    QVector<QRect> clip; // where pixels may be written, in image coordinates
};

#endif
