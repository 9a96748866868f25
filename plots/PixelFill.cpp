#include "PixelFill.h"

#include "WholePixels.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cstring>

namespace {

// QRect::contains, which is not inline, for rectangles known to be valid.
inline bool within(const QRect &area, const QRect &rect)
{
    return rect.left() >= area.left() && rect.right() <= area.right() && rect.top() >= area.top()
           && rect.bottom() <= area.bottom();
}

} // namespace

PixelFill::PixelFill(QPainter *painter, const QColor &colour)
    : painter(painter)
    , brush(colour)
{
    if (colour.alpha() != 255 || !WholePixels::oneToOne(painter)
        || painter->testRenderHint(QPainter::Antialiasing))
        return;
    QPaintDevice *device = painter->paintEngine()->paintDevice();
    if (!device || device->devType() != QInternal::Image)
        return;
    auto *image = static_cast<QImage *>(device);
    const QImage::Format format = image->format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32
        && format != QImage::Format_ARGB32_Premultiplied)
        return;

    const QTransform moved = painter->deviceTransform(); // by whole pixels
    offset = QPoint(int(moved.dx()), int(moved.dy()));
    // The system clip (the part of a widget being painted) is exact; the
    // painter's own is used only where it is one rectangle. On whole pixels
    // (a canvas clips its items to its contents so) that rectangle is exact
    // too; between pixels it is taken a pixel inside on every side, so that
    // rounding its edges cannot matter. Rectangles reaching further go
    // through fillRect.
    QRegion region = painter->paintEngine()->systemClip();
    if (region.isEmpty())
        region = image->rect();
    region &= image->rect();
    if (painter->hasClipping()) {
        const QRegion own = painter->clipRegion();
        if (own.rectCount() != 1)
            return;
        const QRect bounds = own.boundingRect();
        const int inside = painter->clipBoundingRect() == QRectF(bounds) ? 0 : 1;
        region &= bounds.translated(offset).adjusted(inside, inside, -inside, -inside);
    }
    clip.reserve(region.rectCount());
    for (const QRect &rect : region)
        clip.append(rect);
    pixel = colour.rgba(); // opaque: the same premultiplied or not
    bytesPerLine = image->bytesPerLine();
    bits = image->bits(); // the painter's own: begin() detached them, a copy now copies them
}

void PixelFill::fill(const QRect &rect)
{
    if (!bits || !write(rect.translated(offset)))
        painter->fillRect(rect, brush);
}

void PixelFill::fill(const std::vector<QRect> &rects, const QRect &bounds, const QPoint &at)
{
    if (bits) {
        const QRect moved = bounds.translated(at + offset);
        for (const QRect &area : clip) {
            if (within(area, moved)) {
                for (const QRect &rect : rects)
                    writeInside(rect.translated(at + offset));
                return;
            }
        }
    }
    for (const QRect &rect : rects)
        fill(rect.translated(at));
}

bool PixelFill::write(const QRect &rect)
{
    if (rect.isEmpty())
        return true;
    for (const QRect &area : clip) {
        if (within(area, rect)) {
            writeInside(rect);
            return true;
        }
    }
    return false;
}

void PixelFill::writeInside(const QRect &rect)
{
    uchar *row = bits + rect.top() * bytesPerLine + rect.left() * qsizetype(sizeof pixel);
    const int width = rect.width();
    if (width == 2) {
        // A column stroke: two pixels a row, written as one.
        const quint64 pair = quint64(pixel) << 32 | pixel;
        for (int y = rect.top(); y <= rect.bottom(); ++y, row += bytesPerLine)
            std::memcpy(row, &pair, sizeof pair);
    } else {
        for (int y = rect.top(); y <= rect.bottom(); ++y, row += bytesPerLine) {
            auto *first = reinterpret_cast<quint32 *>(row);
            std::fill(first, first + width, pixel);
        }
    }
}
