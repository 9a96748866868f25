#ifndef VOK_PLOTDECORATION_H
#define VOK_PLOTDECORATION_H

#include <functional>

class QwtPlot;
class QwtPlotItem;

// What every plot of the program looks like and how its legend works: a
// white canvas, a grey grid with minor lines, at most ten major x ticks, and
// a legend at the top whose check boxes show and hide the curves. The session
// plots and the turn dialog both dress their plots this way.
class PlotDecoration
{
public:
    // Called when the user checks or unchecks a legend entry.
    using CurveToggle = std::function<void(QwtPlotItem *item, bool on)>;

    static void decorate(QwtPlot *plot, const CurveToggle &toggle);

    // Shows or hides an item and keeps its legend check box in step
    // (setting the check box does not report a check of its own), then
    // replots the item's plot.
    static void showCurve(QwtPlotItem *item, bool on);
};

#endif
