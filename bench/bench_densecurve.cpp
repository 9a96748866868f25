// How fast one dense curve draws a 24-hour ride at 10 Hz (864,000 samples)
// with its pauses as gaps: none, the 48 of a real auto-paused ride, and
// 10,000 (a stop-and-go ride in town), on a canvas of 1200 x 300 pixels.
//
//   bench_densecurve [runs]
//
// Prints, as medians over the runs, the time to draw the whole ride and its
// middle half with column reduction, the time to draw every sample (one run)
// and the pixels in which the two differ.
#include "BenchSupport.h"
#include "DenseCurve.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <qwt_scale_map.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const QSize canvas(1200, 300);

// Power at 10 Hz in whole seconds, as the session file has it; each pause
// stops the clock for two minutes.
void makeRide(QVector<double> &x, QVector<double> &y, QVector<int> &breaks, int pauses)
{
    constexpr int samples = 864000;
    QRandomGenerator random(7);
    x.resize(samples);
    y.resize(samples);
    breaks.clear();
    double level = 200.0;
    for (int i = 0, passed = 0; i < samples; ++i) {
        if (passed < pauses && i == qint64(passed + 1) * samples / (pauses + 1)) {
            breaks.append(i);
            ++passed;
        }
        x[i] = double(i / 10 + 120 * passed);
        level = qBound(0.0, level + random.bounded(10.0) - 5.0, 600.0);
        y[i] = level + random.bounded(300.0);
    }
}

QImage draw(const DenseCurve &curve, double left, double right)
{
    QImage image(canvas, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QwtScaleMap xMap, yMap;
    xMap.setScaleInterval(left, right);
    xMap.setPaintInterval(0.0, canvas.width());
    yMap.setScaleInterval(-100.0, 1000.0);
    yMap.setPaintInterval(canvas.height(), 0.0);
    curve.draw(&painter, xMap, yMap, QRectF(QPointF(), canvas));
    return image;
}

double medianTime(int runs, const DenseCurve &curve, double left, double right)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        draw(curve, left, right);
        times.push_back(milliseconds(clock));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

int differingPixels(const QImage &a, const QImage &b)
{
    int count = 0;
    for (int row = 0; row < a.height(); ++row) {
        for (int column = 0; column < a.width(); ++column)
            count += a.pixel(column, row) != b.pixel(column, row);
    }
    return count;
}

} // namespace

int main(int argc, char *argv[])
{
    useOffscreenPlatform();
    QGuiApplication app(argc, argv);
    const int runs = runsArgument(argc, argv);
    std::printf("864000 samples, canvas %d x %d, pen 2 px, %d runs each\n", canvas.width(),
                canvas.height(), runs);
    std::printf("pauses  whole ride  middle half  every sample  differing pixels\n");

    QVector<double> x, y;
    QVector<int> breaks;
    for (int pauses : {0, 48, 10000}) {
        makeRide(x, y, breaks, pauses);
        DenseCurve curve;
        curve.setPen(QPen(QBrush(Qt::blue), 2.0, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
        curve.setArrays(&x, &y);
        curve.setBreaks(breaks);
        const double first = x.constFirst(), last = x.constLast();
        const double whole = medianTime(runs, curve, first, last);
        const double quarter = (last - first) / 4.0;
        const double middle = medianTime(runs, curve, first + quarter, last - quarter);
        const QImage reduced = draw(curve, first, last);
        curve.setColumnReduction(false);
        QElapsedTimer clock;
        clock.start();
        const QImage full = draw(curve, first, last);
        const double every = milliseconds(clock);
        const int differing = differingPixels(reduced, full);
        std::printf("%6d  %7.2f ms  %8.2f ms  %9.1f ms  %6d (%.4f%%)\n", pauses, whole, middle,
                    every, differing, 100.0 * differing / (canvas.width() * canvas.height()));
    }
    return 0;
}
