#include "CanvasPicker.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPoint>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>

namespace {
// How close, in canvas pixels, the mouse must come to a point to pick it.
constexpr double pickDistance = 10.0;
}

CanvasPicker::CanvasPicker(QwtPlot *plot, QwtPlotCurve *curve)
    : QObject(plot)
    , curve(curve)
    , canvas(qobject_cast<QwtPlotCanvas *>(plot->canvas()))
{
    QWidget *canvasWidget = plot->canvas();
    canvasWidget->installEventFilter(this);
    // The cursor follows the mouse with no button held, too.
    canvasWidget->setMouseTracking(true);

    // We want the focus, but no focus rect: the item under the cursor is
    // what the user looks at.
    canvasWidget->setFocusPolicy(Qt::StrongFocus);
    if (canvas)
        canvas->setFocusIndicator(QwtPlotCanvas::ItemFocusIndicator);
    canvasWidget->setFocus(Qt::OtherFocusReason);
}

CanvasPicker::~CanvasPicker() = default;

bool CanvasPicker::eventFilter(QObject *object, QEvent *event)
{
    if (!canvas || object != canvas)
        return false;

    switch (event->type()) {
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        canvas->setCursor(hovers(mouse->pos()) ? Qt::PointingHandCursor : Qt::CrossCursor);
        return false; // the zoomer tracks the mouse too
    }
    case QEvent::MouseButtonDblClick:
        select(static_cast<QMouseEvent *>(event)->pos());
        return true;
    default:
        return false;
    }
}

bool CanvasPicker::hovers(const QPoint &pos) const
{
    return nearestPoint(pos) >= 0;
}

void CanvasPicker::select(const QPoint &pos)
{
    const int index = nearestPoint(pos);
    if (index >= 0)
        emit pointClicked(index);
}

// The index of the curve's point nearest to pos when it lies strictly
// within the pick distance, else -1. A curve that is not on a plot (the
// turn markers in distance mode), or not shown, has no point near anything.
int CanvasPicker::nearestPoint(const QPoint &pos) const
{
    if (!curve || !curve->isVisible() || curve->dataSize() == 0)
        return -1;
    double distance = pickDistance;
    const int index = curve->closestPoint(pos, &distance);
    return index >= 0 && distance < pickDistance ? index : -1;
}
