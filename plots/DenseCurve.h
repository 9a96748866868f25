#ifndef VOK_DENSECURVE_H
#define VOK_DENSECURVE_H

#include "ColumnRuns.h"

#include <QPolygonF>
#include <QVector>
#include <qwt_plot_curve.h>
#include <qwt_scale_map.h>

#include <memory>
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

    // The line a paint of this curve with these maps, this painter and the
    // curve's pen would reduce, worked out ahead of the paint; the paint
    // then draws it as it stands. Plan on the painting thread: it reads the
    // painter and may find the shared runs. reduce() reads only the arrays
    // and writes only this curve's last line, so that the lines of several
    // curves can be reduced on several threads at once while nothing else
    // touches the curves. plan() returns false where there is nothing to
    // reduce: the last line fits, or the paint draws every sample.
    class LinePlan
    {
        friend class DenseCurve;
        Samples samples;
        LineKey key{};
        bool linear = false; // over other scales a line is not kept
        QwtScaleMap xMap, yMap;
        std::shared_ptr<const ColumnRuns::Runs> runs; // where x never decreases
    };
    bool plan(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
              const QRectF &canvasRect, LinePlan &plan) const;
    void reduce(const LinePlan &plan) const;

protected:
    void drawLines(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                   const QRectF &canvasRect, int from, int to) const override;
    void dataChanged() override;

private:
    Samples samples() const;
    bool xNeverDecreases(const Samples &s) const;
    // Whether the curve reduces its line for a paint with this painter and
    // pen over samples from..to; if so, what the line is reduced from and for.
    bool planLine(QPainter *painter, const QPen &pen, const QwtScaleMap &xMap,
                  const QwtScaleMap &yMap, const QRectF &canvasRect, int from, int to,
                  LinePlan &plan) const;
    bool hasLine(const LinePlan &plan) const;
    // Calls draw(first, last) for each unbroken piece of from..to.
    template<typename Draw>
    void forEachPiece(int from, int to, Draw draw) const;
    struct ReducedPiece;
    void drawReduced(QPainter *painter, const ReducedPiece &piece, bool aligned) const;

    bool reduction = true;
    QVector<int> pieceStarts;
    std::shared_ptr<ColumnRuns> columnRuns;

    // The line reduced at the last paint or ahead of it, piece by piece,
    // clipped as it is to be drawn.
    struct ReducedPiece {
        QPolygonF polyline;
        // Where far fewer points than samples, the polyline's columns.
        std::vector<Column> columns;
        bool crowded() const { return !columns.empty(); }
    };
    struct ReducedLine {
        bool valid = false;
        LineKey key{};
        std::vector<ReducedPiece> pieces;
    };
    mutable ReducedLine lastLine;

    // Whether x never decreases, for the x array it was worked out on.
    mutable const double *monotoneX = nullptr;
    mutable int monotoneCount = -1;
    mutable bool monotone = false;
};

#endif
