#ifndef VOK_BACKGROUND_H
#define VOK_BACKGROUND_H

#include <qwt_plot_item.h>

// Paints a plot's canvas white beneath the grid and the curves.
class Background : public QwtPlotItem
{
public:
    Background();

    int rtti() const override;
    void draw(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
              const QRectF &canvasRect) const override;
};

#endif
