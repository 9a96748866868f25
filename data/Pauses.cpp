#include "Pauses.h"

#include <algorithm>
#include <cmath>
#include <vector>

Pauses::Pauses(const QVector<double> &time, double *scratch)
{
    std::vector<double> owned;
    if (!scratch) {
        owned.resize(size_t(time.size()));
        scratch = owned.data();
    }
    double *steps = scratch;
    std::ptrdiff_t count = 0;
    for (int i = 1; i < time.size(); ++i) {
        const double step = time[i] - time[i - 1];
        if (std::isfinite(step))
            steps[count++] = step;
    }
    if (count > 0) {
        // The upper median; with an even count either middle value serves.
        double *middle = steps + count / 2;
        std::nth_element(steps, middle, steps + count);
        limit = std::max(shortestPause, intervalsPerPause * *middle);
    }
    for (int i = 1; i < time.size(); ++i) {
        const double step = time[i] - time[i - 1];
        if (std::isfinite(step) && step > limit)
            firstAfter.append(i);
    }
}
