#ifndef VOK_CURSORLINE_H
#define VOK_CURSORLINE_H

#include <QObject>

#include <array>

class QTimer;
class QwtPlot;
class QwtWidgetOverlay;

// One vertical line through the three stacked plots at the x under the
// pointer, drawn over the canvases without replotting them. It follows the
// pointer over any of the three and leaves with the pointer. Whoever changes
// the plots' x scales has it placed again, at its x, once they are laid out.
class CursorLine : public QObject
{
    Q_OBJECT

public:
    explicit CursorLine(const std::array<QwtPlot *, 3> &plots, QObject *parent = nullptr);
    ~CursorLine() override;

    bool isShown() const { return shown; }
    double x() const { return cursorX; }

    // Draws the line at its x on the plots as they are laid out now.
    void place();
    // The same once the events posted so far are handled: for changes of
    // scale that reach the plots one after another, each to be laid out
    // after it, and only then the line placed, once.
    void placeLater();

signals:
    // The pointer is over a canvas at this x.
    void moved(double x);
    // The pointer has left the canvases (a moment ago).
    void left();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::array<QwtPlot *, 3> plots;
    std::array<QwtWidgetOverlay *, 3> overlays{};
    QTimer *leaving;
    bool shown = false;
    bool placing = false; // placeLater has asked for place
    double cursorX = 0.0;
};

#endif
