#include "Pauses.h"

#include <algorithm>
#include <cmath>
#include <vector>

Pauses::Pauses(const QVector<double> &time)
{
    std::vector<double> steps;
    steps.reserve(size_t(std::max(0, time.size() - 1)));
    for (int i = 1; i < time.size(); ++i) {
        const double step = time[i] - time[i - 1];
        if (std::isfinite(step))
            steps.push_back(step);
    }
    if (!steps.empty()) {
        // The upper median; with an even count either middle value serves.
        const auto middle = steps.begin() + std::ptrdiff_t(steps.size() / 2);
        std::nth_element(steps.begin(), middle, steps.end());
        limit = std::max(shortestPause, intervalsPerPause * *middle);
    }
    for (int i = 1; i < time.size(); ++i) {
        const double step = time[i] - time[i - 1];
        if (std::isfinite(step) && step > limit)
            firstAfter.append(i);
    }
}
