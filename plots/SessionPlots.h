#ifndef VOK_SESSIONPLOTS_H
#define VOK_SESSIONPLOTS_H

#include "Channel.h"
#include "Pauses.h"

#include <QObject>
#include <QVector>

#include <array>
#include <memory>

class CanvasPicker;
class CursorLine;
class MyZoomer;
class Options;
class QwtPlot;
class QwtPlotCurve;
class QwtPlotItem;
class SessionRecord;
class TimeScaleDraw;
class WorkSharer;

// The ride on the main window's three stacked plots: power on the top one,
// pedal offsets and up/down percentages in the centre, height, speed, heart
// rate and cadence at the bottom, all over one shared x axis that zooms in
// step. Owns the curves, the zoomers, the turn markers and their picker; the
// plots themselves belong to the window's form.
class SessionPlots : public QObject
{
    Q_OBJECT

public:
    enum Position { Top, Center, Bottom };

    // Builds the curves with the pens and visibility of options. session and
    // options must outlive this object; the curves draw from the session's
    // arrays in place.
    SessionPlots(const std::array<QwtPlot *, 3> &plots, const SessionRecord &session,
                 const Options &options, QObject *parent);
    ~SessionPlots() override;

    const std::array<QwtPlot *, 3> &plots() const { return plotList; }
    QwtPlotCurve *curve(Channel::Id channel) const { return curves[size_t(channel)]; }
    // One dot per single-turn file along the top of the power plot, shown in
    // time mode only.
    QwtPlotCurve *turnMarkers() const { return turnsCurve.get(); }

    // The pauses the curves leave gaps at: those of the ride over time, none
    // over distance.
    const Pauses &pauses() const { return ridePauses; }

    // The vertical line through the three plots under the pointer.
    CursorLine *cursorLine() const { return cursor; }

    // Lets the reduction of lines that runs ahead of their drawing, on
    // another thread and reading the session's arrays, stop. Call before
    // anything changes those arrays in place.
    void finishLineWork();

    void applyPens();
    // Labels the x axes for the chooser's mode: 0 time, 1 distance.
    void updateXAxisScaleDraws(int mode);
    // Hands the session's arrays to the curves and shows them: the whole ride
    // on plots that are not zoomed, the zoomed x range on all three otherwise.
    void updateGraphs();
    void showCurve(QwtPlotItem *item, bool on);
    // Back to the whole ride on all three plots.
    void showWholeRide();

    // The x interval the plots show.
    void shownXRange(double &from, double &to) const;
    // The stretch of the ride the plots show, in seconds after the start;
    // over distance, from the first to the last sample shown.
    void shownTimeRange(double &from, double &to) const;
    // A time after the start as the time axis labels it with the options.
    QString timeLabel(double seconds) const;
    // An x value as the x axis labels it, and the unit the chooser names.
    QString xLabel(double x) const;
    QString xUnit() const;

    // The mouse wheel over a canvas: notches of 120 zoom the x range of
    // all three plots around x by 0.8 each (away from the viewer zooms in);
    // with pan, they move it by a tenth of its width instead. The range stays
    // within the whole ride; the whole ride is the zoom base.
    void wheel(double x, double notches, bool pan);

signals:
    // A turn marker was double-clicked: the index of its turn.
    void turnClicked(int index);
    // The plots show another x range: zoomed, moved back, another mode.
    void shownRangeChanged();

protected:
    // A canvas that changes width divides its x axis again; the wheel over
    // a canvas zooms or pans.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void decorate(QwtPlot *plot);
    // The time axis labels for the options: counted from the start or on
    // the clock, in the options' unit.
    TimeScaleDraw *newTimeScaleDraw() const;
    // Divides a plot's x axis afresh over the interval it shows; for all
    // three, also lays out the axes again, for new labels.
    void divideXAxis(QwtPlot *plot);
    void divideXAxes();
    // The turn markers along the top edge of the power plot's visible area.
    void placeTurnMarkers();
    // The top plot's x axis has a new range: announced at once, or in a
    // zoom step of the linked plots once all three have it.
    void xRangeChanged();

    std::array<QwtPlot *, 3> plotList;
    const SessionRecord &session;
    const Options &options;

    std::array<QwtPlotCurve *, Channel::SessionCount> curves{};
    Pauses ridePauses;
    // Held here because no plot owns the markers while the axis shows distance.
    std::unique_ptr<QwtPlotCurve> turnsCurve;
    QVector<double> markerTimes; // x of each marker, in the order of the turns
    std::array<QwtPlotCurve *, 3> xRangeLines{};
    std::array<MyZoomer *, 3> zoomers{};
    CanvasPicker *picker = nullptr;
    CursorLine *cursor = nullptr;
    const std::shared_ptr<WorkSharer> lineSharer;
    bool zoomStep = false;           // a zoomer is rescaling the linked plots
    bool rangeChangedInStep = false; // and the shown range changed meanwhile
};

#endif
