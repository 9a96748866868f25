#ifndef VOK_PLOTCANVAS_H
#define VOK_PLOTCANVAS_H

#include <QImage>
#include <QStyle>
#include <qwt_plot_canvas.h>

#include <memory>

// A plot canvas that keeps its frame as the style last drew it and copies
// it onto each paint while nothing the frame depends on has changed. The
// style strokes a frame pixel by pixel, which costs about what a curve
// does, and the canvas draws its frame on every paint, so three times in a
// zoom. Painters that scale or do not paint pixels get the frame drawn.
class PlotCanvas : public QwtPlotCanvas
{
public:
    explicit PlotCanvas(QwtPlot *plot = nullptr);

protected:
    void drawBorder(QPainter *painter) override;

private:
    // What the style draws the frame from.
    struct FrameKey {
        QSize size;
        int frameStyle = 0;
        int lineWidth = 0;
        int midLineWidth = 0;
        qint64 palette = 0;
        const QStyle *style = nullptr;
        QStyle::State state;
        Qt::LayoutDirection direction = Qt::LeftToRight;
        bool operator==(const FrameKey &o) const;
    };
    FrameKey currentFrameKey() const;

    std::unique_ptr<uchar[]> framePixels; // before the image, which lies in them
    size_t frameBytes = 0;
    QImage frame; // on transparent, the size of the canvas
    FrameKey frameKey;
    bool frameOnlyAtEdges = false; // nothing drawn within the contents
};

#endif
