#ifndef VOK_MYZOOMER_H
#define VOK_MYZOOMER_H

#include <QStack>
#include <qwt_plot_zoomer.h>

class QwtScaleDraw;

// The zoomer of every plot canvas: drag a rectangle to zoom in, right-click
// for the full view, and an always-on tracker that labels x as the x axis
// does. Zoom steps are announced through zoomChanged so that linked plots can
// follow with setZooms, which never announces anything itself: one gesture
// updates each linked plot exactly once. zoomStarting comes before the
// zoomer rescales its own plot, so that a step of the linked plots can be
// told from the changes of each of them.
class MyZoomer : public QwtPlotZoomer
{
    Q_OBJECT

public:
    explicit MyZoomer(QWidget *canvas);
    ~MyZoomer() override;

    // The x-axis scale draw used to label x in the tracker; not owned.
    // Re-pointed by whoever replaces the plot's scale draw.
    QwtScaleDraw *scaleDraw = nullptr;

    QwtText trackerTextF(const QPointF &pos) const override;

    // Escape during a drag cancels the rectangle, not the window; a window
    // that a dialog blocks, or that goes to the background, keeps no
    // tracker text.
    bool eventFilter(QObject *object, QEvent *event) override;

signals:
    void zoomStarting();
    void zoomChanged(QStack<QRectF> zooms, uint index);

public slots:
    void setZooms(QStack<QRectF> zooms, uint index);
    void zoom(const QRectF &rect) override;
    void zoom(int up) override;

public:
    // The linked form of another plot's stack: entry 0 becomes ownBase, every
    // deeper entry keeps its x range and takes the y range of ownCurrent.
    static QStack<QRectF> adoptZooms(const QStack<QRectF> &zooms, const QRectF &ownBase,
                                     const QRectF &ownCurrent);
};

#endif
