#include "LinePreparer.h"

#include "DenseCurve.h"
#include "WorkSharer.h"

#include <QImage>
#include <QPainter>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>

#include <vector>

LinePreparer::LinePreparer(std::shared_ptr<WorkSharer> sharer,
                           std::shared_ptr<const Plots> together)
    : QwtPlotItem(QwtText())
    , sharer(std::move(sharer))
    , together(std::move(together))
{
    setZ(19.0); // just below the curves, which Qwt puts at 20
}

LinePreparer::~LinePreparer() = default;

int LinePreparer::rtti() const
{
    return QwtPlotItem::Rtti_PlotUserItem + 1;
}

void LinePreparer::draw(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &,
                        const QRectF &canvasRect) const
{
    // Printed or rendered elsewhere, the paint has maps of its own, which
    // only the curves' own paints know: they reduce their lines themselves.
    const QwtScaleMap canvasX = plot()->canvasMap(xAxis());
    if (xMap.s1() != canvasX.s1() || xMap.s2() != canvasX.s2() || xMap.p1() != canvasX.p1()
        || xMap.p2() != canvasX.p2())
        return;
    // This thread is about to draw the first line of this plot.
    prepare(painter, canvasRect, true);
}

void LinePreparer::prepareNow() const
{
    const QWidget *canvas = plot() ? plot()->canvas() : nullptr;
    if (!canvas || !canvas->isVisible() || !sharer->hasSecondThread())
        return;
    // A painter that plans as the canvas's own does: on an image of the
    // canvas's pixel ratio, like the window's.
    QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(canvas->devicePixelRatioF());
    QPainter painter(&image);
    prepare(&painter, canvas->contentsRect(), false);
}

void LinePreparer::prepare(QPainter *painter, const QRectF &canvasRect, bool drawingNext) const
{
    if (!sharer->hasSecondThread())
        return; // each curve reduces its own line as it is drawn

    // This plot first; of the others, those shown, over the rectangle and
    // with the maps their canvases paint with.
    Plots plots{plot()};
    if (together) {
        for (const QwtPlot *other : *together) {
            if (other != plot() && other->canvas() && other->canvas()->isVisible())
                plots.push_back(other);
        }
    }
    std::vector<std::shared_ptr<DenseCurve::LineAhead>> lines;
    size_t own = 0; // of this plot, which come first
    for (const QwtPlot *each : plots) {
        const QRectF rect = each == plot() ? canvasRect : QRectF(each->canvas()->contentsRect());
        for (const QwtPlotItem *item : each->itemList(QwtPlotItem::Rtti_PlotCurve)) {
            const auto *curve = dynamic_cast<const DenseCurve *>(item);
            if (!curve || !curve->isVisible() || curve->z() <= z())
                continue;
            if (auto line = curve->planAhead(painter, each->canvasMap(curve->xAxis()),
                                             each->canvasMap(curve->yAxis()), rect))
                lines.push_back(std::move(line));
        }
        if (each == plot())
            own = lines.size();
    }
    if (lines.empty())
        return;
    for (size_t i = 1; i < lines.size(); ++i)
        lines[i - 1]->chain(lines[i]);

    // The second thread reduces them in the order the plots draw them,
    // while this one draws each as it is ready and reduces those it comes
    // to first. Where this thread is about to draw the first, the second
    // starts on the next.
    WorkSharer *second = sharer.get();
    const size_t first = drawingNext && own > 0 ? 1 : 0;
    sharer->start([second, lines = std::move(lines), first] {
        for (size_t i = first; i < lines.size() && !second->stopping(); ++i)
            lines[i]->reduce();
    });
}
