#ifndef VOK_COLUMNRUNS_H
#define VOK_COLUMNRUNS_H

#include <qwt_scale_map.h>

#include <cmath>
#include <memory>
#include <mutex>
#include <vector>

// Where the samples of an x array that never decreases move on to the next
// pixel column, under one scale map: the first sample of each run of
// samples that land in one column, and that column.
//
// Finding them takes a few reads of x per column, scattered over a long
// array. All curves of a ride share their x array and, on plots of one
// width, their x map, so one ColumnRuns shared by all of them finds the runs
// once for every curve it draws until the map changes. It keeps the last
// answer only: the curves of a plot are drawn one after the other. Curves
// reduced on two threads may ask at once: one finds, the other waits for
// its answer. An answer never changes once given, and its holders may read
// it on any thread.
class ColumnRuns
{
public:
    struct Runs {
        std::vector<int> starts;     // increasing; starts.front() is the first sample
        std::vector<double> columns; // the column of each run
    };

    // The runs of samples from..to of x, which must be finite and never
    // decrease there. On a painter aligned to pixels a sample's column is
    // the one QwtPlotCurve rounds it to; otherwise it is the device pixel
    // (deviceScale device pixels to a painter unit).
    std::shared_ptr<const Runs> find(const double *x, int from, int to, const QwtScaleMap &xMap,
                                     bool aligned, double deviceScale);

    // Where QwtPlotCurve rounds a point to whole pixels, it uses qRound;
    // values too large for an int (far off the canvas) are kept as they are.
    static double roundedPixel(double v)
    {
        return std::fabs(v) < 1.0e9 ? double(qRound(v)) : v;
    }
    // The column of x, as find() counts columns.
    static double columnOf(double x, const QwtScaleMap &xMap, bool aligned, double deviceScale)
    {
        const double px = xMap.transform(x);
        return aligned ? roundedPixel(px) : std::floor(px * deviceScale);
    }

    // Forgets the last answer: the array behind it changed.
    void clear();

private:
    struct Key {
        const double *x = nullptr;
        int from = 0;
        int to = -1;
        double firstX = 0.0, lastX = 0.0; // a refilled array of the same place shows here
        double s1 = 0.0, s2 = 0.0, p1 = 0.0, p2 = 0.0;
        bool aligned = false;
        double deviceScale = 0.0;
        bool operator==(const Key &other) const;
    };
    static Key keyOf(const double *x, int from, int to, const QwtScaleMap &xMap, bool aligned,
                     double deviceScale);

    std::mutex mutex; // over the last answer
    Key last;
    std::shared_ptr<const Runs> lastRuns; // nullptr until found
};

#endif
