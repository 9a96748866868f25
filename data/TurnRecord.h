#ifndef VOK_TURNRECORD_H
#define VOK_TURNRECORD_H

#include <QDateTime>
#include <QString>
#include <QVector>

// One single-turn file: the forces and power over one crank revolution,
// sampled by crank angle. A plain value type; copies own their arrays.
class TurnRecord
{
public:
    QVector<double> power;      // total power at each angle sample
    QVector<double> forceLeft;  // left pedal force
    QVector<double> forceRight; // right pedal force
    QVector<double> angle;      // crank angle in degrees (x values of the turn plot)
    QDateTime timestamp;        // when the revolution was recorded (local time)
    QString path;               // full path of the file
    // Whether the file was read to its end line; an incomplete one keeps
    // what was read before the fault. Not part of the comparison.
    bool complete = false;

    TurnRecord() = default;

    void reset();
    bool read(const QString &path);

    bool operator==(const TurnRecord &other) const;
    bool operator!=(const TurnRecord &other) const { return !(*this == other); }
};

#endif
