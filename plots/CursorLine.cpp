#include "CursorLine.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <qwt_plot.h>
#include <qwt_scale_map.h>
#include <qwt_widget_overlay.h>

#include <cmath>

namespace {

// The line on one canvas. Only the strip under the line is part of the
// overlay, so that moving it repaints two thin strips of the canvas from
// its backing store.
class LineOverlay : public QwtWidgetOverlay
{
public:
    LineOverlay(QwtPlot *plot, const CursorLine &cursor)
        : QwtWidgetOverlay(plot->canvas())
        , plot(plot)
        , cursor(cursor)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void drawOverlay(QPainter *painter) const override
    {
        const int column = pixel();
        if (column < 0)
            return;
        painter->setPen(QPen(QColor(30, 30, 30), 1.0));
        painter->drawLine(column, 0, column, height());
    }

    QRegion maskHint() const override
    {
        const int column = pixel();
        return column < 0 ? QRegion() : QRegion(column - 1, 0, 3, height());
    }

private:
    // The canvas column of the cursor, -1 when there is none to draw.
    int pixel() const
    {
        if (!cursor.isShown())
            return -1;
        const double px = plot->canvasMap(QwtPlot::xBottom).transform(cursor.x());
        if (!std::isfinite(px) || px < 0.0 || px > width())
            return -1;
        return int(std::lround(px));
    }

    QwtPlot *plot;
    const CursorLine &cursor;
};

} // namespace

CursorLine::CursorLine(const std::array<QwtPlot *, 3> &plots, QObject *parent)
    : QObject(parent)
    , plots(plots)
    , leaving(new QTimer(this))
{
    // Leaving one canvas for the next is no leaving: the pointer is given a
    // moment to arrive before the line goes.
    leaving->setSingleShot(true);
    leaving->setInterval(60);
    connect(leaving, &QTimer::timeout, this, [this] {
        shown = false;
        place();
        emit left();
    });
    for (size_t i = 0; i < plots.size(); ++i) {
        QWidget *canvas = plots[i]->canvas();
        canvas->setMouseTracking(true);
        canvas->installEventFilter(this);
        overlays[i] = new LineOverlay(plots[i], *this);
    }
}

// The overlays are children of the canvases and go with them.
CursorLine::~CursorLine() = default;

bool CursorLine::eventFilter(QObject *watched, QEvent *event)
{
    for (QwtPlot *plot : plots) {
        if (watched != plot->canvas())
            continue;
        if (event->type() == QEvent::MouseMove) {
            const auto *move = static_cast<QMouseEvent *>(event);
            const double x = plot->canvasMap(QwtPlot::xBottom).invTransform(move->pos().x());
            if (std::isfinite(x)) {
                leaving->stop();
                shown = true;
                cursorX = x;
                place();
                emit moved(x);
            }
        } else if (event->type() == QEvent::Leave && shown) {
            leaving->start();
        }
    }
    return QObject::eventFilter(watched, event);
}

void CursorLine::placeLater()
{
    if (placing)
        return;
    placing = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            placing = false;
            place();
        },
        Qt::QueuedConnection);
}

void CursorLine::place()
{
    for (QwtWidgetOverlay *overlay : overlays)
        overlay->updateOverlay();
}
