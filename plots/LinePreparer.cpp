#include "LinePreparer.h"

#include "DenseCurve.h"
#include "WorkSharer.h"

#include <qwt_plot.h>
#include <qwt_plot_canvas.h>

#include <atomic>
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

    struct Job {
        const DenseCurve *curve;
        DenseCurve::LinePlan plan;
    };
    std::vector<Job> jobs;
    // This plot first; of the others, those shown, over the rectangle and
    // with the maps their canvases paint with.
    Plots plots{plot()};
    if (together) {
        for (const QwtPlot *other : *together) {
            if (other != plot() && other->canvas() && other->canvas()->isVisible())
                plots.push_back(other);
        }
    }
    for (const QwtPlot *each : plots) {
        const QRectF rect = each == plot() ? canvasRect : QRectF(each->canvas()->contentsRect());
        for (const QwtPlotItem *item : each->itemList(QwtPlotItem::Rtti_PlotCurve)) {
            const auto *curve = dynamic_cast<const DenseCurve *>(item);
            if (!curve || !curve->isVisible() || curve->z() <= z())
                continue;
            Job job{curve, {}};
            if (curve->plan(painter, each->canvasMap(curve->xAxis()),
                            each->canvasMap(curve->yAxis()), rect, job.plan))
                jobs.push_back(std::move(job));
        }
    }

    // Both threads take the next line not yet taken until none is left.
    std::atomic<size_t> next{0};
    const std::function<void()> work = [&jobs, &next] {
        for (size_t i = next++; i < jobs.size(); i = next++)
            jobs[i].curve->reduce(jobs[i].plan);
    };
    if (jobs.size() > 1)
        sharer->share(work);
    else
        work();
}
