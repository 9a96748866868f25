#ifndef VOK_CURSORLINE_H
#define VOK_CURSORLINE_H

#include <QObject>

#include <array>

class QTimer;
class QwtPlot;
class QwtWidgetOverlay;

// One vertical line through the three stacked plots at the x under the
// pointer, drawn over the canvases without replotting them. It follows the
// pointer over any of the three, stays at its x through zooms, and leaves
// with the pointer.
class CursorLine : public QObject
{
    Q_OBJECT

public:
    explicit CursorLine(const std::array<QwtPlot *, 3> &plots, QObject *parent = nullptr);
    ~CursorLine() override;

    bool isShown() const { return shown; }
    double x() const { return cursorX; }

signals:
    // The pointer is over a canvas at this x.
    void moved(double x);
    // The pointer has left the canvases (a moment ago).
    void left();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void place();

    std::array<QwtPlot *, 3> plots;
    std::array<QwtWidgetOverlay *, 3> overlays{};
    QTimer *leaving;
    bool shown = false;
    double cursorX = 0.0;
};

#endif
