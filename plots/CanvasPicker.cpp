#include "CanvasPicker.h"

#include <QEvent>
#include <QPoint>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>

CanvasPicker::CanvasPicker(QwtPlot *plot, QwtPlotCurve *curve)
    : QObject(plot)
    , curve(curve)
    , canvas(qobject_cast<QwtPlotCanvas *>(plot->canvas()))
{
}

CanvasPicker::~CanvasPicker() = default;

bool CanvasPicker::eventFilter(QObject *, QEvent *)
{
    return false;
}

bool CanvasPicker::hovers(const QPoint &pos) const
{
    return nearestPoint(pos) >= 0;
}

void CanvasPicker::select(const QPoint &pos)
{
    Q_UNUSED(pos);
}

int CanvasPicker::nearestPoint(const QPoint &pos) const
{
    Q_UNUSED(pos);
    return -1;
}
