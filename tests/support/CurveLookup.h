#ifndef VOK_CURVELOOKUP_H
#define VOK_CURVELOOKUP_H

#include <QString>
#include <QWidget>

#include <qwt_plot.h>
#include <qwt_plot_curve.h>

// The curve titled title in any plot inside window, or null.
inline QwtPlotCurve *findCurve(QWidget &window, const QString &title)
{
    for (QwtPlot *plot : window.findChildren<QwtPlot *>()) {
        for (QwtPlotItem *item : plot->itemList(QwtPlotItem::Rtti_PlotCurve)) {
            if (item->title().text() == title)
                return static_cast<QwtPlotCurve *>(item);
        }
    }
    return nullptr;
}

#endif
