#ifndef VOK_PLOTGRID_H
#define VOK_PLOTGRID_H

#include <QPainter>
#include <QPen>
#include <qwt_plot_grid.h>

// A grid that strokes each kind of line once and fills the rectangle it
// covers wherever a line of that kind goes: with an opaque pen, all
// vertical lines of one pen cover the same pixels but for where they stand,
// and so do the horizontal ones. Stroking a line across the canvas with a
// pen wider than a pixel costs about what drawing a curve does, and a plot
// has some twenty of them. Draws as QwtPlotGrid does, which it leaves to
// painters that scale, smooth or do not paint pixels, and to other pens.
class PlotGrid : public QwtPlotGrid
{
public:
    void draw(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
              const QRectF &canvasRect) const override;

private:
    // One line stroked at 0, from `from` to `to` along it.
    struct Stroke {
        QPen pen;
        QPainter::RenderHints hints;
        Qt::Orientation orientation = Qt::Vertical;
        double from = 0.0, to = 0.0;
        QRect rect;         // the pixels it covers
        bool solid = false; // every pixel of it
    };
    // strokes[kind], stroked again if it was stroked otherwise.
    const Stroke &stroke(int kind, const QPen &pen, QPainter::RenderHints hints,
                         Qt::Orientation orientation, double from, double to) const;
    void fillLines(QPainter *painter, const QRectF &canvasRect, const QwtScaleMap &map,
                   const QList<double> &values, const Stroke &line) const;

    // Minor vertical and horizontal, major vertical and horizontal.
    mutable Stroke strokes[4];
};

#endif
