#ifndef VOK_DENSECURVE_H
#define VOK_DENSECURVE_H

#include "ColumnRuns.h"
#include "StrokeShapes.h"

#include <QPolygonF>
#include <QVector>
#include <qwt_plot_curve.h>
#include <qwt_scale_map.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

class ChannelIndex;

// A curve over two arrays that someone else owns (the session record): it
// reads them in place and never copies them. A replot with the same maps
// draws the line it reduced from them last time again.
//
// A long ride has far more samples than the canvas has pixel columns. Each
// run of consecutive samples that lands in one pixel column is drawn as the
// run's first, lowest, highest and last sample, which covers the same pixels
// as drawing every sample of the run. When x never decreases, only the
// samples over the canvas are visited at all.
//
// Breaks cut the line: no line joins a break's sample to the one before
// (a pause in the ride), whether samples are reduced or not.
class DenseCurve : public QwtPlotCurve
{
    struct Samples {
        const double *x = nullptr;
        const double *y = nullptr;
        const ChannelIndex *yIndex = nullptr;
        bool xOrdered = false;
        int count = 0;
    };
    // What a reduced line was reduced from and for.
    struct LineKey {
        const double *x, *y;
        int count;
        const ChannelIndex *yIndex;
        int from, to;
        double firstX, lastX, firstY, lastY;
        double xs1, xs2, xp1, xp2, ys1, ys2, yp1, yp2;
        QRectF clip;
        bool clipped; // to clip
        bool aligned;
        double deviceScale;
        bool solid;
        bool operator==(const LineKey &other) const;
    };

public:
    explicit DenseCurve(const QString &title = QString());
    ~DenseCurve() override;

    // x and y stay owned by the caller and must outlive the curve, or the
    // next call. They may be refilled in between: the curve draws their
    // current common length. Call again after refilling them in place:
    // until then, a replot with the same maps and the same length and end
    // values draws the old line. nullptr counts as an empty array.
    // An index of y lets a run of samples in one pixel column be reduced
    // without visiting each; it is used only while it was built on y as it
    // is. xOrdered tells that x is finite and never decreases.
    void setArrays(const QVector<double> *x, const QVector<double> *y,
                   const ChannelIndex *yIndex = nullptr, bool xOrdered = false);

    // Curves over one x array, drawn with one x map, may share where its
    // samples change pixel column, which is then found once for all of
    // them. nullptr gives the curve its own again.
    void shareColumnRuns(const std::shared_ptr<ColumnRuns> &runs);

    // Indices of the samples that start a new piece of line, in increasing
    // order; they index the arrays of setArrays.
    void setBreaks(const QVector<int> &breaks);
    const QVector<int> &breaks() const { return pieceStarts; }

    // On by default. Off draws every sample the way QwtPlotCurve does.
    void setColumnReduction(bool on);
    bool columnReduction() const { return reduction; }

    // A run of a reduced line's points along one x: where it enters and
    // leaves, and its lowest and highest point (in paint coordinates).
    struct Column {
        qreal x, top, bottom, entry, exit;
    };

    // The points QwtClipper::clipPolygonF gives for an open polyline, found
    // faster where only the line's ends leave the rectangle.
    static QPolygonF clipLine(const QRectF &rect, const QPolygonF &line);

    // A line reduced ahead of the paint that draws it, on another thread as
    // well as on the painting one. planAhead() works out, on the painting
    // thread, the line a paint of this curve with these maps, this painter
    // and the curve's pen would reduce; the curve keeps it, and its next
    // paint with those maps draws it. reduce() may then run on any thread:
    // it reads only the arrays and the plan, never the curve, which may be
    // drawn, changed or deleted meanwhile; the plan holds the column runs'
    // finder the curves share. The arrays must stay as they are until it
    // returns.
    class LineAhead;
    // nullptr where there is nothing to reduce: the last line fits, a line
    // ahead already has these maps, or the paint draws every sample.
    std::shared_ptr<LineAhead> planAhead(QPainter *painter, const QwtScaleMap &xMap,
                                         const QwtScaleMap &yMap, const QRectF &canvasRect) const;

protected:
    void drawLines(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                   const QRectF &canvasRect, int from, int to) const override;
    void dataChanged() override;

private:
    // What a line is reduced from and for: the samples over the canvas and
    // beyond it by one, the maps, the pieces between breaks, and where x
    // never decreases, the runs of samples in one pixel column.
    struct LinePlan {
        Samples samples;
        LineKey key{};
        bool linear = false; // over other scales a line is not kept
        QwtScaleMap xMap, yMap;
        QVector<int> pieceStarts;
        // Where x never decreases: finds the column runs for the reduction,
        // on the thread that reduces.
        std::shared_ptr<ColumnRuns> runFinder;
    };
    // The line reduced at the last paint or ahead of it, piece by piece,
    // clipped as it is to be drawn.
    struct ReducedPiece {
        QPolygonF polyline;
        // Where far fewer points than samples, the polyline's columns.
        std::vector<Column> columns;
        bool onWholePixels = false; // every column's x and ends
        bool crowded() const { return !columns.empty(); }
    };
    struct ReducedLine {
        bool valid = false;
        LineKey key{};
        std::vector<ReducedPiece> pieces;
    };

    Samples samples() const;
    bool xNeverDecreases(const Samples &s) const;
    // Whether the curve reduces its line for a paint with this painter and
    // pen over samples from..to; if so, what the line is reduced from and for.
    bool planLine(QPainter *painter, const QPen &pen, const QwtScaleMap &xMap,
                  const QwtScaleMap &yMap, const QRectF &canvasRect, int from, int to,
                  LinePlan &plan) const;
    // Where x never decreases, lets the reduction find the column runs.
    void planRuns(LinePlan &plan) const;
    bool hasLine(const LinePlan &plan) const;
    // Calls draw(first, last) for each unbroken piece of from..to, pieces
    // starting at pieceStarts.
    template<typename Draw>
    static void forEachPiece(const QVector<int> &pieceStarts, int from, int to, Draw draw);
    // Leaves the line planned ahead to nobody.
    void dropAhead() const;
    // Reads only the plan and the arrays it names, and asks the plan's
    // run finder: safe on any thread.
    static ReducedLine reduce(const LinePlan &plan);
    void drawReduced(QPainter *painter, const ReducedPiece &piece, bool aligned) const;

    bool reduction = true;
    QVector<int> pieceStarts;
    std::shared_ptr<ColumnRuns> columnRuns;

    mutable ReducedLine lastLine;
    mutable StrokeShapes joinShapes; // of the lines between columns, by rise
    mutable std::shared_ptr<LineAhead> ahead; // planned for the next paint

    // Whether x never decreases, for the x array it was worked out on.
    mutable const double *monotoneX = nullptr;
    mutable int monotoneCount = -1;
    mutable bool monotone = false;
};

// Taken by whichever thread comes to it first. Lines planned together are
// chained in the order they are to be drawn: the painting thread, while
// another thread reduces the line it needs, reduces one of those after it.
class DenseCurve::LineAhead
{
public:
    explicit LineAhead(LinePlan plan);
    // Reduces the line unless another thread has taken it; returns whether
    // this call reduced it.
    bool reduce();
    // The next line of the chain, reduced and drawn after this one.
    void chain(std::shared_ptr<LineAhead> next) { after = std::move(next); }

private:
    friend class DenseCurve;
    // Reduces the line if nobody has, and hands it over once it is done.
    ReducedLine take();
    bool isDone();
    // No thread takes the line any more: its curve no longer wants it, and
    // the arrays it names may change.
    void drop();

    const LinePlan plan;
    std::shared_ptr<LineAhead> after;
    std::mutex mutex;
    std::condition_variable done;
    enum State { Waiting, Taken, Done, Dropped } state = Waiting;
    ReducedLine line;
};

#endif
