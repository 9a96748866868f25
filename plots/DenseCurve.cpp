#include "DenseCurve.h"

#include "ChannelIndex.h"

#include <QPainter>
#include <qwt_clipper.h>
#include <qwt_painter.h>
#include <qwt_point_data.h>
#include <qwt_scale_map.h>

#include <algorithm>
#include <cmath>

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
        int low = -1, high = -1;
        yIndex->extremes(0, n - 1, low, high);
        if (low < 0)
            return QRectF(1.0, 1.0, -2.0, -2.0);
        const double *ys = y->constData();
        return QRectF(xs[0], ys[low], xs[n - 1] - xs[0], ys[high] - ys[low]);
    }

    const QVector<double> *x;
    const QVector<double> *y;
    const ChannelIndex *yIndex;
    bool xOrdered;
    mutable const double *boundsX = nullptr;
    mutable const double *boundsY = nullptr;
    mutable int boundsCount = -1;
};

// Where QwtPlotCurve rounds a point to whole pixels, it uses qRound; values
// too large for an int (far off the canvas) are kept as they are.
inline double roundedPixel(double v)
{
    return std::fabs(v) < 1.0e9 ? double(qRound(v)) : v;
}

// Maps samples to the canvas and collects the reduced polyline.
class ColumnReducer
{
public:
    ColumnReducer(const QwtScaleMap &xMap, const QwtScaleMap &yMap, const double *x,
                  const double *y, const ChannelIndex *yIndex, bool aligned, double deviceScale)
        : xMap(xMap)
        , yMap(yMap)
        , x(x)
        , y(y)
        , yIndex(yIndex)
        , aligned(aligned)
        , deviceScale(deviceScale)
    {
    }

    // On a painter aligned to pixels, the column is the one QwtPlotCurve
    // rounds the sample to; otherwise (printing, PDF) the device pixel.
    double column(int i) const
    {
        const double px = xMap.transform(x[i]);
        return aligned ? roundedPixel(px) : std::floor(px * deviceScale);
    }

    // Samples from..to, whose x never decreases: every column is one run,
    // found by galloping and bisection instead of visiting each sample. The
    // run before gives the first guess: evenly spaced samples make runs of
    // about the same length.
    void addMonotone(int from, int to)
    {
        int first = from;
        int guess = 0;
        while (first <= to) {
            const double key = column(first);
            int same = first; // the last index known to be in this column
            int other = to + 1; // an index known to be past it
            const int guessed = first + guess - 1;
            if (guess > 1 && guessed <= to && column(guessed) != key) {
                other = guessed;
            } else {
                if (guess > 1 && guessed <= to)
                    same = guessed;
                int step = 1;
                int probe = same + 1;
                while (probe <= to && column(probe) == key) {
                    same = probe;
                    step *= 2;
                    probe = same + step;
                }
                other = std::min(probe, to + 1);
            }
            while (other - same > 1) {
                const int mid = same + (other - same) / 2;
                if (column(mid) == key)
                    same = mid;
                else
                    other = mid;
            }
            addRun(first, same, key);
            guess = same - first + 1;
            first = same + 1;
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
    // One column's run: its first sample, its lowest and highest in the
    // order they came, its last. The line through them covers the column
    // from the lowest to the highest value and leaves it where the run did.
    void addRun(int first, int last, double key)
    {
        if (first == last) {
            addPoint(first);
            return;
        }
        int low = -1, high = -1;
        double lowValue = HUGE_VAL, highValue = -HUGE_VAL;
        if (yIndex && last - first >= 2 * ChannelIndex::blockSize) {
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
        addPoint(first);
        const bool lowFirst = low < high;
        const int a = lowFirst ? low : high, b = lowFirst ? high : low;
        const double aValue = lowFirst ? lowValue : highValue;
        const double bValue = lowFirst ? highValue : lowValue;
        if (a > first && a < last)
            addPoint(a, aValue, key);
        if (b > first && b < last && b != a)
            addPoint(b, bValue, key);
        addPoint(last);
    }

    // A sample of the run in column key whose value is known: on a painter
    // aligned to pixels, key is where it lies, and the arrays need not be read.
    void addPoint(int i, double value, double key)
    {
        append(aligned ? key : xMap.transform(x[i]), yMap.transform(value));
    }

    void addPoint(int i) { append(xMap.transform(x[i]), yMap.transform(y[i])); }

    void append(double px, double py)
    {
        if (!std::isfinite(px) || !std::isfinite(py))
            return; // a sample reading "inf" or "nan" is left out
        if (aligned) {
            px = roundedPixel(px);
            py = roundedPixel(py);
        }
        const QPointF p(px, py);
        if (polyline.isEmpty() || polyline.constLast() != p)
            polyline.append(p);
    }

    const QwtScaleMap &xMap;
    const QwtScaleMap &yMap;
    const double *x;
    const double *y;
    const ChannelIndex *yIndex;
    bool aligned;
    double deviceScale;
};

} // namespace

DenseCurve::DenseCurve(const QString &title)
    : QwtPlotCurve(title)
{
}

DenseCurve::~DenseCurve() = default;

void DenseCurve::setArrays(const QVector<double> *x, const QVector<double> *y,
                           const ChannelIndex *yIndex, bool xOrdered)
{
    setData(new ArrayPairData(x, y, yIndex, xOrdered));
}

void DenseCurve::setBreaks(const QVector<int> &breaks)
{
    if (pieceStarts != breaks) {
        pieceStarts = breaks;
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
void DenseCurve::forEachPiece(int from, int to, Draw draw) const
{
    int first = from;
    auto next = std::upper_bound(pieceStarts.cbegin(), pieceStarts.cend(), from);
    for (; next != pieceStarts.cend() && *next <= to; ++next) {
        draw(first, *next - 1);
        first = *next;
    }
    draw(first, to);
}

void DenseCurve::drawLines(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                           const QRectF &canvasRect, int from, int to) const
{
    const Samples s = samples();
    const bool fitted = testCurveAttribute(Fitted) && curveFitter();
    const bool filled = brush().style() != Qt::NoBrush && brush().color().alpha() > 0;
    const QTransform device = painter->deviceTransform();
    if (!reduction || s.count == 0 || fitted || filled || device.isRotating() || device.m11() == 0.0
        || from < 0 || to >= s.count || from > to) {
        forEachPiece(from, to, [&](int first, int last) {
            QwtPlotCurve::drawLines(painter, xMap, yMap, canvasRect, first, last);
        });
        return;
    }

    // As QwtPlotCurve: clip a pen width outside the canvas.
    const qreal penWidth = std::max(qreal(1.0), painter->pen().widthF());
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
    forEachPiece(from, to, [&](int first, int last) {
        ColumnReducer reducer(xMap, yMap, s.x, s.y, s.yIndex, aligned, std::fabs(device.m11()));
        if (monotone)
            reducer.addMonotone(first, last);
        else
            reducer.addAny(first, last);
        drawReduced(painter, reducer.polyline, clipRect, aligned, last - first + 1);
    });
}

void DenseCurve::drawReduced(QPainter *painter, const QPolygonF &reduced, const QRectF &clipRect,
                             bool aligned, int sampleCount) const
{
    QPolygonF polyline = reduced;
    if (testPaintAttribute(ClipPolygons))
        polyline = QwtClipper::clipPolygonF(clipRect, polyline, false);

    const bool crowded = reduced.size() * 2 < sampleCount;
    if (!crowded || painter->pen().style() == Qt::NoPen) {
        QwtPainter::drawPolyline(painter, polyline);
        return;
    }

    // Where the reduction dropped most samples, the line is mostly vertical
    // strokes up and down one column. A dash pattern cannot show along them:
    // drawn one by one, the samples leave a solid band. The pen goes back
    // afterwards for the next piece.
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
        // Within a column the line goes up and down along one x: those
        // strokes, each with its square caps, cover what one stroke from
        // their lowest to their highest point covers, drawn as one.
        QVector<QLineF> segments;
        segments.reserve(polyline.size());
        int i = 1;
        while (i < polyline.size()) {
            const QPointF &start = polyline.at(i - 1);
            if (polyline.at(i).x() != start.x()) {
                segments.append(QLineF(start, polyline.at(i)));
                ++i;
                continue;
            }
            qreal top = start.y(), bottom = start.y();
            for (; i < polyline.size() && polyline.at(i).x() == start.x(); ++i) {
                top = std::min(top, polyline.at(i).y());
                bottom = std::max(bottom, polyline.at(i).y());
            }
            segments.append(QLineF(start.x(), top, start.x(), bottom));
        }
        painter->drawLines(segments);
    } else {
        QwtPainter::drawPolyline(painter, polyline);
    }
    if (pen.style() != original.style())
        painter->setPen(original);
}
