#ifndef VOK_CANVASPICKER_H
#define VOK_CANVASPICKER_H

#include <QObject>

class QPoint;
class QwtPlot;
class QwtPlotCanvas;
class QwtPlotCurve;

// Watches a plot's canvas for the points of one curve (the turn markers):
// the cursor becomes a pointing hand near a point, and a double-click near a
// point emits its index.
class CanvasPicker : public QObject
{
    Q_OBJECT

public:
    CanvasPicker(QwtPlot *plot, QwtPlotCurve *curve);
    ~CanvasPicker() override;

    bool eventFilter(QObject *object, QEvent *event) override;

    bool hovers(const QPoint &pos) const;
    void select(const QPoint &pos);

signals:
    void pointClicked(int index);

private:
    int nearestPoint(const QPoint &pos) const;

    QwtPlotCurve *curve;
    QwtPlotCanvas *canvas;
};

#endif
