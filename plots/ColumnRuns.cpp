#include "ColumnRuns.h"

#include <cmath>

bool ColumnRuns::Key::operator==(const Key &other) const
{
    // Exact comparisons: a map that moved by any amount may move a run.
    return x == other.x && from == other.from && to == other.to && firstX == other.firstX
           && lastX == other.lastX && s1 == other.s1 && s2 == other.s2 && p1 == other.p1
           && p2 == other.p2 && aligned == other.aligned && deviceScale == other.deviceScale;
}

ColumnRuns::Key ColumnRuns::keyOf(const double *x, int from, int to, const QwtScaleMap &xMap,
                                  bool aligned, double deviceScale)
{
    Key key;
    key.x = x;
    key.from = from;
    key.to = to;
    key.firstX = x[from];
    key.lastX = x[to];
    key.s1 = xMap.s1();
    key.s2 = xMap.s2();
    key.p1 = xMap.p1();
    key.p2 = xMap.p2();
    key.aligned = aligned;
    key.deviceScale = deviceScale;
    return key;
}

void ColumnRuns::clear()
{
    std::lock_guard<std::mutex> lock(mutex);
    lastRuns.reset();
}

std::shared_ptr<const ColumnRuns::Runs> ColumnRuns::find(const double *x, int from, int to,
                                                         const QwtScaleMap &xMap, bool aligned,
                                                         double deviceScale)
{
    if (from > to)
        return std::make_shared<const Runs>();
    const Key key = keyOf(x, from, to, xMap, aligned, deviceScale);
    std::lock_guard<std::mutex> lock(mutex);
    if (lastRuns && key == last)
        return lastRuns;

    auto runs = std::make_shared<Runs>();
    auto column = [&](int i) { return columnOf(x[i], xMap, aligned, deviceScale); };
    // Every run ends where the column changes, found by galloping and
    // bisection instead of visiting each sample. The run before gives the
    // first guess: evenly spaced samples make runs of about the same length.
    int first = from;
    int guess = 0;
    while (first <= to) {
        const double key = column(first);
        int same = first;   // the last index known to be in this column
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
        runs->starts.push_back(first);
        runs->columns.push_back(key);
        guess = same - first + 1;
        first = same + 1;
    }
    last = key;
    lastRuns = runs;
    return runs;
}
