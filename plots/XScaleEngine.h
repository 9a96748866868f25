#ifndef VOK_XSCALEENGINE_H
#define VOK_XSCALEENGINE_H

#include "MeasuredTexts.h"

#include <QFont>
#include <QString>
#include <qwt_scale_engine.h>

class QwtPlot;

// Divides a session plot's x axis so that its labels can be read at any
// plot width: major ticks fall on round values of what the labels show,
// whole clock units over time (1, 2, 5, 10, 15 and 30 s; the same in minutes;
// 1, 2, 3, 6 and 12 h; then days), 1, 2 or 5 times a power of ten over
// distance, counted on the clock or the odometer when the labels show those.
// Of the steps that give at most maxMajor intervals, the smallest is taken
// whose neighbouring labels keep a character's width between them and never
// read the same. The axis keeps the interval it is asked for, so that the
// data and the grid stay where they belong.
//
// It reads the plot's x-axis scale draw (TimeScaleDraw or SpaceScaleDraw;
// other scale draws get the linear engine's division), the axis font and
// the canvas width at each division.
class XScaleEngine : public QwtLinearScaleEngine
{
public:
    explicit XScaleEngine(const QwtPlot *plot);

    QwtScaleDiv divideScale(double x1, double x2, int maxMajorSteps, int maxMinorSteps,
                            double stepSize = 0.0) const override;

private:
    // The width of a label in the axis font; a zoom step measures a few
    // dozen labels, most of which it measured before.
    qreal labelWidth(const QFont &font, const QString &text) const;

    const QwtPlot *plot;
    mutable MeasuredTexts widths;
};

#endif
