#include "DenseCurve.h"

#include "ChannelIndex.h"
#include "ColumnRuns.h"
#include "PixelFill.h"
#include "StrokeShapes.h"
#include "WholePixels.h"

#include <QPainter>
#include <qwt_clipper.h>
#include <qwt_painter.h>
#include <qwt_point_data.h>
#include <qwt_scale_map.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Two arrays of someone else's, seen as curve samples; the length is read
// on every call, so a refilled array never leads past its end.
class ArrayPairData : public QwtSeriesData<QPointF>
{
public:
    ArrayPairData(const QVector<double> *x, const QVector<double> *y, const ChannelIndex *yIndex,
                  bool xOrdered)
        : x(x)
        , y(y)
        , yIndex(yIndex)
        , xOrdered(xOrdered)
    {
    }

    size_t size() const override { return x && y ? size_t(std::min(x->size(), y->size())) : 0; }

    QPointF sample(size_t i) const override { return QPointF(x->constData()[i], y->constData()[i]); }

    // Non-finite values (a field reading "inf" or "nan") are left out, so
    // that they cannot break the autoscaling of the axes.
    QRectF boundingRect() const override
    {
        const int n = int(size());
        const double *xs = n ? x->constData() : nullptr;
        const double *ys = n ? y->constData() : nullptr;
        if (xs != boundsX || ys != boundsY || n != boundsCount) {
            boundsX = xs;
            boundsY = ys;
            boundsCount = n;
            d_boundingRect = indexed() ? indexedBounds(xs, n) : bounds(xs, ys, n);
        }
        return d_boundingRect;
    }

    const double *xData() const { return size() ? x->constData() : nullptr; }
    const double *yData() const { return size() ? y->constData() : nullptr; }

    // The index of y, while it still describes the arrays as they are.
    const ChannelIndex *index() const { return indexed() ? yIndex : nullptr; }
    // Whether x is known to be finite and never to decrease.
    bool ordered() const { return xOrdered && x && x->size() == int(size()); }

private:
    static QRectF bounds(const double *xs, const double *ys, int n)
    {
        double left = HUGE_VAL, right = -HUGE_VAL, top = HUGE_VAL, bottom = -HUGE_VAL;
        for (int i = 0; i < n; ++i) {
            if (!std::isfinite(xs[i]) || !std::isfinite(ys[i]))
                continue;
            left = std::min(left, xs[i]);
            right = std::max(right, xs[i]);
            top = std::min(top, ys[i]);
            bottom = std::max(bottom, ys[i]);
        }
        if (left > right)
            return QRectF(1.0, 1.0, -2.0, -2.0); // invalid: nothing to scale to
        return QRectF(left, top, right - left, bottom - top);
    }

    bool indexed() const
    {
        return yIndex && y && yIndex->source() == y->constData() && yIndex->size() == y->size()
               && int(size()) == y->size();
    }

    // With x in order and finite, the bounds are its ends and the extremes
    // of y, which the index knows.
    QRectF indexedBounds(const double *xs, int n) const
    {
        if (!xOrdered)
            return bounds(xs, y->constData(), n);
        double low, high;
        if (!yIndex->extremeValues(0, n - 1, low, high))
            return QRectF(1.0, 1.0, -2.0, -2.0);
        return QRectF(xs[0], low, xs[n - 1] - xs[0], high - low);
    }

    const QVector<double> *x;
    const QVector<double> *y;
    const ChannelIndex *yIndex;
    bool xOrdered;
    mutable const double *boundsX = nullptr;
    mutable const double *boundsY = nullptr;
    mutable int boundsCount = -1;
};

// Maps samples to the canvas and collects the reduced polyline.
class ColumnReducer
{
public:
    // valuesOnly: the order of a run's lowest and highest sample does not
    // matter (see addRun).
    ColumnReducer(const QwtScaleMap &xMap, const QwtScaleMap &yMap, const double *x,
                  const double *y, const ChannelIndex *yIndex, bool aligned, double deviceScale,
                  bool valuesOnly)
        : xMap(xMap)
        , yMap(yMap)
        , x(x)
        , y(y)
        , yIndex(yIndex)
        , aligned(aligned)
        , deviceScale(deviceScale)
        , valuesOnly(valuesOnly && aligned)
    {
    }

    double column(int i) const { return ColumnRuns::columnOf(x[i], xMap, aligned, deviceScale); }

    // Samples first..last, whose x never decreases, along the runs found
    // for a range that holds them. The samples each run's extremes read one
    // by one are asked for some runs ahead: the runs lie far apart in long
    // arrays, and reading them one at a time would wait for memory at each.
    void addRuns(const ColumnRuns::Runs &runs, int first, int last)
    {
        const std::vector<int> &starts = runs.starts;
        const int count = int(starts.size());
        int r = int(std::upper_bound(starts.cbegin(), starts.cend(), first) - starts.cbegin()) - 1;
        const int end = int(std::upper_bound(starts.cbegin(), starts.cend(), last) - starts.cbegin());
        polyline.reserve(polyline.size() + 4 * (end - std::max(r, 0)) + 2); // four points a run at most
        constexpr int ahead = 8;
        for (int k = std::max(r, 0); k < std::min(count, r + ahead); ++k)
            prefetch(starts[size_t(k)]);
        for (; r < count && r >= 0 && starts[size_t(r)] <= last; ++r) {
            if (r + ahead < count)
                prefetch(starts[size_t(r + ahead)]);
            const int runLast = r + 1 < count ? starts[size_t(r) + 1] - 1 : last;
            addRun(std::max(first, starts[size_t(r)]), std::min(last, runLast),
                   runs.columns[size_t(r)]);
        }
    }

    // Samples from..to in any order: runs end wherever the column changes.
    void addAny(int from, int to)
    {
        int first = from;
        double key = column(from);
        for (int i = from + 1; i <= to; ++i) {
            const double next = column(i);
            if (next != key) {
                addRun(first, i - 1, key);
                first = i;
                key = next;
            }
        }
        addRun(first, to, key);
    }

    QPolygonF polyline;

private:
    // The samples a run's extremes read one by one: those before its first
    // whole block of the index, and those after the last whole block of the
    // run before.
    void prefetch(int start) const
    {
#if defined(__GNUC__)
        constexpr int block = ChannelIndex::blockSize;
        const int from = std::max(start / block * block - block, 0);
        for (int i = from; i < from + 2 * block; i += 8)
            __builtin_prefetch(y + i);
        __builtin_prefetch(y + from + 2 * block - 1);
#else
        Q_UNUSED(start);
#endif
    }

    // One column's run: its first sample, its lowest and highest in the
    // order they came, its last. The line through them covers the column
    // from the lowest to the highest value and leaves it where the run did.
    void addRun(int first, int last, double key)
    {
        if (first == last) {
            addPoint(first, key);
            return;
        }
        int low = -1, high = -1;
        double lowValue = HUGE_VAL, highValue = -HUGE_VAL;
        if (yIndex && last - first >= 2 * ChannelIndex::blockSize) {
            if (valuesOnly) {
                // On whole pixels every point of the run lies on the
                // column's x, and a solid line covers the column from the
                // lowest to the highest value in either order: where they
                // lie need not be looked up.
                addPoint(first, key);
                if (yIndex->extremeValues(first, last, lowValue, highValue)) {
                    addPoint(first, lowValue, key);
                    addPoint(first, highValue, key);
                }
                addPoint(last, key);
                return;
            }
            yIndex->extremes(first, last, low, high, &lowValue, &highValue);
        } else {
            for (int i = first; i <= last; ++i) {
                // Written without branches: noisy data would mispredict them.
                // Values that are not finite are never the lowest or highest.
                const double v = y[i];
                const bool finite = v - v == 0.0;
                const bool lower = finite && v < lowValue;
                const bool higher = finite && v > highValue;
                lowValue = lower ? v : lowValue;
                low = lower ? i : low;
                highValue = higher ? v : highValue;
                high = higher ? i : high;
            }
        }
        addPoint(first, key);
        const bool lowFirst = low < high;
        const int a = lowFirst ? low : high, b = lowFirst ? high : low;
        const double aValue = lowFirst ? lowValue : highValue;
        const double bValue = lowFirst ? highValue : lowValue;
        if (a > first && a < last)
            addPoint(a, aValue, key);
        if (b > first && b < last && b != a)
            addPoint(b, bValue, key);
        addPoint(last, key);
    }

    // A sample of the run in column key whose value is known: on a painter
    // aligned to pixels, key is where it lies, and the arrays need not be read.
    void addPoint(int i, double value, double key)
    {
        append(aligned ? key : xMap.transform(x[i]), yMap.transform(value));
    }

    // A sample of the run in column key.
    void addPoint(int i, double key) { addPoint(i, y[i], key); }

    void append(double px, double py)
    {
        if (!std::isfinite(px) || !std::isfinite(py))
            return; // a sample reading "inf" or "nan" is left out
        if (aligned) {
            px = ColumnRuns::roundedPixel(px);
            py = ColumnRuns::roundedPixel(py);
        }
        // Exact comparisons: QPointF's own are fuzzy, and cost more than
        // the rest of a point together. Points apart by a rounding error
        // both stay, which draws the same.
        if (!polyline.isEmpty()) {
            const QPointF &last = polyline.constLast();
            if (last.x() == px && last.y() == py)
                return;
        }
        polyline.append(QPointF(px, py));
    }

    const QwtScaleMap &xMap;
    const QwtScaleMap &yMap;
    const double *x;
    const double *y;
    const ChannelIndex *yIndex;
    bool aligned;
    double deviceScale;
    bool valuesOnly;
};

// Whole pixels, so that a filled rectangle covers what a stroke would.
// Not through std::floor, which is a call on processors without SSE4.1.
inline bool whole(qreal v)
{
    return std::fabs(v) < 1.0e9 && v == qreal(qint64(v));
}

// Every column's x and ends are whole pixels.
bool onWholePixels(const std::vector<DenseCurve::Column> &columns)
{
    return std::all_of(columns.cbegin(), columns.cend(), [](const DenseCurve::Column &c) {
        return whole(c.x) && whole(c.top) && whole(c.bottom) && whole(c.entry) && whole(c.exit);
    });
}

// Draws a reduced polyline with a pen of radius below 1.5, square caps and
// round joins. Within a column the line goes up and down along one x: those
// strokes, each with its square caps, cover what one stroke from their
// lowest to their highest point covers, drawn as one. Between columns, a
// line joins where one column left to where the next begins.
//
// A pen exactly 2 wide, opaque and on whole pixels is faster filled than
// stroked: a column's stroke covers the rectangle one pixel around it. A
// line to the next column stays within the two pixel columns each side of
// where it leaves and one row past its ends, corners included; where both
// its ends lie a row inside both columns' strokes, those already cover it,
// and it is left out; otherwise the pixels its stroke covers are filled, as
// learned for its rise.
void drawColumnStrokes(QPainter *painter, const std::vector<DenseCurve::Column> &columns,
                       bool allWhole, const QPen &pen, StrokeShapes &joins)
{
    using Column = DenseCurve::Column;
    const bool fill = pen.widthF() == 2.0 && WholePixels::opaqueStrokes(painter, pen);
    // Mostly known for all columns at once (allWhole), found where the
    // line was reduced.
    auto whole = [allWhole](qreal v) { return allWhole || ::whole(v); };
    QVector<QLineF> lines;
    lines.reserve(int(columns.size()) * 2);
    PixelFill rectangles(painter, pen.color());
    auto stroke = [&](const Column &c) {
        if (c.top == c.bottom)
            return;
        if (fill && whole(c.x) && whole(c.top) && whole(c.bottom))
            rectangles.fill(QRect(int(c.x) - 1, int(c.top) - 1, 2, int(c.bottom - c.top) + 2));
        else
            lines.append(QLineF(c.x, c.top, c.x, c.bottom));
    };
    auto covered = [&](const Column &a, const Column &b) {
        const qreal low = std::min(a.exit, b.entry), high = std::max(a.exit, b.entry);
        return fill && b.x - a.x == 1.0 && whole(a.x) && whole(low) && whole(high)
               && low >= std::max(a.top, b.top) + 1.0 && high <= std::min(a.bottom, b.bottom) - 1.0;
    };
    auto join = [&](const Column &a, const Column &b) {
        if (covered(a, b))
            return;
        const StrokeShapes::Shape *shape = fill && b.x - a.x == 1.0 && whole(a.x)
                && whole(a.exit) && whole(b.entry)
            ? joins.shape(pen, painter->renderHints(), int(b.entry - a.exit))
            : nullptr;
        if (shape)
            rectangles.fill(shape->rects, shape->bounds, QPoint(int(a.x), int(a.exit)));
        else
            lines.append(QLineF(a.x, a.exit, b.x, b.entry));
    };
    for (size_t i = 0; i < columns.size(); ++i) {
        stroke(columns[i]);
        if (i > 0)
            join(columns[i - 1], columns[i]);
    }
    painter->drawLines(lines);
}

// The polyline's runs of points along one x, each as one column.
std::vector<DenseCurve::Column> columnsOf(const QPolygonF &polyline)
{
    std::vector<DenseCurve::Column> columns;
    columns.reserve(size_t(polyline.size()) / 2 + 1); // most columns hold several points
    int i = 0;
    while (i < polyline.size()) {
        const QPointF &start = polyline.at(i);
        DenseCurve::Column column{start.x(), start.y(), start.y(), start.y(), start.y()};
        for (++i; i < polyline.size() && polyline.at(i).x() == start.x(); ++i) {
            column.top = std::min(column.top, polyline.at(i).y());
            column.bottom = std::max(column.bottom, polyline.at(i).y());
            column.exit = polyline.at(i).y();
        }
        columns.push_back(column);
    }
    return columns;
}

} // namespace

DenseCurve::DenseCurve(const QString &title)
    : QwtPlotCurve(title)
    , columnRuns(std::make_shared<ColumnRuns>())
{
}

DenseCurve::~DenseCurve()
{
    dropAhead();
}

// A reduced line usually
// leaves the rectangle only at its ends, which reach to the samples just
// beyond either side. Then only the segments up to its first point inside
// and from its last are clipped. That gives the same points: the clipper
// takes each segment on its own and passes on those inside.
QPolygonF DenseCurve::clipLine(const QRectF &rect, const QPolygonF &line)
{
    auto inside = [&rect](const QPointF &p) {
        return p.x() >= rect.left() && p.x() <= rect.right() && p.y() >= rect.top()
               && p.y() <= rect.bottom();
    };
    const int first = int(std::find_if(line.begin(), line.end(), inside) - line.begin());
    const int last = int(line.rend() - std::find_if(line.rbegin(), line.rend(), inside)) - 1;
    if (first >= last || !std::all_of(line.begin() + first, line.begin() + last, inside))
        return QwtClipper::clipPolygonF(rect, line, false);
    QPolygonF clipped = QwtClipper::clipPolygonF(rect, line.mid(0, first + 1), false);
    clipped.reserve(clipped.size() + last - first + 8);
    clipped.append(line.mid(first + 1, last - first - 1));    // after line[first], which ends it
    clipped.append(QwtClipper::clipPolygonF(rect, line.mid(last), false)); // from line[last]
    return clipped;
}

void DenseCurve::setArrays(const QVector<double> *x, const QVector<double> *y,
                           const ChannelIndex *yIndex, bool xOrdered)
{
    setData(new ArrayPairData(x, y, yIndex, xOrdered));
}

void DenseCurve::shareColumnRuns(const std::shared_ptr<ColumnRuns> &runs)
{
    columnRuns = runs ? runs : std::make_shared<ColumnRuns>();
}

void DenseCurve::setBreaks(const QVector<int> &breaks)
{
    if (pieceStarts != breaks) {
        pieceStarts = breaks;
        lastLine.valid = false;
        dropAhead();
        itemChanged();
    }
}

void DenseCurve::setColumnReduction(bool on)
{
    if (reduction != on) {
        reduction = on;
        itemChanged();
    }
}

void DenseCurve::dataChanged()
{
    monotoneX = nullptr;
    monotoneCount = -1;
    columnRuns->clear();
    lastLine.valid = false;
    dropAhead();
    QwtPlotCurve::dataChanged();
}

DenseCurve::Samples DenseCurve::samples() const
{
    Samples s;
    if (const auto *pair = dynamic_cast<const ArrayPairData *>(data())) {
        s.x = pair->xData();
        s.y = pair->yData();
        s.yIndex = pair->index();
        s.xOrdered = pair->ordered();
    } else if (const auto *raw = dynamic_cast<const QwtCPointerData *>(data())) {
        s.x = raw->xData();
        s.y = raw->yData();
    }
    s.count = s.x && s.y ? int(dataSize()) : 0;
    return s;
}

// Worked out once per array: a refilled array of the same place and length
// (until the next setArrays) is the only way to get a stale answer, and it
// costs a wrongly chosen visible range for a moment, never a wrong access.
bool DenseCurve::xNeverDecreases(const Samples &s) const
{
    if (s.xOrdered)
        return true;
    if (s.x != monotoneX || s.count != monotoneCount) {
        monotoneX = s.x;
        monotoneCount = s.count;
        monotone = s.count == 0 || std::isfinite(s.x[0]);
        for (int i = 1; monotone && i < s.count; ++i)
            monotone = s.x[i] >= s.x[i - 1] && std::isfinite(s.x[i]);
    }
    return monotone;
}

template<typename Draw>
void DenseCurve::forEachPiece(const QVector<int> &pieceStarts, int from, int to, Draw draw)
{
    int first = from;
    auto next = std::upper_bound(pieceStarts.cbegin(), pieceStarts.cend(), from);
    for (; next != pieceStarts.cend() && *next <= to; ++next) {
        draw(first, *next - 1);
        first = *next;
    }
    draw(first, to);
}

bool DenseCurve::planLine(QPainter *painter, const QPen &pen, const QwtScaleMap &xMap,
                          const QwtScaleMap &yMap, const QRectF &canvasRect, int from, int to,
                          LinePlan &plan) const
{
    const Samples s = samples();
    const bool fitted = testCurveAttribute(Fitted) && curveFitter();
    const bool filled = brush().style() != Qt::NoBrush && brush().color().alpha() > 0;
    const QTransform device = painter->deviceTransform();
    if (!reduction || s.count == 0 || fitted || filled || device.isRotating() || device.m11() == 0.0
        || from < 0 || to >= s.count || from > to)
        return false;

    // As QwtPlotCurve: clip a pen width outside the canvas.
    const qreal penWidth = std::max(qreal(1.0), pen.widthF());
    const QRectF clipRect = canvasRect.adjusted(-penWidth, -penWidth, penWidth, penWidth);

    const bool aligned = QwtPainter::roundingAlignment(painter);
    const bool monotone = xNeverDecreases(s);
    if (monotone) {
        // Only the samples over the clip rectangle, and one beyond it on
        // either side for the lines that enter and leave it. That one lies
        // outside by more than a rounding, so that the clipped line starts
        // where clipping every sample would start it (a dash pattern
        // depends on it).
        double left = xMap.invTransform(clipRect.left() - 2.0);
        double right = xMap.invTransform(clipRect.right() + 2.0);
        if (left > right)
            std::swap(left, right);
        if (std::isfinite(left) && std::isfinite(right)) {
            const double *begin = s.x + from;
            const double *end = s.x + to + 1;
            from = std::max(from, int(std::lower_bound(begin, end, left) - s.x) - 1);
            to = std::min(to, int(std::upper_bound(begin, end, right) - s.x));
        }
    }
    const double deviceScale = std::fabs(device.m11());
    const bool solid = pen.style() == Qt::SolidLine;

    // The first and last values show most arrays refilled in place.
    plan.samples = s;
    const bool clipped = testPaintAttribute(ClipPolygons);
    plan.key = LineKey{s.x,       s.y,       s.count,   s.yIndex,  from,      to,
                       s.x[from], s.x[to],   s.y[from], s.y[to],   xMap.s1(), xMap.s2(),
                       xMap.p1(), xMap.p2(), yMap.s1(), yMap.s2(), yMap.p1(), yMap.p2(),
                       clipRect,  clipped,   aligned,   deviceScale, solid};
    // Over scales that are not linear the maps' ends do not say enough.
    plan.linear = !xMap.transformation() && !yMap.transformation();
    plan.xMap = xMap;
    plan.yMap = yMap;
    plan.pieceStarts = pieceStarts;
    plan.runFinder.reset();
    return true;
}

void DenseCurve::planRuns(LinePlan &plan) const
{
    if (xNeverDecreases(plan.samples))
        plan.runFinder = columnRuns;
}

bool DenseCurve::hasLine(const LinePlan &plan) const
{
    return plan.linear && lastLine.valid && lastLine.key == plan.key;
}

std::shared_ptr<DenseCurve::LineAhead> DenseCurve::planAhead(QPainter *painter,
                                                             const QwtScaleMap &xMap,
                                                             const QwtScaleMap &yMap,
                                                             const QRectF &canvasRect) const
{
    LinePlan plan;
    if (!planLine(painter, pen(), xMap, yMap, canvasRect, 0, int(dataSize()) - 1, plan)
        || !plan.linear || hasLine(plan) || (ahead && ahead->plan.key == plan.key))
        return nullptr;
    planRuns(plan);
    dropAhead();
    ahead = std::make_shared<LineAhead>(std::move(plan));
    return ahead;
}

void DenseCurve::dropAhead() const
{
    if (ahead)
        ahead->drop();
    ahead.reset();
}

DenseCurve::ReducedLine DenseCurve::reduce(const LinePlan &plan)
{
    const Samples &s = plan.samples;
    ReducedLine line;
    const std::shared_ptr<const ColumnRuns::Runs> runs = plan.runFinder
        ? plan.runFinder->find(s.x, plan.key.from, plan.key.to, plan.xMap, plan.key.aligned,
                               plan.key.deviceScale)
        : nullptr;
    forEachPiece(plan.pieceStarts, plan.key.from, plan.key.to, [&](int first, int last) {
        ColumnReducer reducer(plan.xMap, plan.yMap, s.x, s.y, s.yIndex, plan.key.aligned,
                              plan.key.deviceScale, plan.key.solid);
        if (runs)
            reducer.addRuns(*runs, first, last);
        else
            reducer.addAny(first, last);
        // Mostly vertical strokes up and down one column, where the
        // reduction dropped most samples.
        const bool crowded = reducer.polyline.size() * 2 < last - first + 1;
        if (plan.key.clipped)
            reducer.polyline = clipLine(plan.key.clip, reducer.polyline);
        // Drawn as columns where crowded, found here, often on another thread.
        ReducedPiece piece{reducer.polyline, {}, false};
        if (crowded) {
            piece.columns = columnsOf(piece.polyline);
            piece.onWholePixels = onWholePixels(piece.columns);
        }
        line.pieces.push_back(std::move(piece));
    });
    line.key = plan.key;
    line.valid = plan.linear;
    return line;
}

DenseCurve::LineAhead::LineAhead(LinePlan plan)
    : plan(std::move(plan))
{
}

bool DenseCurve::LineAhead::reduce()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (state != Waiting)
            return false;
        state = Taken;
    }
    ReducedLine reduced = DenseCurve::reduce(plan);
    {
        std::lock_guard<std::mutex> lock(mutex);
        line = std::move(reduced);
        state = Done;
    }
    done.notify_all();
    return true;
}

bool DenseCurve::LineAhead::isDone()
{
    std::lock_guard<std::mutex> lock(mutex);
    return state == Done;
}

void DenseCurve::LineAhead::drop()
{
    std::lock_guard<std::mutex> lock(mutex);
    if (state == Waiting)
        state = Dropped;
}

DenseCurve::ReducedLine DenseCurve::LineAhead::take()
{
    reduce();
    // Another thread has it: rather than wait, reduce the lines after it
    // that nobody has taken, one at a time, until it is done.
    for (LineAhead *later = after.get(); later && !isDone(); later = later->after.get())
        later->reduce();
    std::unique_lock<std::mutex> lock(mutex);
    done.wait(lock, [this] { return state == Done || state == Dropped; });
    if (state == Dropped)
        return DenseCurve::reduce(plan); // not to be had from the others, which let it go
    return std::move(line);
}

void DenseCurve::drawLines(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                           const QRectF &canvasRect, int from, int to) const
{
    LinePlan line;
    if (!planLine(painter, painter->pen(), xMap, yMap, canvasRect, from, to, line)) {
        forEachPiece(pieceStarts, from, to, [&](int first, int last) {
            QwtPlotCurve::drawLines(painter, xMap, yMap, canvasRect, first, last);
        });
        return;
    }
    // A replot with the same maps (a curve hidden or shown, a pen changed)
    // draws the line reduced last time again, or the one planned ahead,
    // which another thread may have reduced or be reducing.
    if (!hasLine(line)) {
        if (ahead && line.linear && ahead->plan.key == line.key) {
            lastLine = ahead->take();
            ahead.reset();
        } else {
            planRuns(line);
            lastLine = reduce(line);
        }
    }
    for (const ReducedPiece &piece : lastLine.pieces)
        drawReduced(painter, piece, line.key.aligned);
}

bool DenseCurve::LineKey::operator==(const LineKey &o) const
{
    // Values compare by their bits: a NaN at an end is the same NaN again.
    auto same = [](double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; };
    return x == o.x && y == o.y && count == o.count && yIndex == o.yIndex && from == o.from
           && to == o.to && same(firstX, o.firstX) && same(lastX, o.lastX)
           && same(firstY, o.firstY) && same(lastY, o.lastY) && xs1 == o.xs1 && xs2 == o.xs2
           && xp1 == o.xp1 && xp2 == o.xp2 && ys1 == o.ys1 && ys2 == o.ys2 && yp1 == o.yp1
           && yp2 == o.yp2 && clip == o.clip && clipped == o.clipped && aligned == o.aligned
           && deviceScale == o.deviceScale && solid == o.solid;
}

void DenseCurve::drawReduced(QPainter *painter, const ReducedPiece &piece, bool aligned) const
{
    const QPolygonF &polyline = piece.polyline;
    if (!piece.crowded() || painter->pen().style() == Qt::NoPen) {
        QwtPainter::drawPolyline(painter, polyline);
        return;
    }

    // Where the line is mostly vertical strokes up and down one column, a
    // dash pattern cannot show along them: drawn one by one, the samples
    // leave a solid band. The pen goes back afterwards for the next piece.
    const QPen original = painter->pen();
    QPen pen = original;
    if (pen.style() != Qt::SolidLine) {
        pen.setStyle(Qt::SolidLine);
        painter->setPen(pen);
    }
    // Stroking round joins costs several times what the rest does. Where a
    // stroke turns back at a whole pixel, a round join of radius r covers
    // the pixels whose centres lie within r; a square cap on a separate
    // segment covers those within r along each axis. Below a radius of 1.5
    // both are the four pixels around the point, so thinner pens are drawn
    // as separate segments (between columns they may differ by a pixel
    // here and there). On paper or in a PDF, points are not at whole pixels.
    if (aligned && pen.widthF() > 1.0 && pen.widthF() < 3.0 && pen.capStyle() == Qt::SquareCap
        && pen.joinStyle() == Qt::RoundJoin) {
        drawColumnStrokes(painter, piece.columns, piece.onWholePixels, pen, joinShapes);
    } else {
        QwtPainter::drawPolyline(painter, polyline);
    }
    if (pen.style() != original.style())
        painter->setPen(original);
}
