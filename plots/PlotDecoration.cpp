#include "PlotDecoration.h"

#include "Background.h"
#include "PlotGrid.h"

#include <qwt_legend.h>
#include <qwt_legend_label.h>
#include <qwt_plot.h>

namespace {

QPen gridPen(Qt::GlobalColor color)
{
    return QPen(QBrush(color, Qt::SolidPattern), 1.3, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin);
}

} // namespace

void PlotDecoration::decorate(QwtPlot *plot, const CurveToggle &toggle)
{
    plot->setAxisMaxMajor(QwtPlot::xBottom, 10);
    plot->setAxisMaxMinor(QwtPlot::xBottom, 5);
    plot->setCanvasBackground(QBrush(QColor(255, 255, 255, 255)));

    auto *background = new Background;
    background->attach(plot);

    auto *grid = new PlotGrid;
    grid->enableXMin(true);
    grid->enableYMin(true);
    grid->setMajorPen(gridPen(Qt::gray));
    grid->setMinorPen(gridPen(Qt::lightGray));
    grid->attach(plot);

    auto *legend = new QwtLegend;
    legend->setDefaultItemMode(QwtLegendData::Checkable);
    plot->insertLegend(legend, QwtPlot::TopLegend);
    QObject::connect(legend, &QwtLegend::checked, plot,
                     [plot, toggle](const QVariant &itemInfo, bool on, int) {
                         if (QwtPlotItem *item = plot->infoToItem(itemInfo))
                             toggle(item, on);
                     });
}

void PlotDecoration::showCurve(QwtPlotItem *item, bool on)
{
    if (!item)
        return;
    item->setVisible(on);
    QwtPlot *plot = item->plot();
    if (!plot)
        return;
    if (auto *legend = qobject_cast<QwtLegend *>(plot->legend())) {
        if (auto *label = qobject_cast<QwtLegendLabel *>(legend->legendWidget(plot->itemToInfo(item))))
            label->setChecked(on);
    }
    plot->replot();
}
