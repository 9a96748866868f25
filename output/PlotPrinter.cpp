#include "PlotPrinter.h"

#include "PrintedPage.h"
#include "SessionPlots.h"
#include "SessionRecord.h"

#include <QPageLayout>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_renderer.h>

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

    const QString family = painter.font().family();
    painter.setFont(QFont(family, 9, 0, false));
    painter.drawText(page.footer, Qt::AlignHCenter | Qt::AlignVCenter | Qt::AlignBottom,
                     PrintedPage::footerText(options));
    painter.setFont(QFont(family, 18, 1, false));
    painter.drawText(page.title, Qt::AlignHCenter | Qt::AlignTop,
                     PrintedPage::titleText(session.fileName));

    painter.drawPixmap(page.leftLogo, QPixmap(QStringLiteral(":/images/VOK.png")));
    painter.drawPixmap(page.rightLogo, QPixmap(QStringLiteral(":/images/marchio.png")));

    const QwtPlotRenderer renderer;
    for (size_t i = 0; i < page.plots.size(); ++i)
        renderer.render(plots.plots()[i], &painter, page.plots[i]);

    if (markerPlot)
        markers->attach(markerPlot);
    painter.end();
}
