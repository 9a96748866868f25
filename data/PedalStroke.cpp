#include "PedalStroke.h"

#include "TurnRecord.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

double wrapped(double angle)
{
    const double a = std::fmod(angle, 360.0);
    return a < 0.0 ? a + 360.0 : a;
}

PedalStroke::Leg legOf(const QVector<double> &angle, const QVector<double> &force,
                       const QVector<double> &curve)
{
    PedalStroke::Leg leg;
    const int n = std::min(angle.size(), force.size());
    for (int i = 0; i < n; ++i) {
        if (!std::isfinite(angle[i]) || !std::isfinite(force[i]))
            continue;
        if (!(force[i] <= leg.peak)) { // also the first
            leg.peak = force[i];
            leg.peakAngle = wrapped(angle[i]);
        }
        if (!(force[i] >= leg.minimum))
            leg.minimum = force[i];
    }
    double sum = 0.0;
    for (double value : curve)
        sum += value;
    leg.mean = sum / curve.size();
    leg.smoothness = leg.peak > 0.0 ? leg.mean / leg.peak : qQNaN();
    return leg;
}

} // namespace

PedalStroke PedalStroke::of(const TurnRecord &turn)
{
    return of(turn, resampled(turn.angle, turn.forceLeft), resampled(turn.angle, turn.forceRight));
}

PedalStroke PedalStroke::of(const TurnRecord &turn, const QVector<double> &leftCurve,
                            const QVector<double> &rightCurve)
{
    PedalStroke stroke;
    stroke.left = legOf(turn.angle, turn.forceLeft, leftCurve);
    stroke.right = legOf(turn.angle, turn.forceRight, rightCurve);
    const double both = stroke.left.mean + stroke.right.mean;
    if (both != 0.0)
        stroke.leftShare = stroke.left.mean / both;
    return stroke;
}

QVector<double> PedalStroke::resampled(const QVector<double> &angle, const QVector<double> &force)
{
    // The samples in angle order; those at one angle become their mean.
    std::vector<std::pair<double, double>> samples;
    const int n = std::min(angle.size(), force.size());
    samples.reserve(size_t(n));
    for (int i = 0; i < n; ++i) {
        if (std::isfinite(angle[i]) && std::isfinite(force[i]))
            samples.emplace_back(wrapped(angle[i]), force[i]);
    }
    QVector<double> curve(degrees, qQNaN());
    if (samples.empty())
        return curve;
    std::stable_sort(samples.begin(), samples.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QVector<double> at, value;
    at.reserve(int(samples.size()) + 2);
    value.reserve(int(samples.size()) + 2);
    at.append(0.0); // room for the last angle before the first
    value.append(0.0);
    for (size_t i = 0; i < samples.size();) {
        size_t j = i;
        double sum = 0.0;
        for (; j < samples.size() && samples[j].first == samples[i].first; ++j)
            sum += samples[j].second;
        at.append(samples[i].first);
        value.append(sum / double(j - i));
        i = j;
    }
    // Round the circle: the last angle before the first, the first after the last.
    at[0] = at.last() - 360.0;
    value[0] = value.last();
    at.append(at[1] + 360.0);
    value.append(value[1]);
    int next = 1;
    for (int degree = 0; degree < degrees; ++degree) {
        while (at[next] < degree)
            ++next;
        const double span = at[next] - at[next - 1];
        const double t = span > 0.0 ? (degree - at[next - 1]) / span : 1.0;
        curve[degree] = value[next - 1] + t * (value[next] - value[next - 1]);
    }
    return curve;
}
