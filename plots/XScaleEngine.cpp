#include "XScaleEngine.h"

#include "SpaceScaleDraw.h"
#include "TimeScaleDraw.h"

#include <QFontMetricsF>
#include <qwt_plot.h>
#include <qwt_scale_widget.h>
#include <qwt_text.h>

#include <algorithm>
#include <cmath>

namespace {

// What the labels show of an x value: a = x * scale + shift, and the round
// steps of a to put ticks on, smallest first.
struct Labelled {
    double scale = 1.0;
    double shift = 0.0;
    QVector<double> steps;
};

Labelled timeLabels(const TimeScaleDraw &draw)
{
    Labelled labelled;
    labelled.shift = draw.baseSeconds();
    const double units[] = {1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1800,
                            3600, 7200, 10800, 21600, 43200};
    for (double step : units) {
        if (step >= draw.resolution())
            labelled.steps.append(step);
    }
    for (double days = 1; days < 1e7; days *= 10) {
        for (double times : {1.0, 2.0, 5.0})
            labelled.steps.append(days * times * 86400.0);
    }
    return labelled;
}

Labelled spaceLabels(const SpaceScaleDraw &draw)
{
    Labelled labelled;
    labelled.scale = draw.labelFactor();
    labelled.shift = draw.labelOffset() * draw.labelFactor();
    // The labels have three decimals.
    for (double power = 0.001; power < 1e12; power *= 10) {
        for (double times : {1.0, 2.0, 5.0})
            labelled.steps.append(power * times);
    }
    return labelled;
}

// The ticks every `step` labelled units within x1..x2, as the first and
// last multiple of step.
struct TickRange {
    double first, last;
    double count() const { return last >= first ? last - first + 1.0 : 0.0; }
};

TickRange tickRange(double x1, double x2, double step, const Labelled &labelled)
{
    const double low = std::min(x1, x2) * labelled.scale + labelled.shift;
    const double high = std::max(x1, x2) * labelled.scale + labelled.shift;
    return {std::ceil(low / step - 1e-9), std::floor(high / step + 1e-9)};
}

// The x values of those ticks, at most 1001 of them.
QList<double> ticks(double x1, double x2, double step, const Labelled &labelled)
{
    QList<double> values;
    const TickRange range = tickRange(x1, x2, step, labelled);
    for (double k = range.first; k <= range.last && values.size() <= 1000; ++k)
        values.append((k * step - labelled.shift) / labelled.scale);
    return values;
}

// The number of parts a major step divides into: whole units where it can.
int minorParts(double step, int maxMinor)
{
    for (int parts : {5, 4, 6, 3, 2}) {
        if (parts > maxMinor)
            continue;
        const double part = step / parts;
        if (step < 1.0 || std::fabs(part - std::round(part)) < 1e-9)
            return parts;
    }
    return 1;
}

} // namespace

XScaleEngine::XScaleEngine(const QwtPlot *plot)
    : plot(plot)
{
}

qreal XScaleEngine::labelWidth(const QFont &font, const QString &text) const
{
    return widths
        .size(font, text,
              [&] { return QSizeF(QFontMetricsF(font).horizontalAdvance(text), 0.0); })
        .width();
}

QwtScaleDiv XScaleEngine::divideScale(double x1, double x2, int maxMajorSteps, int maxMinorSteps,
                                      double stepSize) const
{
    const QwtScaleDraw *draw = plot->axisScaleDraw(QwtPlot::xBottom);
    Labelled labelled;
    if (const auto *time = dynamic_cast<const TimeScaleDraw *>(draw))
        labelled = timeLabels(*time);
    else if (const auto *space = dynamic_cast<const SpaceScaleDraw *>(draw))
        labelled = spaceLabels(*space);
    if (labelled.steps.isEmpty() || !std::isfinite(x1) || !std::isfinite(x2) || x1 == x2
        || labelled.scale <= 0.0)
        return QwtLinearScaleEngine::divideScale(x1, x2, maxMajorSteps, maxMinorSteps, stepSize);

    const QFont font = plot->axisWidget(QwtPlot::xBottom)->font();
    const double gap = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
    const double width = std::max(50, plot->canvas()->contentsRect().width());
    const double pixelsPerX = width / std::fabs(x2 - x1);

    // The smallest step whose labels fit; failing all, the smallest that
    // leaves at most one label.
    QList<double> chosen;
    double chosenStep = labelled.steps.last();
    for (double step : labelled.steps) {
        // Steps too small for the interval are passed over without listing
        // their ticks: the smallest would list a thousand.
        if (tickRange(x1, x2, step, labelled).count() > maxMajorSteps + 1)
            continue;
        const QList<double> values = ticks(x1, x2, step, labelled);
        bool fits = true;
        QString previousText;
        double previousRight = -HUGE_VAL;
        for (double value : values) {
            const QString text = draw->label(value).text();
            const double centre = (value - std::min(x1, x2)) * pixelsPerX;
            const double half = labelWidth(font, text) / 2.0;
            if (centre - half < previousRight + gap || (!text.isEmpty() && text == previousText)) {
                fits = false;
                break;
            }
            previousRight = centre + half;
            previousText = text;
        }
        if (fits || values.size() <= 1) {
            chosen = values;
            chosenStep = step;
            break;
        }
    }

    QList<double> minor;
    const int parts = minorParts(chosenStep, maxMinorSteps);
    const double minorStep = chosenStep / parts / labelled.scale;
    // Minor ticks between and beside the major ones, within the interval.
    if (parts > 1) {
        for (double value : ticks(x1, x2, chosenStep / parts, labelled)) {
            const bool onMajor = std::any_of(chosen.cbegin(), chosen.cend(), [&](double major) {
                return std::fabs(major - value) < minorStep * 1e-6;
            });
            if (!onMajor)
                minor.append(value);
        }
    }
    QList<double> tickLists[QwtScaleDiv::NTickTypes];
    tickLists[QwtScaleDiv::MinorTick] = minor;
    tickLists[QwtScaleDiv::MajorTick] = chosen;
    QwtScaleDiv division(std::min(x1, x2), std::max(x1, x2), tickLists);
    if (x1 > x2)
        division.invert();
    return division;
}
