#include "PlotCanvas.h"

#include "WholePixels.h"

#include <QPainter>
#include <QStyleOption>

#include <algorithm>
#include <cstring>
#include <vector>

PlotCanvas::PlotCanvas(QwtPlot *plot)
    : QwtPlotCanvas(plot)
{
}

bool PlotCanvas::FrameKey::operator==(const FrameKey &o) const
{
    return size == o.size && frameStyle == o.frameStyle && lineWidth == o.lineWidth
           && midLineWidth == o.midLineWidth && palette == o.palette && style == o.style
           && state == o.state && direction == o.direction;
}

PlotCanvas::FrameKey PlotCanvas::currentFrameKey() const
{
    QStyleOption option;
    option.initFrom(this);
    return FrameKey{size(),           frameStyle(), lineWidth(), midLineWidth(),
                    palette().cacheKey(), style(),  option.state, layoutDirection()};
}

void PlotCanvas::drawBorder(QPainter *painter)
{
    if (!WholePixels::oneToOne(painter) || borderRadius() > 0.0 || size().isEmpty()) {
        QwtPlotCanvas::drawBorder(painter);
        return;
    }

    const FrameKey key = currentFrameKey();
    if (frame.isNull() || !(key == frameKey)) {
        // In memory kept from the frame before where it is large enough: a
        // new image would be new memory, a page fault for every 4 KiB, and
        // the canvases shrink as soon as a ride's axes get their labels.
        const qsizetype bytesPerLine = qsizetype(width()) * qsizetype(sizeof(QRgb));
        const size_t bytes = size_t(bytesPerLine) * size_t(height());
        frame = QImage();
        if (frameBytes < bytes) {
            framePixels.reset(new uchar[bytes]);
            frameBytes = bytes;
        }
        frame = QImage(framePixels.get(), width(), height(), bytesPerLine,
                       QImage::Format_ARGB32_Premultiplied);
        frame.fill(Qt::transparent);
        QPainter framePainter(&frame);
        QwtPlotCanvas::drawBorder(&framePainter);
        framePainter.end();
        frameKey = key;
        // Each row against a transparent one: memcmp compares many pixels
        // at a time, where a loop would test them one by one.
        frameOnlyAtEdges = true;
        const QRect inner = contentsRect() & frame.rect();
        const std::vector<QRgb> transparent(size_t(std::max(inner.width(), 0)), 0);
        for (int row = inner.top(); frameOnlyAtEdges && !transparent.empty() && row <= inner.bottom();
             ++row) {
            const auto *line = reinterpret_cast<const QRgb *>(frame.constScanLine(row));
            frameOnlyAtEdges = std::memcmp(line + inner.left(), transparent.data(),
                                           transparent.size() * sizeof(QRgb))
                               == 0;
        }
    }

    if (!frameOnlyAtEdges) {
        painter->drawImage(QPoint(0, 0), frame);
        return;
    }
    // The four strips around the contents, corners with the top and bottom.
    const QRect inner = contentsRect();
    const int w = width(), h = height();
    const QRect strips[] = {
        QRect(0, 0, w, inner.top()),
        QRect(0, inner.bottom() + 1, w, h - inner.bottom() - 1),
        QRect(0, inner.top(), inner.left(), inner.height()),
        QRect(inner.right() + 1, inner.top(), w - inner.right() - 1, inner.height()),
    };
    for (const QRect &strip : strips) {
        if (!strip.isEmpty())
            painter->drawImage(strip.topLeft(), frame, strip);
    }
}
