#include "SessionPlots.h"

#include "CanvasPicker.h"
#include "CursorLine.h"
#include "ColumnRuns.h"
#include "DenseCurve.h"
#include "LinePreparer.h"
#include "PlotCanvas.h"
#include "WorkSharer.h"
#include "MyZoomer.h"
#include "Options.h"
#include "PlotDecoration.h"
#include "SessionRecord.h"
#include "PlotScaleDraw.h"
#include "SpaceScaleDraw.h"
#include "TimeScaleDraw.h"
#include "XScaleEngine.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QResizeEvent>
#include <QScreen>
#include <QWheelEvent>
#include <qwt_plot.h>
#include <qwt_scale_widget.h>
#include <qwt_symbol.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr int minimumPlotWidth = 300;

// Without samples the x axes span 0 to 30.
constexpr double emptyFirstX = 0.0;
constexpr double emptyLastX = 30.0;

// The x range of the session: its first and last x values. A number field
// may read "inf" or "nan"; the axes cannot span those, so then the range
// is that of the finite values, if there are any.
void xRange(const QVector<double> *x, double &first, double &last)
{
    if (!x || x->isEmpty())
        return;
    if (std::isfinite(x->constFirst()) && std::isfinite(x->constLast())) {
        first = x->constFirst();
        last = x->constLast();
        return;
    }
    double low = HUGE_VAL, high = -HUGE_VAL;
    for (double value : *x) {
        if (std::isfinite(value)) {
            low = std::min(low, value);
            high = std::max(high, value);
        }
    }
    if (low <= high) {
        first = low;
        last = high;
    }
}

} // namespace

SessionPlots::SessionPlots(const std::array<QwtPlot *, 3> &plots, const SessionRecord &session,
                           const Options &options, QObject *parent)
    : QObject(parent)
    , plotList(plots)
    , session(session)
    , options(options)
    , lineSharer(std::make_shared<WorkSharer>())
{
    for (QwtPlot *plot : plots) {
        plot->setCanvas(new PlotCanvas);
        decorate(plot);
    }

    // The three plots share one x axis: only the bottom one shows it.
    plots[Top]->axisWidget(QwtPlot::xBottom)->setMaximumHeight(0);
    plots[Center]->axisWidget(QwtPlot::xBottom)->setMaximumHeight(0);

    // The curves share the x array and, on plots of one width, the x map:
    // where its samples change column is found once for all of them.
    const auto runs = std::make_shared<ColumnRuns>();
    for (const Channel &channel : Channel::sessionCurves()) {
        auto *curve = new DenseCurve(channel.titleText());
        curve->shareColumnRuns(runs);
        curves[size_t(channel.id)] = curve;
    }

    // A grey base line at y = 0 under the whole session on each plot: it
    // keeps the x range and 0 in view when every curve of a plot is hidden.
    // It has no legend entry; Qwt 6.1 only drops an entry when the item is
    // detached, so the attribute goes off before the item is attached.
    for (size_t i = 0; i < xRangeLines.size(); ++i) {
        xRangeLines[i] = new QwtPlotCurve(tr("2-points line just for updating xAxis"));
        xRangeLines[i]->setPen(QPen(QColor(Qt::gray), 0.0));
        xRangeLines[i]->setItemAttribute(QwtPlotItem::Legend, false);
        xRangeLines[i]->attach(plots[i]);
    }

    // One heavy black dot per single-turn file along the top of the power plot.
    const QPen turnPen(QBrush(Qt::black, Qt::SolidPattern), 10.0, Qt::SolidLine, Qt::RoundCap,
                       Qt::RoundJoin);
    turnsCurve = std::make_unique<QwtPlotCurve>(tr("Turns"));
    turnsCurve->setPen(turnPen);
    turnsCurve->setStyle(QwtPlotCurve::Dots);
    turnsCurve->setSymbol(new QwtSymbol(QwtSymbol::Diamond, QBrush(), turnPen, QSize(3, 3)));
    turnsCurve->setItemAttribute(QwtPlotItem::Legend, false);
    // They follow the y scale and so must not decide it.
    turnsCurve->setItemAttribute(QwtPlotItem::AutoScale, false);
    connect(plots[Top]->axisWidget(QwtPlot::yLeft), &QwtScaleWidget::scaleDivChanged, this,
            &SessionPlots::placeTurnMarkers);
    connect(plots[Top]->axisWidget(QwtPlot::xBottom), &QwtScaleWidget::scaleDivChanged, this,
            &SessionPlots::xRangeChanged);

    cursor = new CursorLine(plots, this);
    picker = new CanvasPicker(plots[Top], turnsCurve.get());
    connect(picker, &CanvasPicker::pointClicked, this, &SessionPlots::turnClicked);

    for (size_t i = 0; i < zoomers.size(); ++i) {
        zoomers[i] = new MyZoomer(plots[i]->canvas());
        zoomers[i]->scaleDraw = plots[i]->axisScaleDraw(QwtPlot::xBottom);
    }
    // A zoom on any plot gives the other two its x range; setZooms does not
    // announce anything itself, so this cannot loop.
    for (MyZoomer *sender : zoomers) {
        for (MyZoomer *receiver : zoomers) {
            if (receiver != sender)
                connect(sender, &MyZoomer::zoomChanged, receiver, &MyZoomer::setZooms);
        }
    }

    // The curves' lines are reduced on a second thread ahead of their
    // drawing, those of all three plots from the first of them to paint on.
    const auto together = std::make_shared<LinePreparer::Plots>(plots.begin(), plots.end());
    std::array<LinePreparer *, 3> preparers{};
    for (size_t i = 0; i < plots.size(); ++i)
        (preparers[i] = new LinePreparer(lineSharer, together))->attach(plots[i]);
    // Once a zoom has given all three their new x range, not waiting for the
    // paint: the rest of the step (statistics, axes) runs meanwhile.
    // The new range is announced after that too, so that its statistics
    // are worked out while the second thread reduces the lines.
    for (MyZoomer *zoomer : zoomers) {
        connect(zoomer, &MyZoomer::zoomStarting, this, [this] { zoomStep = true; });
        connect(zoomer, &MyZoomer::zoomChanged, this, [this, preparer = preparers[Top]] {
            preparer->prepareNow();
            // All three have their new x range and have laid out their axes.
            cursor->place();
            zoomStep = false;
            if (std::exchange(rangeChangedInStep, false))
                emit shownRangeChanged();
        });
    }

    // The markers go on after the power curves, so that they are drawn above them.
    for (const Channel &channel : Channel::sessionCurves()) {
        curves[size_t(channel.id)]->attach(plots[size_t(channel.plot)]);
        if (channel.id == Channel::PowerTot)
            turnsCurve->attach(plots[Top]);
    }
    for (const Channel &channel : Channel::sessionCurves())
        showCurve(curves[size_t(channel.id)], options.visible(channel.id));
    showCurve(turnsCurve.get(), options.x_axis_type == 0);
    applyPens();
}

SessionPlots::~SessionPlots()
{
    // The session may go right after this object.
    finishLineWork();
}

void SessionPlots::xRangeChanged()
{
    if (zoomStep) {
        rangeChangedInStep = true;
    } else {
        // The other plots may follow, each laid out after its scale.
        cursor->placeLater();
        emit shownRangeChanged();
    }
}

void SessionPlots::finishLineWork()
{
    lineSharer->finish();
}

void SessionPlots::decorate(QwtPlot *plot)
{
    // Three plots one above the other fit on the screen.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        plot->setMaximumHeight((screen->geometry().height() - 100) / 3);
    // Left to itself, the x axis asks for the width of all its labels side
    // by side (some 750 pixels of clock times), which would keep the window
    // from getting narrower; below that the labels crowd instead.
    plot->setMinimumWidth(minimumPlotWidth);

    // One width for the three left axes, so that the canvases line up.
    plot->setAxisScaleDraw(QwtPlot::yLeft, new PlotScaleDraw);
    plot->axisScaleDraw(QwtPlot::yLeft)->setMinimumExtent(50);
    PlotDecoration::decorate(plot, [this](QwtPlotItem *item, bool on) { showCurve(item, on); });
    plot->setAxisScaleEngine(QwtPlot::xBottom, new XScaleEngine(plot));
    plot->canvas()->installEventFilter(this);
}

bool SessionPlots::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel) {
        for (QwtPlot *plot : plotList) {
            if (plot->canvas() != watched)
                continue;
            const auto *turn = static_cast<QWheelEvent *>(event);
            // Some systems turn a wheel held with Shift into a sideways one.
            const QPoint angle = turn->angleDelta();
            const int amount = angle.y() != 0 ? angle.y() : angle.x();
            wheel(plot->canvasMap(QwtPlot::xBottom).invTransform(turn->position().x()),
                  amount / 120.0, turn->modifiers() & Qt::ShiftModifier);
            return true;
        }
    }
    if (event->type() == QEvent::Resize) {
        for (QwtPlot *plot : plotList) {
            if (plot->canvas() == watched) {
                divideXAxis(plot);
                plot->replot();
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

// Asks the scale engine for a new division of the interval shown.
void SessionPlots::divideXAxis(QwtPlot *plot)
{
    const QwtScaleDiv &shown = plot->axisScaleDiv(QwtPlot::xBottom);
    plot->setAxisScale(QwtPlot::xBottom, shown.lowerBound(), shown.upperBound());
}

void SessionPlots::divideXAxes()
{
    for (QwtPlot *plot : plotList) {
        divideXAxis(plot);
        plot->updateAxes();
        plot->updateLayout();
        // The axis lays its scale out again only when it is resized: a new
        // scale draw in an axis of the same size would keep the borders of
        // the old labels, away from the canvas below.
        QwtScaleWidget *axis = plot->axisWidget(QwtPlot::xBottom);
        QResizeEvent resize(axis->size(), axis->size());
        QCoreApplication::sendEvent(axis, &resize);
    }
}

void SessionPlots::applyPens()
{
    for (const Channel &channel : Channel::sessionCurves())
        curves[size_t(channel.id)]->setPen(options.pen(channel.id));
}

void SessionPlots::updateGraphs()
{
    // The channel curves read the record's arrays in place: they follow a
    // read by themselves, and a failed one leaves them with fewer samples,
    // never with freed storage.
    // Over time, a pause in the recording is a gap in every curve.
    // The ride's index, worked out as it was read, spares the curves a walk
    // over every sample on every replot.
    const QVector<double> *x = session.xData;
    const RideIndex &index = session.rideIndex;
    const bool indexed = index.fits(session);
    const bool overTime = session.xChannel == SessionRecord::TimeChannel && x;
    if (!overTime)
        ridePauses = Pauses();
    else
        ridePauses = indexed ? index.pauses() : Pauses(*x);
    const bool xOrdered = indexed && x
                          && (overTime ? index.timeNeverDecreases() : index.spaceNeverDecreases());
    for (const Channel &channel : Channel::sessionCurves()) {
        auto *curve = static_cast<DenseCurve *>(curves[size_t(channel.id)]);
        curve->setArrays(x, channel.data(session), indexed ? &index.channel(channel.id) : nullptr,
                         xOrdered);
        curve->setBreaks(ridePauses.resumptions());
    }

    double firstX = emptyFirstX;
    double lastX = emptyLastX;
    xRange(x, firstX, lastX);
    const double lineX[2] = {firstX, lastX};
    const double lineY[2] = {0.0, 0.0};
    for (QwtPlotCurve *line : xRangeLines)
        line->setSamples(lineX, lineY, 2);

    // An un-zoomed plot shows the whole session; with one sample the step
    // is 0, which asks the scale engine for a step of its own.
    const std::array<QwtPlot *, 3> &plots = plotList;
    const double step = (lastX - firstX) / 10.0;
    auto showWholeSession = [&](QwtPlot *plot) {
        plot->setAxisScale(QwtPlot::xBottom, firstX, lastX, step);
        plot->setAxisAutoScale(QwtPlot::yLeft);
    };
    if (zoomers[Top]->zoomRectIndex() == 0) {
        showWholeSession(plots[Top]);
    } else {
        // The other two follow a zoomed top plot, keeping their own y.
        const QStack<QRectF> &stack = zoomers[Top]->zoomStack();
        zoomers[Center]->setZooms(stack, uint(stack.size() - 1));
        zoomers[Bottom]->setZooms(stack, uint(stack.size() - 1));
    }
    for (int i : {Center, Bottom}) {
        if (zoomers[size_t(i)]->zoomRectIndex() == 0)
            showWholeSession(plots[size_t(i)]);
    }

    // The turn markers stand at the moments their files were recorded,
    // along the top edge of the power plot, and only on a time axis.
    turnsCurve->detach();
    markerTimes.clear();
    if (session.xChannel == SessionRecord::TimeChannel) {
        for (const TurnRecord &turn : session.turns)
            markerTimes.append(double(session.startDateTime.secsTo(turn.timestamp)));
        plots[Top]->updateAxes(); // brings the y scale up to date
        placeTurnMarkers();
        turnsCurve->attach(plots[Top]);
    }

    plots[Bottom]->replot();
    plots[Center]->replot();
    plots[Top]->replot();

    // An un-zoomed plot takes its new scales as its zoom base.
    for (MyZoomer *zoomer : zoomers) {
        if (zoomer->zoomRectIndex() == 0)
            zoomer->setZoomBase(false);
    }
}

// Called whenever the power plot's y scale changes, zoomed or not, before
// the canvas is drawn.
void SessionPlots::placeTurnMarkers()
{
    const double top = plotList[Top]->axisScaleDiv(QwtPlot::yLeft).upperBound();
    if (turnsCurve->dataSize() == size_t(markerTimes.size())
        && (markerTimes.isEmpty() || turnsCurve->sample(0).y() == top))
        return;
    QVector<QPointF> markers;
    markers.reserve(markerTimes.size());
    for (double x : markerTimes)
        markers.append(QPointF(x, top));
    turnsCurve->setSamples(markers);
}

void SessionPlots::showCurve(QwtPlotItem *item, bool on)
{
    PlotDecoration::showCurve(item, on);
}

void SessionPlots::showWholeRide()
{
    zoomers[Top]->zoom(0);
}

TimeScaleDraw *SessionPlots::newTimeScaleDraw() const
{
    // Before a ride is open there is no start, and no time to label. Counted
    // from the start, hours go on past a day.
    QTime base;
    TimeScaleDraw::Reading reading = TimeScaleDraw::Elapsed;
    if (session.startDateTime.time().isValid()) {
        base = options.time_start_relative ? QTime(0, 0) : session.startDateTime.time();
        reading = options.time_start_relative ? TimeScaleDraw::Elapsed : TimeScaleDraw::TimeOfDay;
    }
    return new TimeScaleDraw(base, TimeScaleDraw::unitFormat(options.time_unit), reading);
}

QString SessionPlots::timeLabel(double seconds) const
{
    const std::unique_ptr<TimeScaleDraw> draw(newTimeScaleDraw());
    return draw->label(seconds).text();
}

void SessionPlots::shownXRange(double &from, double &to) const
{
    const QwtScaleDiv &shown = plotList[Top]->axisScaleDiv(QwtPlot::xBottom);
    from = std::min(shown.lowerBound(), shown.upperBound());
    to = std::max(shown.lowerBound(), shown.upperBound());
}

void SessionPlots::shownTimeRange(double &from, double &to) const
{
    shownXRange(from, to);
    if (session.xChannel != SessionRecord::SpaceChannel)
        return;
    const RideIndex &index = session.rideIndex;
    if (index.fits(session) && index.timeNeverDecreases()) {
        int firstShown = 0, lastShown = -1;
        index.samplesWithin(session, from, to, firstShown, lastShown);
        from = firstShown <= lastShown ? session.time[firstShown] : HUGE_VAL;
        to = firstShown <= lastShown ? session.time[lastShown] : -HUGE_VAL;
        return;
    }
    double first = HUGE_VAL, last = -HUGE_VAL;
    const int samples = std::min(session.space.size(), session.time.size());
    for (int i = 0; i < samples; ++i) {
        if (session.space[i] >= from && session.space[i] <= to) {
            first = std::min(first, session.time[i]);
            last = std::max(last, session.time[i]);
        }
    }
    from = first;
    to = last;
}

QString SessionPlots::xLabel(double x) const
{
    return plotList[Bottom]->axisScaleDraw(QwtPlot::xBottom)->label(x).text();
}

QString SessionPlots::xUnit() const
{
    return session.xChannel == SessionRecord::SpaceChannel
               ? SpaceScaleDraw::unitText(options.space_unit)
               : TimeScaleDraw::unitFormat(options.time_unit);
}

void SessionPlots::wheel(double x, double notches, bool pan)
{
    const int samples = session.sampleCount();
    if (notches == 0.0 || samples < 2 || !std::isfinite(x))
        return;
    MyZoomer *top = zoomers[Top];
    const QRectF base = top->zoomBase();
    const double first = base.left(), last = base.right();
    const QRectF shown = top->zoomRect();
    double from = shown.left(), to = shown.right();
    if (pan) {
        const double shift = -notches * (to - from) / 10.0;
        from += shift;
        to += shift;
        if (from < first) {
            to += first - from;
            from = first;
        }
        if (to > last) {
            from -= to - last;
            to = last;
        }
    } else {
        const double factor = std::pow(0.8, notches);
        // No narrower than a few samples.
        if (factor < 1.0 && (to - from) * factor < 4.0 * (last - first) / samples)
            return;
        from = std::max(first, x - (x - from) * factor);
        to = std::min(last, x + (to - x) * factor);
    }
    if (to - from >= (last - first) * (1.0 - 1e-9)) {
        if (top->zoomRectIndex() != 0)
            top->zoom(0);
        return;
    }
    if (from != shown.left() || to != shown.right())
        top->zoom(QRectF(from, shown.top(), to - from, shown.height()));
}

void SessionPlots::updateXAxisScaleDraws(int mode)
{
    if (mode != 0 && mode != 1)
        return;

    const double offset = options.space_start_relative ? 0.0 : session.startKm;
    const double factor = SpaceScaleDraw::unitFactor(options.space_unit);

    for (int i : {Bottom, Center, Top}) {
        QwtScaleDraw *draw = nullptr;
        if (mode == 0)
            draw = newTimeScaleDraw();
        else
            draw = new SpaceScaleDraw(offset, factor);
        // The zoomer labels its tracker with the same scale draw; it must
        // let go of the old one before the plot deletes it.
        zoomers[size_t(i)]->scaleDraw = draw;
        plotList[size_t(i)]->setAxisScaleDraw(QwtPlot::xBottom, draw);
    }
    // Other labels take other room: the ticks and the layout follow now,
    // before the next replot, so that the axis and the curves stay aligned.
    divideXAxes();
}
