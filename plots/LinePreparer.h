#ifndef VOK_LINEPREPARER_H
#define VOK_LINEPREPARER_H

#include <qwt_plot_item.h>

#include <memory>

class WorkSharer;

// Reduces the lines of a plot's visible dense curves at the start of each
// paint, on the painting thread and the sharer's second thread at once, so
// that the curves, painted one after the other, only draw them. A zoom gives
// every curve new maps, and reducing a line waits on memory far more than
// drawing it does. Sits below the curves and draws nothing itself.
class LinePreparer : public QwtPlotItem
{
public:
    // Plots painted one after the other may share one sharer.
    explicit LinePreparer(std::shared_ptr<WorkSharer> sharer);
    ~LinePreparer() override;

    int rtti() const override;
    void draw(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
              const QRectF &canvasRect) const override;

private:
    std::shared_ptr<WorkSharer> sharer;
};

#endif
