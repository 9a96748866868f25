#include "PlotPrinter.h"

#include "Options.h"
#include "PrintedPage.h"
#include "SessionPlots.h"
#include "SessionRecord.h"

#include <QPageLayout>
#include <QPen>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_renderer.h>

#include <vector>

std::unique_ptr<QPrinter> PlotPrinter::createPrinter()
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setPageOrientation(QPageLayout::Landscape);
    printer->setResolution(300);
    printer->setPageSize(QPageSize(QPageSize::A4));
    printer->setPageMargins(QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter);
    return printer;
}

void PlotPrinter::paint(QPrinter *printer, const SessionPlots &plots, const SessionRecord &session,
                        const Options &options)
{
    QPainter painter;
    if (!printer || !painter.begin(printer))
        return;

    const QRectF area = printer->pageLayout().paintRect(QPageLayout::Inch);
    const PrintedPage page(area.width() * printer->resolution(),
                           area.height() * printer->resolution());

    // Turn markers belong on screen only; they go back once the page is done.
    QwtPlotCurve *markers = plots.turnMarkers();
    QwtPlot *markerPlot = markers->plot();
    if (markerPlot)
        markers->detach();

    Options shown = options;
    shown.x_axis_type = session.xChannel == SessionRecord::SpaceChannel ? 1 : 0;
    const QString family = painter.font().family();
    painter.setFont(QFont(family, 9, 0, false));
    painter.drawText(page.footer, Qt::AlignHCenter | Qt::AlignVCenter | Qt::AlignBottom,
                     PrintedPage::footerText(shown));
    painter.setFont(QFont(family, 18, 1, false));
    painter.drawText(page.title, Qt::AlignHCenter | Qt::AlignTop,
                     PrintedPage::titleText(session.fileName));

    painter.drawPixmap(page.leftLogo, QPixmap(QStringLiteral(":/images/VOK.png")));
    painter.drawPixmap(page.rightLogo, QPixmap(QStringLiteral(":/images/marchio.png")));

    // Grid lines a pixel or so wide on screen would be a hair on paper.
    struct GridPens {
        QwtPlotGrid *grid;
        QPen major, minor;
    };
    std::vector<GridPens> screenPens;
    for (QwtPlot *plot : plots.plots()) {
        for (QwtPlotItem *item : plot->itemList(QwtPlotItem::Rtti_PlotGrid)) {
            auto *grid = static_cast<QwtPlotGrid *>(item);
            screenPens.push_back({grid, grid->majorPen(), grid->minorPen()});
            grid->setMajorPen(printedGridPen(grid->majorPen(), printer->resolution()));
            grid->setMinorPen(printedGridPen(grid->minorPen(), printer->resolution()));
        }
    }
    const QwtPlotRenderer renderer;
    for (size_t i = 0; i < page.plots.size(); ++i)
        renderer.render(plots.plots()[i], &painter, page.plots[i]);
    for (const GridPens &pens : screenPens) {
        pens.grid->setMajorPen(pens.major);
        pens.grid->setMinorPen(pens.minor);
    }

    if (markerPlot)
        markers->attach(markerPlot);
    painter.end();
}

QPen PlotPrinter::printedGridPen(const QPen &screenPen, double dotsPerInch)
{
    QPen pen = screenPen;
    pen.setWidthF(qMax(pen.widthF(), 0.5 / 72.0 * dotsPerInch));
    return pen;
}
