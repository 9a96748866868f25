#ifndef VOK_LINEPREPARER_H
#define VOK_LINEPREPARER_H

#include <qwt_plot_item.h>

#include <memory>
#include <vector>

class QwtPlot;

class WorkSharer;

// Has the lines of a plot's visible dense curves reduced ahead, at the start
// of each paint, on the sharer's second thread, while the painting thread
// draws each as it is ready. A zoom gives every curve new maps, and reducing
// a line waits on memory far more than drawing it does. Sits below the
// curves and draws nothing itself.
//
// Plots that zoom together may name each other: the first of them to paint
// then also plans the lines the others' next paints will draw, with the
// maps they have now, and the second thread goes on reducing them while the
// first plot's axes, legend and the next plots paint. Whoever owns the
// arrays the curves read must finish the sharer's work before changing them.
class LinePreparer : public QwtPlotItem
{
public:
    using Plots = std::vector<const QwtPlot *>;

    // Plots painted one after the other may share one sharer, and the list
    // of those that reduce their lines together.
    explicit LinePreparer(std::shared_ptr<WorkSharer> sharer,
                          std::shared_ptr<const Plots> together = nullptr);
    ~LinePreparer() override;

    int rtti() const override;
    void draw(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
              const QRectF &canvasRect) const override;

    // Has the lines reduced ahead for the maps the plots have now, before
    // any of them paints: after a zoom, while the rest of the step runs.
    void prepareNow() const;

private:
    // drawingNext: this thread is about to draw this plot's first line.
    void prepare(QPainter *painter, const QRectF &canvasRect, bool drawingNext) const;

    std::shared_ptr<WorkSharer> sharer;
    std::shared_ptr<const Plots> together;
};

#endif
