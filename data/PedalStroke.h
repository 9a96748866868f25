#ifndef VOK_PEDALSTROKE_H
#define VOK_PEDALSTROKE_H

#include <QVector>

class TurnRecord;

// What one recorded pedal revolution says of each leg: where and how hard it
// pushed, how evenly over the whole turn, and how the two legs shared the
// work. Forces go round the crank circle: the angle of a sample is taken
// modulo 360 degrees.
class PedalStroke
{
public:
    static constexpr int degrees = 360;

    struct Leg {
        double peak = qQNaN();       // the largest force recorded
        double peakAngle = qQNaN();  // where it was recorded, 0 to 360 degrees
        double mean = qQNaN();       // over the whole turn, by angle
        double minimum = qQNaN();    // the smallest force recorded
        double smoothness = qQNaN(); // mean over peak
    };
    Leg left;
    Leg right;
    double leftShare = qQNaN(); // left mean over the sum of both means

    // Not a number where the turn holds no sample.
    static PedalStroke of(const TurnRecord &turn);
    // The same with the turn's forces already resampled (see resampled).
    static PedalStroke of(const TurnRecord &turn, const QVector<double> &leftCurve,
                          const QVector<double> &rightCurve);

    // The force at each whole degree 0 to 359, interpolated linearly between
    // the recorded angles and round from the last back to the first. Samples
    // at one angle count as their mean; samples that are not finite are left
    // out. Without samples every value is not a number.
    static QVector<double> resampled(const QVector<double> &angle, const QVector<double> &force);
};

#endif
