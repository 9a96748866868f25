#include "PlotCanvas.h"

#include "WholePixels.h"

#include <QPainter>
#include <QStyleOption>

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
        frame = QImage(size(), QImage::Format_ARGB32_Premultiplied);
        frame.fill(Qt::transparent);
        QPainter framePainter(&frame);
        QwtPlotCanvas::drawBorder(&framePainter);
        framePainter.end();
        frameKey = key;
        frameOnlyAtEdges = true;
        const QRect inner = contentsRect() & frame.rect();
        for (int row = inner.top(); frameOnlyAtEdges && row <= inner.bottom(); ++row) {
            const auto *line = reinterpret_cast<const QRgb *>(frame.constScanLine(row));
            for (int column = inner.left(); column <= inner.right(); ++column) {
                if (line[column] != 0) {
                    frameOnlyAtEdges = false;
                    break;
                }
            }
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
